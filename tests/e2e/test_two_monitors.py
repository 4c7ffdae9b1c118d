"""Monitors left of and above the primary one, where Windows' coordinates are negative: the window's
saved place, a right click on a toolbar button there, and clicks and wheel notches on both monitors
from the program's Play and from players of both gcc's. Each layout runs on an Xorg server of its
own (tools/twohead.sh) and so with a Wine server of its own, which keeps the monitors it saw first,
on a copy of the prefix."""
import os
import shutil
import signal
import struct
import subprocess
import time
import unittest

import bench

# The target window over both monitors, the window's saved place, the macro's two points.
LAYOUTS = {"left": ((-1280, 0, 2560, 1024), (-1000, 100), [(-640, 300), (640, 512)]),
           "above": ((0, -1024, 1280, 2048), (300, -700), [(640, -512), (640, 512)])}
# The compiler stand-in builds a player with each gcc ("$@" is source, -o, output, options), the
# 32-bit one only where the kernel runs 32-bit code.
BOTH = os.environ.get("QUORREL_RUNS_32BIT", "1") == "1"
PLAYER_BUILD = ('src=$1 out=${3%.exe}; ' + ('i686-w64-mingw32-gcc "$@" && ' if BOTH else "") +
                'shift 3 && x86_64-w64-mingw32-gcc "$src" -o "${out}64.exe" "$@"')
NO_BENCH = None if os.geteuid() == 0 and os.path.exists("/dev/tty0") and shutil.which("Xorg") else \
    "the two-monitor X server needs root, /dev/tty0 and Xorg (tools/setup.sh installs it)"


@unittest.skipIf(NO_BENCH, NO_BENCH)
class TwoMonitorsJourneyTest(unittest.TestCase):
    def test_window_place_menu_clicks_and_wheel_on_both_monitors(self):
        b = self.b = bench.Bench("two-monitors")
        self.addCleanup(b.close)
        os.makedirs(b.path("bin"))
        shutil.copy(os.path.join(bench.TESTS, "test_gcc.exe"), b.path("bin", "gcc.exe"))
        bench.copy_prefix(bench.PREFIX, b.path("prefix"))
        for layout, setting in LAYOUTS.items():
            with self.subTest(layout=layout):
                n = next(n for n in range(300, 400) if not os.path.exists("/tmp/.X11-unix/X%d" % n))
                heads = subprocess.Popen(
                    ["bash", "-c", 'source "$0" && twohead_up %d %s && echo $XORG_PID && wait' % (n, layout),
                     os.path.join(bench.ROOT, "tools", "twohead.sh")], stdout=subprocess.PIPE, text=True)
                xorg = heads.stdout.readline().strip()
                if not xorg:
                    heads.wait()
                    self.skipTest("the two-monitor X server did not start (/tmp/twohead-%d.log)" % n)
                b.env = bench.wine_env(":%d" % n, {"WINEPREFIX": b.path("prefix")})
                try:
                    self.journey(layout, *setting)
                finally:
                    b.stop_all()
                    b._stop_inspector()
                    subprocess.run(["wineserver", "-k"], env=b.env, timeout=30, stderr=subprocess.DEVNULL)
                    subprocess.run(["wineserver", "-w"], env=b.env, timeout=30)
                    os.kill(int(xorg), signal.SIGTERM)
                    heads.wait(10)

    def received(self, since):
        """The first clicks and notches since the log's line `since` (the program's playback ends
        with one release more, so that nothing stays held)."""
        return [(e[1], e[2]["x"], e[2]["y"]) for e in bench.read_target_log(self.log)[since:]
                if e[1] in ("LDOWN", "LUP", "WHEEL")][:6]

    def journey(self, layout, target, place, points):
        b = self.b
        self.log = b.path(layout + ".log")
        b.start(os.path.join(bench.TESTS, "qtarget.exe"), bench.unix_to_wine(self.log), *target)
        exe = b.private_quorrel(layout)
        with open(os.path.join(os.path.dirname(exe), "Quorrel.ini"), "w") as f:
            f.write("[Settings]\r\nWindowX=%d\r\nWindowY=%d\r\n" % place)
        # Move, left down, left up, and a notch down (its y is the low word).
        events = [(m, x, y if m != 0x20A else 0xFF880000 | (y & 0xFFFF))
                  for x, y in points for m in (0x200, 0x201, 0x202, 0x20A)]
        with open(b.path(layout + ".rec"), "wb") as f:
            f.write(struct.pack("<i", len(events)) + b"".join(
                struct.pack("<5I", m, x & 0xFFFFFFFF, y & 0xFFFFFFFF, 100 * i, 0) for i, (m, x, y) in enumerate(events)))
        expected = [(kind, x, y) for x, y in points for kind in ("LDOWN", "LUP", "WHEEL")]
        b.wait_window(cls="QuorrelTestTarget", exe="qtarget.exe")
        b.start(exe, bench.unix_to_wine(b.path(layout + ".rec")),
                env={"WINEPATH": bench.unix_to_wine(b.path("bin")), "QUORREL_TEST_GCC_SCRIPT": PLAYER_BUILD})
        b.click(b.message_box("Quorrel - File Loaded"), "OK")
        main = b.wait_window(cls="QuorrelWindowClass")
        self.assertEqual(main["rect"][:2], list(place))

        # A right click on the Open button; X counts from the virtual desktop's corner.
        left, top, right, bottom = main["children"][0]["rect"]
        click = [(left + right) // 2, (top + bottom) // 2]
        b.xdo("mousemove", click[0] - target[0], click[1] - target[1])
        b.xdo("click", 3)
        self.assertEqual(b.wait_window(cls="#32768", timeout=10)["rect"][:2], click)
        b.xdo("key", "Escape")

        since = len(bench.read_target_log(self.log))
        b.command(main, 1004)
        deadline = time.time() + 20
        while time.time() < deadline and len(self.received(since)) < 6:
            time.sleep(0.2)
        self.assertEqual(self.received(since), expected, "the program's Play")

        b.command(main, 1005)
        b.wait_window(text="Save Compiled Macro As", cls="#32770")
        b.focus("Save Compiled Macro As")
        time.sleep(0.5)
        b.xdo("type", "--delay", 20, bench.unix_to_wine(b.path(layout + "-player")))
        b.xdo("key", "Return")
        report = b.message_box(timeout=120, predicate=lambda w: w["text"].startswith("Compilation"))
        self.assertEqual(report["text"], "Compilation Complete", bench.Bench.message_box_text(report))
        b.click(report, "OK")
        for player in [layout + "-player.exe", layout + "-player64.exe"][0 if BOTH else 1:]:
            since = len(bench.read_target_log(self.log))
            b.run(b.path(player), timeout=60)
            time.sleep(0.3)
            self.assertEqual(self.received(since), expected, player)


if __name__ == "__main__":
    unittest.main()
