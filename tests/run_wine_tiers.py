#!/usr/bin/env python3
"""Runs the Wine tiers of the test suite and reports their counts.

  run_wine_tiers.py win32 SUMMARY   GoogleTest suites of win32_tests.exe under Wine
  run_wine_tiers.py e2e SUMMARY     end-to-end tests tests/e2e/test_*.py

Each writes "passed failed skipped" to SUMMARY and prints a line with the counts.
"""
import json
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "e2e"))
import bench  # noqa: E402


def run_win32():
    exe = os.path.join(bench.TESTS, "win32_tests.exe")
    if not os.path.exists(exe):
        print("win32: no win32_tests.exe built", flush=True)
        return 0, 1, 0
    b = bench.Bench("win32")
    try:
        report = os.path.join(b.tmp, "report.json")
        timeout = int(os.environ.get("QUORREL_WIN32_TIMEOUT", "1500"))
        extra = {"QUORREL_TESTS_DIR": bench.unix_to_wine(bench.TESTS)}
        args = ["--gtest_output=json:" + bench.unix_to_wine(report)]
        gfilter = os.environ.get("QUORREL_WIN32_FILTER")
        if gfilter:
            args.append("--gtest_filter=" + gfilter)
        try:
            out = b.run(exe, *args, timeout=timeout, env=extra)
            sys.stdout.write(out.stdout)
            sys.stdout.flush()
        except Exception as e:  # a hang counts as a failure of the whole tier
            print("win32: %s" % e, flush=True)
            return 0, 1, 0
        if not os.path.exists(report):
            print("win32: no report; exit code %d" % out.returncode, flush=True)
            return 0, 1, 0
        with open(report) as f:
            data = json.load(f)
        passed = failed = skipped = 0
        for suite in data.get("testsuites", []):
            for case in suite.get("testsuite", []):
                if case.get("result") == "SKIPPED" or case.get("status") == "NOTRUN":
                    skipped += 1
                elif case.get("failures"):
                    failed += 1
                else:
                    passed += 1
        if out.returncode != 0 and failed == 0:
            failed = 1  # crashed after writing the report
        return passed, failed, skipped
    finally:
        b.close()


class CountingResult(unittest.TextTestResult):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.passed = 0

    def addSuccess(self, test):
        super().addSuccess(test)
        self.passed += 1

    def addFailure(self, test, err):
        self.snapshot(test)
        super().addFailure(test, err)

    def addError(self, test, err):
        self.snapshot(test)
        super().addError(test, err)

    def addSubTest(self, test, subtest, err):
        if err is not None:
            self.snapshot(test)
        super().addSubTest(test, subtest, err)

    @staticmethod
    def snapshot(test):
        """A screenshot of the failing test's display, kept with the artefacts."""
        benches = [v for v in vars(type(test)).values() if isinstance(v, bench.Bench)]
        benches += [v.b for v in vars(type(test)).values() if isinstance(getattr(v, "b", None), bench.Bench)]
        for b in benches[:1]:
            try:
                path = b.screenshot("FAIL-" + test.id().replace("/", "_"))
                print("screenshot: " + path, flush=True)
            except Exception:
                pass


def run_e2e():
    loader = unittest.TestLoader()
    pattern = os.environ.get("QUORREL_E2E_PATTERN", "test_*.py")
    suite = loader.discover(os.path.join(HERE, "e2e"), pattern=pattern, top_level_dir=os.path.join(HERE, "e2e"))
    runner = unittest.TextTestRunner(verbosity=2, resultclass=CountingResult, stream=sys.stdout)
    result = runner.run(suite)
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    return result.passed, failed, len(result.skipped)


def main():
    tier, summary = sys.argv[1], sys.argv[2]
    passed, failed, skipped = run_win32() if tier == "win32" else run_e2e()
    with open(summary, "w") as f:
        f.write("%d %d %d\n" % (passed, failed, skipped))
    print("%s: %d passed, %d failed, %d skipped" % (tier, passed, failed, skipped), flush=True)


if __name__ == "__main__":
    main()
