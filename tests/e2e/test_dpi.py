"""At 150 % and 200 % display scaling (LogPixels 144 and 192) the program draws its windows for the
scaling, and a click recorded at a pixel is replayed at that pixel: the program declares itself
DPI-aware, so its hooks and its playback both count in pixels.

Each scaling is set in a private copy of the run's prefix, so that no other test sees it; the
bench is pointed at that copy, so that its inspector sees the programs started there."""
import itertools
import os
import subprocess
import time
import unittest

import bench

TARGET_TITLE = "Quorrel Test Target"
CLICK = (300, 200)  # a pixel inside the target; scaled by 1.5 either way it would be elsewhere
SCREEN = (0, 0, 1280, 1024)  # the bench's display; with no panel on it, Wine's work area is all of it
# The client area and the controls' sizes, in creation order, of the prompt and About at 96 DPI:
# what Wine's frames leave of 300 x 195 and 400 x 380, and the system's 32-pixel icons.
PROMPT_AT_96 = ((294, 170), [(32, 32), (205, 35), (205, 22), (75, 25), (75, 25)])
ABOUT_AT_96 = ((394, 355), [(32, 32), (280, 28), (280, 18), (360, 2), (150, 18), (340, 90), (360, 2),
                            (360, 36), (180, 18), (80, 26)])
CMD_SET_CUSTOM_SPEED, CMD_ABOUT = 2006, 2014


def scale(value, dpi):
    """value at dpi, rounded half away from zero as MulDiv rounds."""
    product = value * dpi
    return (product + 48) // 96 if product >= 0 else -((48 - product) // 96)


class ScaledPrefix:
    """The program running in a prefix of its own at LogPixels DPI."""
    DPI = None

    @classmethod
    def setUpClass(cls):
        cls.b = bench.Bench("dpi%d" % cls.DPI)
        cls.prefix = cls.b.path("prefix")
        bench.copy_prefix(bench.PREFIX, cls.prefix)
        cls.env = {"WINEPREFIX": cls.prefix}
        cls.b.env.update(cls.env)
        # Where Wine reads the system DPI from, and where older tools put it.
        for key in ("HKCU\\Control Panel\\Desktop", "HKCC\\Software\\Fonts"):
            cls.b.run("reg.exe", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", cls.DPI, "/f")
        cls.scaling = cls.b.run("reg.exe", "query", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels").stdout
        exe = cls.b.private_quorrel()
        cls.b.start(exe, cwd=os.path.dirname(exe))

    @classmethod
    def tearDownClass(cls):
        cls.b.stop_all()
        env = bench.wine_env(cls.b.display.name, cls.env)
        subprocess.run(["wineserver", "-k"], env=env, timeout=30, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, timeout=30, check=False)
        cls.b.close()

    def near(self, seen, wanted, what):
        self.assertLessEqual(max(abs(a - b) for a, b in zip(seen, wanted)), 1, "%s: %r, not %r" % (what, seen, wanted))

    @staticmethod
    def client_box(window):
        """The client area on the screen: the frame is as wide left, right and below."""
        left, top, right, bottom = window["rect"]
        width, height = window["client"]
        edge = (right - left - width) // 2
        return left + edge, bottom - edge - height, left + edge + width, bottom - edge

    def test_windows_are_drawn_at_the_scaling(self):
        self.assertIn(hex(self.DPI), self.scaling)
        s = lambda v: scale(v, self.DPI)  # noqa: E731
        inside = lambda a, b: b[0] <= a[0] and b[1] <= a[1] and a[2] <= b[2] and a[3] <= b[3]  # noqa: E731
        main = self.b.wait_window(cls="QuorrelWindowClass", timeout=60)
        self.near(main["client"], (s(265), s(55)), "main client")
        left, top = self.client_box(main)[:2]
        buttons = sorted((c for c in main["children"] if c["class"].lower() == "button"), key=lambda c: c["id"])
        for i, (x0, y0, x1, y1) in enumerate(b["rect"] for b in buttons):
            self.near((x0 - left, y0 - top, x1 - x0, y1 - y0), (s(7 + 42 * i), 0, s(40), s(55)), "button %d" % i)
        for command, cls, ((width, height), sizes) in ((CMD_SET_CUSTOM_SPEED, "QuorrelInputDialog", PROMPT_AT_96),
                                                       (CMD_ABOUT, "QuorrelAboutDlg", ABOUT_AT_96)):
            self.b.command(main, command)
            window = self.b.wait_window(cls=cls)
            self.b.close_window(window)
            self.near(window["client"], (s(width), s(height)), cls)
            boxes = [c["rect"] for c in window["children"]]
            self.assertEqual(len(boxes), len(sizes))
            for i, (box, (w, h)) in enumerate(zip(boxes, sizes)):
                self.assertTrue(inside(box, self.client_box(window)), "%s control %d outside" % (cls, i))
                self.assertTrue(box[2] - box[0] >= 0.9 * s(w) and box[3] - box[1] >= 0.9 * s(h),
                                "%s control %d is small" % (cls, i))
            # No two of them overlap at 96 DPI, nor may they here.
            for a, b in itertools.combinations(boxes, 2):
                self.assertFalse(a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3], "%s: %r %r" % (cls, a, b))
            for w in (main, window):
                self.assertTrue(inside(w["rect"], SCREEN), "%s lies outside the work area" % w["class"])
            self.b.wait_gone(window["hwnd"])


class At200PercentTest(ScaledPrefix, unittest.TestCase):
    DPI = 192


class At150PercentTest(ScaledPrefix, unittest.TestCase):
    DPI = 144

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.log = cls.b.path("target.log")
        cls.b.start(os.path.join(bench.TESTS, "qtarget.exe"), bench.unix_to_wine(cls.log), 0, 0, 600, 300)
        cls.target = cls.wait_x_window("^%s$" % TARGET_TITLE)
        cls.app = cls.wait_x_window("^Quorrel$")

    @classmethod
    def wait_x_window(cls, pattern, timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = cls.b.xdo("search", "--onlyvisible", "--name", pattern).split()
            if found:
                return found[0]
            time.sleep(0.3)
        raise AssertionError("no X window named %s" % pattern)

    def wait_caption(self, test, timeout=20):
        deadline = time.time() + timeout
        seen = []
        while time.time() < deadline:
            text = self.b.xdo("getwindowname", self.app).strip()
            if not seen or seen[-1] != text:
                seen.append(text)
            if test(text):
                return text
            time.sleep(0.1)
        raise AssertionError("caption never matched; saw %r" % seen)

    def focus_target(self):
        self.b.xdo("windowfocus", "--sync", self.target)
        self.b.xdo("mousemove", 590, 290)
        self.b.xdo("click", 1)
        time.sleep(0.3)

    def clicks(self, since):
        return [e for e in bench.read_target_log(self.log)[since:] if e[1] == "LDOWN"]

    def test_click_recorded_at_a_pixel_is_replayed_at_that_pixel(self):
        self.assertIn("0x90", self.scaling)  # 144: the prefix really is at 150 %
        self.focus_target()
        self.b.xdo("key", "ctrl+shift+alt+r")
        self.wait_caption(lambda t: t.startswith("REC 00:0"))
        before = len(bench.read_target_log(self.log))
        self.b.xdo("mousemove", *CLICK)
        self.b.xdo("click", 1)
        time.sleep(0.3)
        # The recording drops its last input (taken for the one that stopped it): not the click.
        self.b.xdo("mousemove", CLICK[0] + 10, CLICK[1] + 10)
        time.sleep(0.3)
        self.b.xdo("key", "Escape")
        box = self.wait_x_window("^Record$")
        self.b.xdo("windowfocus", "--sync", box)
        self.b.xdo("key", "Return")
        self.wait_caption(lambda t: t == "Quorrel")
        recorded = self.clicks(before)
        self.assertEqual(len(recorded), 1, recorded)

        self.focus_target()
        self.b.xdo("mousemove", 550, 280)
        before = len(bench.read_target_log(self.log))
        self.b.xdo("key", "ctrl+shift+alt+p")
        deadline = time.time() + 30
        while time.time() < deadline and not self.clicks(before):
            time.sleep(0.2)
        self.wait_caption(lambda t: t == "Quorrel", timeout=30)
        time.sleep(0.3)
        replayed = self.clicks(before)
        self.assertEqual(len(replayed), 1, replayed)
        where = lambda e: (e[2]["x"], e[2]["y"])  # noqa: E731
        # The target saw the real click on the X pixel it was made at, so its coordinates are
        # screen pixels, and the replayed click lands where the recorded one did.
        self.assertEqual(where(recorded[0]), CLICK)
        self.assertEqual(where(replayed[0]), CLICK)


if __name__ == "__main__":
    unittest.main()
