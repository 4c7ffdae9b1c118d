"""Compiling the loaded macro with the real program: the .exe command, the save dialog, the build
report texts, and no temporary file left behind. The compiler is the bench's stand-in gcc.exe
(test_gcc.exe, see tests/helpers/test_gcc.cpp), put on the program's search path with WINEPATH."""
import decimal
import glob
import os
import re
import shutil
import struct
import time
import unittest

import bench

CMD_COMPILE = 1005
DOT = "\u00b7"  # the report's bullet, one 0xB7 byte in the ANSI code page


def rec_bytes(events):
    return struct.pack("<i", len(events)) + b"".join(struct.pack("<5I", *e) for e in events)


def size_text(n):
    # The program's C runtime rounds an exact tie (30.25 KB) up; Python's "%"
    # would round it to even.
    def half_up(value, places):
        return str(decimal.Decimal(value).quantize(decimal.Decimal(1).scaleb(-places), decimal.ROUND_HALF_UP))
    if n < 1024:
        return "%d bytes" % n
    if n < 1048576:
        return half_up(n / 1024.0, 1) + " KB"
    return half_up(n / 1048576.0, 2) + " MB"


class CompileCommandTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.b = bench.Bench("compile")
        cls.bin = cls.b.path("bin")
        os.makedirs(cls.bin)
        shutil.copy(os.path.join(bench.TESTS, "test_gcc.exe"), os.path.join(cls.bin, "gcc.exe"))
        cls.exe = cls.b.private_quorrel()
        cls.app_dir = os.path.dirname(cls.exe)
        cls.rec = cls.b.path("three.rec")
        with open(cls.rec, "wb") as f:
            f.write(rec_bytes([(0x100, 0x41, 0x1E, 0, 0), (0x101, 0x41, 0x801E, 50, 0),
                               (0x200, 10, 10, 80, 0)]))

    @classmethod
    def tearDownClass(cls):
        cls.b.close()

    def tearDown(self):
        self.b.stop_all()

    def temp_leftovers(self):
        found = []
        for temp in glob.glob(os.path.join(bench.PREFIX, "drive_c", "users", "*", "Temp")) + \
                glob.glob(os.path.join(bench.PREFIX, "drive_c", "users", "*", "AppData", "Local", "Temp")):
            found += glob.glob(os.path.join(temp, "quorrel_stub_*.c"))
            found += glob.glob(os.path.join(temp, "quorrel_compile.rec"))
        return found

    def start_and_compile(self, env, output):
        """Starts the program with the recording loaded, runs the .exe command and names the
        output in the save dialog; returns the report box."""
        self.b.start(self.exe, bench.unix_to_wine(self.rec), cwd=self.app_dir, env=env)
        loaded = self.b.wait_window(text="Quorrel - File Loaded")
        self.b.click(loaded, "OK")
        self.b.wait_gone(loaded["hwnd"])
        main = self.b.wait_window(cls="QuorrelWindowClass")
        self.b.command(main, CMD_COMPILE)
        dialog = self.b.wait_window(text="Save Compiled Macro As", cls="#32770")
        wid = self.b.x_window("Save Compiled Macro As")
        if wid:
            self.b.xdo("windowfocus", "--sync", wid)
        time.sleep(0.5)
        self.b.xdo("type", "--delay", 20, bench.unix_to_wine(output))
        self.b.xdo("key", "Return")
        self.b.wait_gone(dialog["hwnd"])
        return self.b.message_box(timeout=60, predicate=lambda w: w["text"].startswith("Compilation"))

    def test_successful_build_reports_path_count_size_and_time(self):
        output = self.b.path("out", "player")  # the dialog adds .exe
        os.makedirs(os.path.dirname(output))
        box = self.start_and_compile({"WINEPATH": bench.unix_to_wine(self.bin)}, output)
        self.assertEqual(box["text"], "Compilation Complete")
        built = output + ".exe"
        self.assertTrue(os.path.exists(built))
        text = bench.Bench.message_box_text(box)
        pattern = ("Compilation Successful!\n\nOutput File:\n%s\n\nDetails:\n  %s Events: 3\n"
                   "  %s File Size: %s\n  %s Compilation Time: (\\d+\\.\\d\\d) seconds\n\n"
                   "The executable is ready to use.$") % (
            re.escape(bench.unix_to_wine(built)), DOT, DOT, re.escape(size_text(os.path.getsize(built))), DOT)
        self.assertRegex(text, pattern)
        self.assertEqual(bench.Bench.buttons(box), ["OK"])
        self.b.click(box, "OK")
        self.b.wait_gone(box["hwnd"])
        self.assertEqual(self.temp_leftovers(), [])
        self.b.screenshot("compile-done")

    def test_failing_compiler_is_reported_and_cleaned_up(self):
        output = self.b.path("fail", "player.exe")
        os.makedirs(os.path.dirname(output))
        box = self.start_and_compile({"WINEPATH": bench.unix_to_wine(self.bin), "QUORREL_TEST_GCC_MODE": "fail"},
                                     output)
        self.assertEqual(box["text"], "Compilation Failed")
        self.assertEqual(bench.Bench.message_box_text(box),
                         "GCC compilation failed!\nMake sure MinGW GCC is in your PATH.")
        self.b.click(box, "OK")
        self.b.wait_gone(box["hwnd"])
        self.assertFalse(os.path.exists(output))
        self.assertEqual(self.temp_leftovers(), [])

    def test_no_compiler_on_the_path(self):
        output = self.b.path("none", "player.exe")
        os.makedirs(os.path.dirname(output))
        box = self.start_and_compile({}, output)
        self.assertEqual(box["text"], "Compilation Failed")
        self.assertEqual(bench.Bench.message_box_text(box),
                         "Failed to run GCC!\nMake sure MinGW GCC is installed and in your PATH.")
        self.b.click(box, "OK")
        self.b.wait_gone(box["hwnd"])
        self.assertFalse(os.path.exists(output))
        self.assertEqual(self.temp_leftovers(), [])


if __name__ == "__main__":
    unittest.main()
