"""Start-up of the real program: the window, and the .rec file named on the command line."""
import os
import struct
import time
import unittest

import bench


def rec_bytes(count, records=None):
    records = count if records is None else records
    body = b"".join(struct.pack("<5I", 0x200, i, i, i * 10, 0) for i in range(max(records, 0)))
    return struct.pack("<i", count) + body


class StartupTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.bench = bench.Bench("startup")
        cls.exe = cls.bench.private_quorrel()

    @classmethod
    def tearDownClass(cls):
        cls.bench.close()

    def tearDown(self):
        self.bench.stop_all()

    def write(self, name, data):
        path = self.bench.path(name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def start_with(self, *args):
        """Starts quorrel.exe. Wine joins the arguments with spaces and quotes each one that
        holds a space, so one argument with a space arrives quoted, and a path split into two
        arguments arrives unquoted."""
        return self.bench.start(self.exe, *args)

    def main_window(self):
        return self.bench.wait_window(cls="QuorrelWindowClass")

    def dialogs(self):
        return [w for w in self.bench.windows() if w["class"] == "#32770" and w["visible"]]

    def test_window_is_small_fixed_and_centred(self):
        # A folder of its own: no settings file, so no stored position.
        self.bench.start(self.bench.private_quorrel("first-run"))
        w = self.main_window()
        self.assertEqual(w["text"], "Quorrel")
        self.assertEqual(w["client"], [265, 55])
        WS_MAXIMIZEBOX, WS_THICKFRAME, WS_MINIMIZEBOX = 0x10000, 0x40000, 0x20000
        self.assertFalse(w["style"] & WS_MAXIMIZEBOX)
        self.assertFalse(w["style"] & WS_THICKFRAME)
        self.assertTrue(w["style"] & WS_MINIMIZEBOX)
        left, top, right, bottom = w["rect"]
        self.assertEqual(left, (1280 - (right - left)) // 2)
        self.assertEqual(top, (1024 - (bottom - top)) // 2)
        self.bench.screenshot("startup-window")

    def test_quoted_path_with_spaces_is_loaded_and_reported(self):
        path = self.write("My Macros/demo one.rec", rec_bytes(3) + b"trailing bytes are ignored")
        wine_path = bench.unix_to_wine(path)
        self.start_with(wine_path)
        box = self.bench.message_box("Quorrel - File Loaded")
        self.assertEqual(bench.Bench.message_box_text(box),
                         "Auto-loaded 3 events from:\n%s\n\nPress Ctrl+Shift+Alt+P to play." % wine_path)
        self.assertEqual(bench.Bench.buttons(box), ["OK"])
        self.assertEqual(self.main_window()["text"], "Quorrel")
        self.bench.click(box, "OK")
        self.bench.wait_gone(box["hwnd"])

    def test_invalid_files_give_the_load_error(self):
        cases = {
            "zero.rec": rec_bytes(0, 1),
            "negative.rec": rec_bytes(-5, 1),
            "too-many.rec": rec_bytes(10000001, 1),
            "short.rec": rec_bytes(4, 3),
        }
        for name, data in cases.items():
            with self.subTest(name=name):
                wine_path = bench.unix_to_wine(self.write(name, data))
                proc = self.start_with(wine_path)
                box = self.bench.message_box("Quorrel - Load Error")
                self.assertEqual(bench.Bench.message_box_text(box),
                                 "Failed to load file:\n%s\n\nFile may be corrupted or invalid." % wine_path)
                self.assertEqual(bench.Bench.buttons(box), ["OK"])
                self.bench.stop(proc)

    def test_arguments_that_name_no_rec_file_load_nothing_silently(self):
        good = self.write("with space/demo.rec", rec_bytes(2))
        os.makedirs(self.bench.path("x.rec"), exist_ok=True)
        self.write("a.txt", b"x")
        self.write("b.rec", rec_bytes(2))
        unquoted = bench.unix_to_wine(good).split(" ")
        for args in (unquoted,                            # unquoted path with a space
                     ["a.txt", "b.rec"],                  # only the first argument counts
                     [bench.unix_to_wine(self.bench.path("x.rec"))]):  # a folder
            with self.subTest(args=args):
                proc = self.start_with(*args)
                self.main_window()
                time.sleep(1.5)
                self.assertEqual(self.dialogs(), [])
                self.bench.stop(proc)


if __name__ == "__main__":
    unittest.main()
