"""The real program's settings file and playback: the file a first run writes, values that are
in force after a restart, a window position on a monitor that is gone, and a .rec file named on
the command line played into a target window at speeds 1 and 2 and stopped with Esc."""
import os
import struct
import time
import unittest

import bench

TARGET_TITLE = "Quorrel Test Target"
WM_KEYDOWN, WM_KEYUP = 0x100, 0x101
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP = 0x200, 0x201, 0x202
WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL = 0x204, 0x205, 0x20A


def write_rec(path, events):
    with open(path, "wb") as f:
        f.write(struct.pack("<i", len(events)))
        for e in events:
            fields = (list(e) + [0] * 5)[:5]
            f.write(struct.pack("<5I", *[v & 0xFFFFFFFF for v in fields]))


def first_save_text(x, y):
    keys = [("PlaybackSpeed", "1.00"), ("CustomSpeed", "8.00"), ("RepeatMode", "0"), ("RepeatCount", "1"),
            ("AlwaysOnTop", "0"), ("ShowCaptions", "1"), ("RecordingHotkey", "82"),
            ("RecordingModifiers", "0"), ("UseComplexRecord", "1"), ("PlaybackHotkey", "80"),
            ("PlaybackModifiers", "0"), ("UseComplexPlayback", "1"), ("StopHotkey", "27"),
            ("StopHotkeyEnabled", "1"), ("WindowX", str(x)), ("WindowY", str(y))]
    return ("[Settings]\r\n" + "".join("%s=%s\r\n" % kv for kv in keys) +
            "[Toolbar]\r\nCustomPath=\r\nUseCustom=0\r\n")


class ProgramCopy:
    """A private copy of quorrel.exe in its own folder, so its settings file is its own."""

    def __init__(self, b, name, ini=None):
        self.b = b
        self.exe = b.private_quorrel(name)
        self.dir = os.path.dirname(self.exe)
        self.ini = os.path.join(self.dir, "Quorrel.ini")
        if ini is not None:
            with open(self.ini, "w", newline="") as f:
                f.write(ini)
        self.proc = None

    def start(self, *args):
        self.proc = self.b.start(self.exe, *args, cwd=self.dir)
        return self.main()

    def main(self):
        return self.b.wait_window(cls="QuorrelWindowClass", visible=False)

    def settled(self):
        """The main window once start-up has placed and sized it (two equal looks in a row)."""
        last = self.main()
        for _ in range(20):
            time.sleep(0.4)
            now = self.main()
            if now["rect"] == last["rect"] and now["exstyle"] == last["exstyle"]:
                return now
            last = now
        return last

    def close(self):
        """Closes the main window as the user would and waits for the program to end."""
        self.b.close_window(self.main())
        self.proc.wait(20)

    def ini_text(self):
        with open(self.ini, newline="") as f:
            return f.read()

    def ini_value(self, key):
        for line in self.ini_text().split("\r\n"):
            if line.startswith(key + "="):
                return line[len(key) + 1:]
        return None


class SettingsFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.b = bench.Bench("settings")

    @classmethod
    def tearDownClass(cls):
        cls.b.close()

    def tearDown(self):
        self.b.stop_all()

    def test_first_run_writes_every_key_in_order(self):
        app = ProgramCopy(self.b, "first")
        app.start()
        w = app.settled()
        left, top = w["rect"][0], w["rect"][1]
        app.close()
        self.assertEqual(app.ini_text(), first_save_text(left, top))

    def test_values_read_as_written_and_in_force_after_restart(self):
        ini = ("[Settings]\r\nPlaybackSpeed=abc\r\nCustomSpeed=2.5\r\nRepeatCount=-3\r\nShowCaptions=0\r\n"
               "AlwaysOnTop=1\r\nWindowX=300\r\nWindowY=200\r\n")
        app = ProgramCopy(self.b, "restart", ini)
        app.start()
        w = app.settled()
        self.assertEqual(w["client"], [265, 36])
        self.assertEqual(w["rect"][:2], [300, 200])
        app.close()
        self.assertEqual(app.ini_value("PlaybackSpeed"), "0.00")
        self.assertEqual(app.ini_value("CustomSpeed"), "2.50")
        self.assertEqual(app.ini_value("RepeatCount"), "-3")
        self.assertEqual(app.ini_value("ShowCaptions"), "0")
        self.assertEqual(app.ini_value("AlwaysOnTop"), "1")
        self.assertEqual(app.ini_value("WindowX"), "300")
        # The second run starts where the first one ended, with the same values.
        app.start()
        w = app.settled()
        self.assertEqual(w["client"], [265, 36])
        self.assertEqual(w["rect"][:2], [300, 200])
        app.close()
        self.assertEqual(app.ini_value("RepeatCount"), "-3")

    def test_position_on_a_monitor_that_is_gone_is_pulled_back(self):
        app = ProgramCopy(self.b, "lost", "[Settings]\r\nWindowX=5000\r\nWindowY=4000\r\n")
        app.start()
        w = app.settled()
        left, top, right, bottom = w["rect"]
        self.assertEqual(right, 1280)
        self.assertLessEqual(bottom, 1024)
        self.assertGreater(top, 800)
        app.close()
        self.assertEqual(app.ini_value("WindowX"), str(left))


class PlaybackTest(unittest.TestCase):
    """A macro named on the command line, played with the hotkey into a target window."""

    @classmethod
    def setUpClass(cls):
        cls.b = bench.Bench("playback")
        cls.log = cls.b.path("target.log")
        cls.b.start(os.path.join(bench.TESTS, "qtarget.exe"), bench.unix_to_wine(cls.log), 0, 0, 600, 400)
        cls.b.wait_window(text=TARGET_TITLE, exe="qtarget.exe")

    @classmethod
    def tearDownClass(cls):
        cls.b.close()

    def tearDown(self):
        # Keep the target; stop the program copies.
        for proc in self.b.procs[1:]:
            self.b.stop(proc)
        self.b.procs = self.b.procs[:1]

    def events(self):
        return bench.read_target_log(self.log)

    def focus_target(self):
        # The file-loaded box closing can hand the activation back to the program's window
        # just after one click on the target, and the macro's first key then lands there.
        self.b.activate(TARGET_TITLE, 590, 390, exe="qtarget.exe")
        time.sleep(0.3)  # the click's own messages reach the target's log

    def start_with_macro(self, name, events, ini=None):
        rec = self.b.path(name + ".rec")
        write_rec(rec, events)
        app = ProgramCopy(self.b, name, ini)
        app.start(bench.unix_to_wine(rec))
        box = self.b.wait_window(text="Quorrel - File Loaded", cls="#32770")
        self.assertTrue(bench.Bench.message_box_text(box).startswith("Auto-loaded %d events" % len(events)))
        self.b.click(box, "OK")
        self.b.wait_gone(box["hwnd"])
        return app

    def wait_idle_caption(self, app, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if app.main()["text"] == "Quorrel":
                return
            time.sleep(0.2)
        self.fail("playback did not end")

    def play(self, app):
        self.focus_target()
        before = len(self.events())
        self.b.xdo("key", "ctrl+shift+alt+p")
        deadline = time.time() + 10
        while time.time() < deadline and app.main()["text"] == "Quorrel":
            time.sleep(0.05)
        self.wait_idle_caption(app)
        time.sleep(0.5)
        return self.events()[before:]

    MACRO = [
        (WM_KEYDOWN, 0x4B, 0x25, 5000), (WM_KEYUP, 0x4B, 0x8025, 5020),
        (WM_LBUTTONDOWN, 150, 120, 5500), (WM_LBUTTONUP, 150, 120, 5520),
        (WM_RBUTTONDOWN, 300, 200, 6000), (WM_RBUTTONUP, 301, 202, 6020),
        (WM_MOUSEWHEEL, 200, (0xFF88 << 16) | 150, 6300), (WM_MOUSEWHEEL, 200, (120 << 16) | 150, 6320),
        (WM_KEYDOWN, 0x4C, 0x26, 6600), (WM_KEYUP, 0x4C, 0x8026, 6620),
    ]

    def check_macro_arrived(self, played, speed):
        # From the first recorded key on: the hotkey's own keys and the release that
        # starts a playback come before it.
        start = next((i for i, e in enumerate(played) if e[1] == "KEYDOWN" and e[2]["vk"] == 0x4B), None)
        self.assertIsNotNone(start, played)
        played = played[start:]
        got = [(e[1], e[2]) for e in played]
        kinds = [k for k, _ in got if k in ("KEYDOWN", "LDOWN", "LUP", "RDOWN", "RUP", "WHEEL")]
        # The pass ends with one more left release wherever the pointer is.
        self.assertEqual(kinds, ["KEYDOWN", "LDOWN", "LUP", "RDOWN", "RUP", "WHEEL", "WHEEL", "KEYDOWN", "LUP"],
                         kinds)
        by_kind = {}
        for k, f in got:
            by_kind.setdefault(k, []).append(f)
        self.assertEqual([f["vk"] for f in by_kind["KEYDOWN"]], [0x4B, 0x4C])
        self.assertEqual((by_kind["LDOWN"][0]["x"], by_kind["LDOWN"][0]["y"]), (150, 120))
        self.assertEqual((by_kind["RDOWN"][0]["x"], by_kind["RDOWN"][0]["y"]), (300, 200))
        self.assertEqual((by_kind["RUP"][0]["x"], by_kind["RUP"][0]["y"]), (301, 202))
        self.assertEqual([f["delta"] for f in by_kind["WHEEL"]], [-120, 120])
        self.assertEqual((by_kind["WHEEL"][0]["x"], by_kind["WHEEL"][0]["y"]), (200, 150))
        # Timing: the first record plays at once, the others keep their gaps / speed.
        ticks = {k: [e[0] for e in played if e[1] == k] for k in ("KEYDOWN", "LDOWN", "RDOWN")}
        key_gap = ticks["KEYDOWN"][1] - ticks["KEYDOWN"][0]
        self.assertGreater(key_gap, 1600 / speed - 40)
        self.assertLess(key_gap, 1600 / speed + 250)
        click_gap = ticks["RDOWN"][0] - ticks["LDOWN"][0]
        self.assertGreater(click_gap, 500 / speed - 40)
        self.assertLess(click_gap, 500 / speed + 150)

    def test_1_recorded_keys_and_clicks_arrive_at_speed_1(self):
        app = self.start_with_macro("speed1", self.MACRO)
        self.check_macro_arrived(self.play(app), 1.0)
        app.close()

    def test_2_and_at_speed_2(self):
        app = self.start_with_macro("speed2", self.MACRO, "[Settings]\r\nPlaybackSpeed=2.00\r\n")
        self.check_macro_arrived(self.play(app), 2.0)
        app.close()

    def test_3_esc_held_stops_the_playback(self):
        presses = []
        for i in range(24):
            presses += [(WM_KEYDOWN, 0x4D, 0x32, 250 * i), (WM_KEYUP, 0x4D, 0x8032, 250 * i + 10)]
        app = self.start_with_macro("esc", presses)
        self.focus_target()
        before = len(self.events())
        self.b.xdo("key", "ctrl+shift+alt+p")
        deadline = time.time() + 10
        while time.time() < deadline:
            if sum(1 for e in self.events()[before:] if e[1] == "KEYDOWN" and e[2]["vk"] == 0x4D) >= 4:
                break
            time.sleep(0.05)
        self.b.xdo("keydown", "Escape")
        time.sleep(0.6)
        self.b.xdo("keyup", "Escape")
        self.wait_idle_caption(app, timeout=5)
        time.sleep(1.5)  # long enough for several more presses, had it gone on
        played = self.events()[before:]
        esc = [e[0] for e in played if e[1] == "KEYDOWN" and e[2]["vk"] == 27]
        self.assertTrue(esc)
        m_after = [e for e in played if e[1] == "KEYDOWN" and e[2]["vk"] == 0x4D and e[0] > esc[0]]
        self.assertLessEqual(len(m_after), 1)  # at most the record being injected as Esc went down
        m_total = sum(1 for e in played if e[1] == "KEYDOWN" and e[2]["vk"] == 0x4D)
        self.assertLess(m_total, 12)
        app.close()


if __name__ == "__main__":
    unittest.main()
