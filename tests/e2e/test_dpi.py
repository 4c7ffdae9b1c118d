"""At 150 % display scaling (LogPixels 144) a click recorded at a pixel is replayed at that pixel:
the program declares itself DPI-aware, so its hooks and its playback both count in pixels.

The scaling is set in a private copy of the run's prefix, so that no other test sees it; the
programs here run in that prefix and are driven with xdotool alone (the bench's inspector runs in
the shared prefix and would not see their windows)."""
import os
import subprocess
import time
import unittest

import bench

TARGET_TITLE = "Quorrel Test Target"
CLICK = (300, 200)  # a pixel inside the target; scaled by 1.5 either way it would be elsewhere


class DpiJourneyTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.b = bench.Bench("dpi")
        cls.prefix = cls.b.path("prefix")
        bench.copy_prefix(bench.PREFIX, cls.prefix)
        cls.env = {"WINEPREFIX": cls.prefix}
        # Where Wine reads the system DPI from, and where older tools put it.
        for key in ("HKCU\\Control Panel\\Desktop", "HKCC\\Software\\Fonts"):
            cls.b.run("reg.exe", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f", env=cls.env)
        cls.scaling = cls.b.run("reg.exe", "query", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels",
                                env=cls.env).stdout
        cls.log = cls.b.path("target.log")
        cls.b.start(os.path.join(bench.TESTS, "qtarget.exe"), bench.unix_to_wine(cls.log), 0, 0, 600, 300,
                    env=cls.env)
        exe = cls.b.private_quorrel()
        cls.b.start(exe, cwd=os.path.dirname(exe), env=cls.env)
        cls.target = cls.wait_x_window("^%s$" % TARGET_TITLE)
        cls.app = cls.wait_x_window("^Quorrel$")

    @classmethod
    def tearDownClass(cls):
        cls.b.stop_all()
        env = bench.wine_env(cls.b.display.name, cls.env)
        subprocess.run(["wineserver", "-k"], env=env, timeout=30, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, timeout=30, check=False)
        cls.b.close()

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
