#!/usr/bin/env python3
"""Runs the end-to-end tier, and counts the Windows tier that CTest ran.

  run_wine_tiers.py e2e SUMMARY                   end-to-end tests tests/e2e/test_*.py
  run_wine_tiers.py ctest JUNIT RESULTS SUMMARY   counts a CTest run of the MinGW-built tests

CTest has one entry per test program; its verdict (the JUnit file of `ctest --output-junit`)
decides whether a program passed, and the GoogleTest JSON report each program left in RESULTS
gives the cases inside it. A program that failed without a report, or crashed or timed out after
its cases passed, counts one failure more, so that no failure can hide behind passing cases.

Each writes "passed failed skipped" to SUMMARY and prints a line with the counts.
"""
import json
import os
import sys
import time
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "e2e"))
import bench  # noqa: E402


def count_gtest_report(path):
    passed = failed = skipped = 0
    with open(path) as f:
        data = json.load(f)
    for suite in data.get("testsuites", []):
        for case in suite.get("testsuite", []):
            if case.get("result") == "SKIPPED" or case.get("status") == "NOTRUN":
                skipped += 1
            elif case.get("failures"):
                failed += 1
            else:
                passed += 1
    return passed, failed, skipped


def count_ctest(junit, results):
    if not os.path.exists(junit):
        print("ctest: no results (%s)" % junit, flush=True)
        return 0, 1, 0
    total = [0, 0, 0]
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        status = case.get("status", "")
        ok = status == "run" and case.find("failure") is None
        report = os.path.join(results, name + ".json")
        counts = [0, 0, 0]
        if os.path.exists(report):
            try:
                counts = list(count_gtest_report(report))
            except ValueError:
                print("%s: unreadable report %s" % (name, report), flush=True)
        elif ok:
            counts = [1, 0, 0]  # a test program without GoogleTest cases
        if status == "disabled":
            counts = [0, 0, 1]
        elif not ok and counts[1] == 0:
            counts[1] = 1
        print("%s: %s, %d passed, %d failed, %d skipped (%s s)" %
              (name, status, counts[0], counts[1], counts[2], case.get("time")), flush=True)
        total = [a + b for a, b in zip(total, counts)]
    return tuple(total)


class CountingResult(unittest.TextTestResult):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.passed = 0
        self.mark = time.time()
        self.class_seconds = {}
        self.test_seconds = {}

    def startTest(self, test):
        # The time since the last test ended goes to this one's class: it holds the
        # class's set-up (or the previous class's tear-down, which is short).
        self.add_time(test)
        super().startTest(test)

    def stopTest(self, test):
        self.test_seconds[test.id()] = time.time() - self.mark
        self.add_time(test)
        super().stopTest(test)

    def add_time(self, test):
        now = time.time()
        name = type(test).__module__ + "." + type(test).__name__
        self.class_seconds[name] = self.class_seconds.get(name, 0.0) + now - self.mark
        self.mark = now

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
    print("seconds per class (set-up included), then the slowest tests:")
    for name, seconds in sorted(result.class_seconds.items(), key=lambda kv: -kv[1]):
        print("%6.1f s  %s" % (seconds, name))
    for name, seconds in sorted(result.test_seconds.items(), key=lambda kv: -kv[1])[:10]:
        print("%6.1f s  %s" % (seconds, name))
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    return result.passed, failed, len(result.skipped)


def main():
    tier, summary = sys.argv[1], sys.argv[-1]
    if tier == "ctest":
        passed, failed, skipped = count_ctest(sys.argv[2], sys.argv[3])
    else:
        try:
            passed, failed, skipped = run_e2e()
        finally:
            bench.shutdown()
    with open(summary, "w") as f:
        f.write("%d %d %d\n" % (passed, failed, skipped))
    print("%s: %d passed, %d failed, %d skipped" % (tier, passed, failed, skipped), flush=True)


if __name__ == "__main__":
    main()
