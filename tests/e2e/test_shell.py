"""The daily job with real input through Xvfb: record with the hotkey, stop with Esc, play into a
target window, the toolbar's commands and their message boxes, the slots, and the captions."""
import glob
import os
import re
import shutil
import struct
import tempfile
import time
import unittest

import bench

TARGET_TITLE = "Quorrel Test Target"
REC_BOX = re.compile(r"^Recording stopped\.\n(\d+) events captured\.$")
COUNTDOWN = re.compile(r"^\d\d:\d\d \((\d+)/(\d+|-)\)$")

WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP = 0x100, 0x101, 0x104, 0x105
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP = 0x200, 0x201, 0x202
VK_ESCAPE = 27


def read_rec(path):
    with open(path, "rb") as f:
        data = f.read()
    (count,) = struct.unpack_from("<i", data)
    return [struct.unpack_from("<5I", data, 4 + 20 * i) for i in range(count)]


def write_rec(path, events):
    with open(path, "wb") as f:
        f.write(struct.pack("<i", len(events)))
        for e in events:
            f.write(struct.pack("<5I", *[v & 0xFFFFFFFF for v in e]))


class ShellBench:
    """One running quorrel.exe (a private copy, so its settings file is private too) beside a
    target window that logs what it receives."""

    def __init__(self, name, settings=None, env=None):
        self.b = bench.Bench(name)
        self.exe = self.b.private_quorrel()
        self.app_dir = os.path.dirname(self.exe)
        if settings:
            with open(os.path.join(self.app_dir, "Quorrel.ini"), "w") as f:
                f.write("[Settings]\r\n" + "".join("%s=%s\r\n" % kv for kv in settings.items()))
        self.log = self.b.path("target.log")
        self.target = self.b.start(os.path.join(bench.TESTS, "qtarget.exe"), bench.unix_to_wine(self.log),
                                   0, 0, 600, 300)
        self.b.wait_window(text=TARGET_TITLE, exe="qtarget.exe")
        self.app = self.b.start(self.exe, cwd=self.app_dir, env=env)
        self.main()

    def close(self):
        self.b.close()

    # --- windows -------------------------------------------------------------
    def main(self):
        return self.b.wait_window(cls="QuorrelWindowClass", visible=False)

    def caption(self):
        return self.main()["text"]

    def wait_caption(self, test, timeout=15):
        """Waits until the caption passes `test` (a string to equal, or a predicate)."""
        check = test if callable(test) else (lambda t: t == test)
        deadline = time.time() + timeout
        seen = []
        while time.time() < deadline:
            text = self.caption()
            if not seen or seen[-1] != text:
                seen.append(text)
            if check(text):
                return text
            time.sleep(0.1)
        raise AssertionError("caption never matched; saw %r" % seen)

    def box(self, caption, timeout=20):
        return self.b.message_box(caption, timeout)

    def answer(self, box):
        self.b.click(box, "OK")
        self.b.wait_gone(box["hwnd"])

    def answer_open_boxes(self):
        """Leaves no box open for the next test."""
        for w in self.b.windows():
            if w["class"] == "#32770" and w["visible"] and "OK" in bench.Bench.buttons(w):
                self.answer(w)

    def button(self, control_id):
        for c in self.main()["children"]:
            if c["id"] == control_id:
                return c
        raise AssertionError("no button %d" % control_id)

    # A second click on the same spot within the double-click time is a double-click,
    # which a button takes as such and not as another click.
    DOUBLE_CLICK_S = 0.6

    def click_button(self, control_id):
        left, top, right, bottom = self.button(control_id)["rect"]
        spot = ((left + right) // 2, (top + bottom) // 2)
        self.b.xdo("mousemove", *spot)
        time.sleep(0.2)
        last_spot, last_time = getattr(self, "_last_click", (None, 0.0))
        if last_spot == spot:
            time.sleep(max(0.0, last_time + self.DOUBLE_CLICK_S - time.time()))
        self.b.xdo("click", 1)
        self._last_click = (spot, time.time())

    def dialogs(self, title):
        return [w for w in self.b.windows() if w["class"] == "#32770" and w["text"] == title and w["visible"]]

    def answer_file_dialog(self, title, path):
        """Types a path into a common file dialog, as a user would."""
        dialog = self.b.wait_window(text=title, cls="#32770")
        wid = self.b.x_window(title)
        if wid:
            self.b.xdo("windowfocus", "--sync", wid)
        time.sleep(0.5)
        self.b.xdo("type", "--delay", 20, bench.unix_to_wine(path))
        self.b.xdo("key", "Return")
        self.b.wait_gone(dialog["hwnd"])

    # --- input ---------------------------------------------------------------
    def focus_target(self):
        # Wine takes keys only once one of its windows holds the X focus and has been
        # activated; a click in a corner of the target does both.
        self.b.activate(TARGET_TITLE, 590, 290, exe="qtarget.exe")
        time.sleep(0.3)  # the click's own messages reach the target's log

    def target_events(self):
        return bench.read_target_log(self.log)

    def hotkey(self, keys):
        self.b.xdo("key", keys)


class ShellDailyJobTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = ShellBench("shell")
        cls.b = cls.s.b

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def tearDown(self):
        self.s.answer_open_boxes()

    def record_with_hotkey(self, actions, min_seconds=0.0):
        """Starts a recording with Ctrl+Shift+Alt+R while the target has the focus, runs
        `actions`, stops with Esc and returns the count the Record box reported."""
        s = self.s
        s.focus_target()
        s.hotkey("ctrl+shift+alt+r")
        s.wait_caption(lambda t: t.startswith("REC 00:0"))
        started = time.time()
        actions()
        left = min_seconds - (time.time() - started)
        if left > 0:
            time.sleep(left)
        s.hotkey("Escape")
        box = s.box("Record")
        text = bench.Bench.message_box_text(box)
        match = REC_BOX.match(text or "")
        self.assertIsNotNone(match, text)
        self.assertEqual(bench.Bench.buttons(box), ["OK"])
        s.answer(box)
        self.assertEqual(s.caption(), "Quorrel")
        return int(match.group(1))

    def save_via_toolbar(self, name):
        path = self.b.path(name)
        self.b.command(self.s.main(), 1002)
        self.s.answer_file_dialog("Save Macro Recording", path)
        box = self.s.box("Save")
        return path, box

    def test_1_record_stop_with_esc_then_play_into_the_target(self):
        s = self.s
        shown = []

        def actions():
            started = time.time()  # the caption has just shown the recording
            s.b.xdo("mousemove", 50, 60)
            s.b.xdo("type", "--delay", 40, "hello")
            s.b.xdo("mousemove", 300, 200)
            s.b.xdo("click", 1)
            # Past the second tick of the one-second clock, whatever the first one showed.
            time.sleep(max(0.0, started + 2.3 - time.time()))
            shown.append(s.caption())
            s.b.xdo("mousemove", 310, 210)  # the last input: Esc takes only itself away

        before = len(s.target_events())
        count = self.record_with_hotkey(actions)
        self.assertRegex(shown[0], r"^REC 00:0[1-3]$")
        after = s.target_events()[before:]
        # The press is swallowed; its release is an ordinary key-up and may arrive.
        self.assertFalse([e for e in after if e[1] in ("KEYDOWN", "SYSKEYDOWN") and e[2].get("vk") == VK_ESCAPE],
                         "the stop key reached the target")

        path, box = self.save_via_toolbar("first.rec")
        self.assertEqual(bench.Bench.message_box_text(box),
                         "Saved %d events to:\n%s" % (count, bench.unix_to_wine(path)))
        s.answer(box)
        events = read_rec(path)
        self.assertEqual(len(events), count)
        messages = [e[0] for e in events]
        self.assertNotIn(VK_ESCAPE, [e[1] for e in events if e[0] in (WM_KEYDOWN, WM_SYSKEYDOWN)])
        typed = [e[1] for e in events if e[0] == WM_KEYDOWN]
        self.assertEqual(typed[-5:], [ord(c) for c in "HELLO"])
        # The tail: the last move before Esc and the click before it both stay.
        self.assertEqual(events[-1][:3], (WM_MOUSEMOVE, 310, 210))
        last_click = max(i for i, m in enumerate(messages) if m == WM_LBUTTONUP)
        self.assertEqual(events[last_click][:3], (WM_LBUTTONUP, 300, 200))
        times = [e[3] for e in events]
        self.assertEqual(times, sorted(times))
        self.assertTrue(all(e[4] == 0 for e in events))

        # Play it back into the target with the hotkey.
        s.focus_target()
        s.b.xdo("mousemove", 550, 280)
        before = len(s.target_events())
        s.hotkey("ctrl+shift+alt+p")
        countdown = s.wait_caption(lambda t: COUNTDOWN.match(t) is not None)
        self.assertTrue(countdown.endswith("(1/1)"), countdown)
        s.wait_caption("Quorrel", timeout=30)
        time.sleep(0.5)
        played = s.target_events()[before:]
        chars = "".join(chr(e[2]["code"]) for e in played if e[1] == "CHAR")
        self.assertTrue(chars.endswith("hello"), chars)
        clicks = [(e[1], e[2]["x"], e[2]["y"]) for e in played if e[1] in ("LDOWN", "LUP")]
        # The click comes back where it was made (every pass then ends with one more release).
        down = clicks.index(("LDOWN", 300, 200))
        self.assertEqual(clicks[down + 1], ("LUP", 300, 200))

    def test_2_toolbar_open_save_rec_play_prefs(self):
        s = self.s
        # Open a file whose macro moves the mouse onto the Play button and then waits.
        play = s.button(1004)
        px = (play["rect"][0] + play["rect"][2]) // 2
        py = (play["rect"][1] + play["rect"][3]) // 2
        opened = self.b.path("wait.rec")
        write_rec(opened, [(WM_MOUSEMOVE, px, py, 0, 0), (WM_MOUSEMOVE, px, py, 30000, 0)])
        s.click_button(1001)
        s.answer_file_dialog("Open Macro Recording", opened)
        box = s.box("Open")
        self.assertEqual(bench.Bench.message_box_text(box),
                         "Loaded 2 events from:\n%s" % bench.unix_to_wine(opened))
        self.assertEqual(bench.Bench.buttons(box), ["OK"])
        s.answer(box)

        # A damaged file: the error, and the loaded macro stays.
        damaged = self.b.path("damaged.rec")
        with open(damaged, "wb") as f:
            f.write(struct.pack("<i", 5) + b"\0" * 20)
        s.click_button(1001)
        s.answer_file_dialog("Open Macro Recording", damaged)
        box = s.box("Error")
        self.assertEqual(bench.Bench.message_box_text(box),
                         "Failed to load file!\nFile may be corrupted or invalid.")
        s.answer(box)

        # Save now saves the opened file.
        path, box = self.save_via_toolbar("saved-open.rec")
        self.assertEqual(bench.Bench.message_box_text(box),
                         "Saved 2 events to:\n%s" % bench.unix_to_wine(path))
        s.answer(box)
        with open(path, "rb") as a, open(opened, "rb") as b:
            self.assertEqual(a.read(), b.read())

        # Play starts with a click and stops with another; the caption counts down meanwhile.
        s.click_button(1004)
        text = s.wait_caption(lambda t: COUNTDOWN.match(t) is not None)
        self.assertTrue(text.endswith("(1/1)"), text)
        # Open is refused while the file plays.
        self.b.command(s.main(), 1001)
        box = s.box("Open")
        self.assertEqual(bench.Bench.message_box_text(box), "Cannot open while playing!")
        s.answer(box)
        self.assertEqual(self.s.dialogs("Open Macro Recording"), [])
        s.click_button(1004)
        s.wait_caption("Quorrel", timeout=5)

        # Rec by click: the caption runs, and the clicks on Rec leave no trace.
        s.click_button(1003)
        s.wait_caption(lambda t: t.startswith("REC 00:0"))
        self.b.screenshot("shell-recording", s.caption())
        for x in range(5):
            self.b.xdo("mousemove", 100 + x * 10, 100)
            time.sleep(0.05)
        s.click_button(1003)
        box = s.box("Record")
        m = REC_BOX.match(bench.Bench.message_box_text(box))
        self.assertIsNotNone(m)
        s.answer(box)
        path, box = self.save_via_toolbar("rec-click.rec")
        s.answer(box)
        events = read_rec(path)
        self.assertEqual(len(events), int(m.group(1)))
        # A stop by the Rec button takes its whole click away, with any move Wine
        # records around it.
        self.assertEqual([e for e in events if e[0] in (WM_LBUTTONDOWN, WM_LBUTTONUP)], [])
        for x in range(5):
            self.assertIn((WM_MOUSEMOVE, 100 + x * 10, 100), [e[:3] for e in events])

        # Prefs: the menu opens just below the button, aligned with its left edge.
        prefs = s.button(1006)
        s.click_button(1006)
        menu = self.b.wait_window(cls="#32768", timeout=10)
        self.assertEqual(menu["rect"][0], prefs["rect"][0])
        self.assertEqual(menu["rect"][1], prefs["rect"][3])
        self.b.xdo("key", "Escape")
        time.sleep(0.5)
        # So does the keyboard's context menu (WM_CONTEXTMENU at -1, -1).
        self.b.post(s.main()["hwnd"], 0x7B, s.main()["hwnd"], -1)
        self.assertEqual(self.b.wait_window(cls="#32768", timeout=10)["rect"][:2], [prefs["rect"][0], prefs["rect"][3]])
        self.b.xdo("key", "Escape")
        time.sleep(0.5)

    def test_3_slots_hold_three_macros(self):
        s = self.s
        letters = {1: "a", 2: "b", 3: "c"}
        counts = {}
        for n in (1, 2, 3):
            s.focus_target()
            s.hotkey("ctrl+%d" % n)
            s.wait_caption(lambda t, n=n: t.startswith("Quorrel - Slot %d " % n))

            def actions(n=n):
                s.b.xdo("type", letters[n])
                s.b.xdo("mousemove", 400, 100 + n)

            counts[n] = self.record_with_hotkey(actions)
        s.focus_target()
        s.hotkey("ctrl+1")
        self.assertEqual(s.wait_caption(lambda t: t.startswith("Quorrel - Slot 1")),
                         "Quorrel - Slot 1 (%d events)" % counts[1])
        s.hotkey("ctrl+5")
        s.wait_caption("Quorrel - Slot 5 (empty)")
        for n in (1, 2, 3):
            s.focus_target()
            s.hotkey("ctrl+%d" % n)
            s.wait_caption("Quorrel - Slot %d (%d events)" % (n, counts[n]))
            before = len(s.target_events())
            s.hotkey("ctrl+shift+alt+p")
            # These macros play in a fraction of a second: watch what arrives instead.
            deadline = time.time() + 15
            chars = ""
            while time.time() < deadline and not chars:
                time.sleep(0.2)
                chars = "".join(chr(e[2]["code"]) for e in s.target_events()[before:] if e[1] == "CHAR")
            s.wait_caption("Quorrel", timeout=30)
            time.sleep(0.3)
            chars = "".join(chr(e[2]["code"]) for e in s.target_events()[before:] if e[1] == "CHAR")
            self.assertEqual(chars, letters[n], "slot %d" % n)

    def test_4_captions_modes_screenshots(self):
        s = self.s
        self.b.screenshot("shell-captions-on", s.caption())
        self.b.command(s.main(), 2010)  # Show Captions off
        deadline = time.time() + 5
        while s.main()["client"] != [265, 36] and time.time() < deadline:
            time.sleep(0.2)
        self.assertEqual(s.main()["client"], [265, 36])
        self.b.screenshot("shell-captions-off", s.caption())
        self.b.command(s.main(), 2010)
        deadline = time.time() + 5
        while s.main()["client"] != [265, 55] and time.time() < deadline:
            time.sleep(0.2)
        self.assertEqual(s.main()["client"], [265, 55])


    def test_5_main_window_keys(self):
        s = self.s

        def focus_main():
            s.b.focus(s.caption())
            time.sleep(0.3)

        # R starts and, pressed again, stops a recording (the count box as for the Rec button).
        focus_main()
        s.b.xdo("key", "r")
        s.wait_caption(lambda t: t.startswith("REC 00:0"))
        s.b.xdo("mousemove", 120, 120)
        s.b.xdo("mousemove", 130, 120)
        focus_main()
        s.b.xdo("key", "R")
        box = s.box("Record")
        self.assertIsNotNone(REC_BOX.match(bench.Bench.message_box_text(box)))
        s.answer(box)

        # S saves the working macro without a word.
        saved = self.b.path("keys-s.rec")
        focus_main()
        s.b.xdo("key", "s")
        s.answer_file_dialog("Save Macro Recording", saved)
        time.sleep(1)
        self.assertTrue(os.path.exists(saved))
        self.assertEqual([w for w in self.b.windows() if w["class"] == "#32770" and w["visible"]], [])
        recorded = read_rec(saved)

        # O opens into the working macro, silently; S then saves exactly that file.
        other = self.b.path("keys-o.rec")
        write_rec(other, [(WM_MOUSEMOVE, 200, 100, 0, 0), (WM_KEYDOWN, 0x41, 0x1E, 5, 0), (WM_KEYUP, 0x41, 0x801E, 9, 0)])
        focus_main()
        s.b.xdo("key", "o")
        s.answer_file_dialog("Open Macro Recording", other)
        time.sleep(1)
        self.assertEqual([w for w in self.b.windows() if w["class"] == "#32770" and w["visible"]], [])
        again = self.b.path("keys-s2.rec")
        focus_main()
        s.b.xdo("key", "s")
        s.answer_file_dialog("Save Macro Recording", again)
        time.sleep(1)
        with open(other, "rb") as a, open(again, "rb") as b:
            self.assertEqual(a.read(), b.read())
        self.assertNotEqual(len(recorded), 3)

        # P plays the working macro: its move to (200, 100) lands on the target.
        def played(start, why):
            before = len(s.target_events())
            start()
            deadline = time.time() + 15
            moved = []
            while time.time() < deadline and not moved:
                time.sleep(0.2)
                moved = [e for e in s.target_events()[before:]
                         if e[1] == "MOVE" and abs(e[2]["x"] - 200) <= 1 and abs(e[2]["y"] - 100) <= 1]
            self.assertTrue(moved, why)
            s.wait_caption("Quorrel", timeout=15)

        focus_main()
        played(lambda: s.b.xdo("key", "p"), "the opened macro did not play")

        # A click on Play leaves the keyboard focus on the button; P still plays.
        played(lambda: s.click_button(1004), "the Play button did not play")
        played(lambda: s.b.xdo("key", "p"), "P after a click on Play did not play")


class ShellSpeedTest(unittest.TestCase):
    """Two passes at twice the speed, set in the settings file."""

    @classmethod
    def setUpClass(cls):
        cls.s = ShellBench("shell-speed", {"PlaybackSpeed": "2.00", "RepeatMode": "1", "RepeatCount": "2"})

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def test_play_twice_at_double_speed(self):
        s = self.s
        # Keys 'x' and 'y' 2 s apart: at 2x they arrive about 1 s apart, in each of two passes.
        path = s.b.path("xy.rec")
        write_rec(path, [(WM_KEYDOWN, 0x58, 0x2D, 0, 0), (WM_KEYUP, 0x58, 0x802D, 10, 0),
                         (WM_KEYDOWN, 0x59, 0x15, 2000, 0), (WM_KEYUP, 0x59, 0x8015, 2010, 0),
                         (WM_MOUSEMOVE, 500, 250, 2020, 0)])
        s.b.command(s.main(), 1001)
        s.answer_file_dialog("Open Macro Recording", path)
        s.answer(s.box("Open"))
        s.focus_target()
        before = len(s.target_events())
        s.hotkey("ctrl+shift+alt+p")
        passes = set()
        deadline = time.time() + 20
        while time.time() < deadline:
            m = COUNTDOWN.match(s.caption())
            if m:
                passes.add((m.group(1), m.group(2)))
            elif passes:
                break
            time.sleep(0.1)
        self.assertEqual(passes, {("1", "2"), ("2", "2")})
        s.wait_caption("Quorrel")
        time.sleep(0.3)
        downs = [e for e in s.target_events()[before:] if e[1] == "KEYDOWN" and e[2]["vk"] in (0x58, 0x59)]
        self.assertEqual([e[2]["vk"] for e in downs], [0x58, 0x59, 0x58, 0x59])
        gap = downs[1][0] - downs[0][0]
        self.assertGreater(gap, 850)
        self.assertLess(gap, 1400)


class ShellCompileTest(unittest.TestCase):
    """Record, compile with the .exe button (the product's gcc.exe bridge on the search path, as
    tools/run.sh puts it), and run the player into the target. The bridge builds players of its
    own bitness, so they run wherever the program does."""

    @classmethod
    def setUpClass(cls):
        cls.bin = tempfile.mkdtemp(prefix="quorrel-shell-gcc-")
        shutil.copy(os.path.join(bench.BUILD, "bridge", "gcc.exe"), os.path.join(cls.bin, "gcc.exe"))
        cls.s = ShellBench("shell-compile", env={"WINEPATH": bench.unix_to_wine(cls.bin)})

    @classmethod
    def tearDownClass(cls):
        cls.s.close()
        shutil.rmtree(cls.bin, ignore_errors=True)

    def tearDown(self):
        # A recorded macro that clicks the .exe button opens a save dialog when its player runs.
        for dialog in self.s.dialogs("Save Compiled Macro As"):
            self.s.b.click(dialog, "Cancel")
            self.s.b.wait_gone(dialog["hwnd"])
        self.s.answer_open_boxes()

    def temp_leftovers(self):
        return glob.glob(os.path.join(bench.PREFIX, "drive_c", "users", "*", "*", "*", "Temp",
                                      "quorrel_compile.rec")) + \
            glob.glob(os.path.join(bench.PREFIX, "drive_c", "users", "*", "Temp", "quorrel_compile.rec"))

    def compile_current_macro(self, output):
        """Builds the current macro with the .exe button into OUTPUT.exe and checks the report."""
        s = self.s
        s.click_button(1005)
        s.answer_file_dialog("Save Compiled Macro As", output)
        report = s.b.message_box(timeout=120, predicate=lambda w: w["text"].startswith("Compilation"))
        self.assertEqual(report["text"], "Compilation Complete", bench.Bench.message_box_text(report))
        s.answer(report)
        self.assertTrue(os.path.exists(output + ".exe"))
        self.assertEqual(self.temp_leftovers(), [])

    def start_player(self, output):
        """Starts OUTPUT.exe with the target in front; the player and the target's log length
        before it."""
        self.s.focus_target()
        before = len(self.s.target_events())
        return self.s.b.start(output + ".exe"), before

    def test_record_compile_and_run_the_player(self):
        s = self.s
        s.focus_target()
        s.hotkey("ctrl+shift+alt+r")
        s.wait_caption(lambda t: t.startswith("REC 00:0"))
        s.b.xdo("type", "--delay", 40, "zq")
        # The build would stall the hooks: refused while recording.
        s.click_button(1005)
        box = s.box("Compile")
        self.assertEqual(bench.Bench.message_box_text(box), "Cannot compile while recording!")
        self.assertEqual(bench.Bench.buttons(box), ["OK"])
        s.answer(box)
        s.focus_target()
        s.hotkey("Escape")
        s.answer(s.box("Record"))

        output = s.b.path("player")
        self.compile_current_macro(output)
        player, before = self.start_player(output)
        player.wait(60)
        chars = "".join(chr(e[2]["code"]) for e in s.target_events()[before:] if e[1] == "CHAR")
        self.assertIn("zq", chars)

    def test_keys_still_held_from_the_start_change_nothing(self):
        """A hand still on Ctrl+Shift+Alt after P, or on Ctrl+Alt of the shortcut key that started a
        player: the macro's A and its click arrive unmodified and in order."""
        s = self.s
        path = s.b.path("a-click.rec")
        write_rec(path, [(WM_KEYDOWN, 0x41, 0x1E, 0, 0), (WM_KEYUP, 0x41, 0xC01E, 10, 0),
                         (WM_LBUTTONDOWN, 300, 150, 20, 0), (WM_LBUTTONUP, 300, 150, 30, 0)])
        s.b.command(s.main(), 1001)
        s.answer_file_dialog("Open Macro Recording", path)
        s.answer(s.box("Open"))
        output = s.b.path("a-click-player")
        self.compile_current_macro(output)
        for keys, seconds, start in (("ctrl+shift+alt+p", 0.4, lambda: None),
                                     ("ctrl+alt", 1.2, lambda: s.b.start(output + ".exe"))):
            s.focus_target()
            before = len(s.target_events())
            s.b.xdo("keydown", keys)
            start()
            time.sleep(seconds)
            s.b.xdo("keyup", "+".join(reversed(keys.split("+"))))
            got, deadline = [], time.time() + 20
            while ("LDOWN", 1) not in got and time.time() < deadline:
                time.sleep(0.1)
                got = [(e[1], e[2].get("vk", e[2].get("code", e[2].get("mk")))) for e in s.target_events()[before:]
                       if e[1] in ("CHAR", "LDOWN") or e[1].endswith("KEYDOWN") and e[2]["vk"] == 0x41]
            self.assertEqual(got, [("KEYDOWN", 0x41), ("CHAR", ord("a")), ("LDOWN", 1)], keys)
            s.wait_caption("Quorrel")

    def test_stop_the_player_while_its_macro_holds_keys(self):
        s = self.s
        # Shift held throughout; 'm', then a 1.2 s gap in which the user holds Esc: the player
        # looks at Esc again when the gap ends, so neither 'n' nor 'o' ever comes.
        path = s.b.path("held.rec")
        write_rec(path, [(WM_KEYDOWN, 0xA0, 0x2A, 0, 0),
                         (WM_KEYDOWN, 0x4D, 0x32, 100, 0), (WM_KEYUP, 0x4D, 0xC032, 110, 0),
                         (WM_KEYDOWN, 0x4E, 0x31, 1300, 0), (WM_KEYUP, 0x4E, 0xC031, 1310, 0),
                         (WM_KEYDOWN, 0x4F, 0x18, 1320, 0), (WM_KEYUP, 0x4F, 0xC018, 1330, 0),
                         (WM_KEYUP, 0xA0, 0xC02A, 1400, 0)])
        s.b.command(s.main(), 1001)
        s.answer_file_dialog("Open Macro Recording", path)
        s.answer(s.box("Open"))
        output = s.b.path("held-player")
        self.compile_current_macro(output)
        player, before = self.start_player(output)
        deadline = time.time() + 20
        while time.time() < deadline and not any(
                e[1] == "KEYDOWN" and e[2]["vk"] == 0x4D for e in s.target_events()[before:]):
            time.sleep(0.05)
        s.b.xdo("keydown", "Escape")
        try:
            player.wait(10)
        finally:
            s.b.xdo("keyup", "Escape")
        time.sleep(0.5)
        held = s.b.held_keys()
        self.assertEqual([k for k in held if k in (0x10, 0xA0, 0x4D, 0x4E, 0x4F)], [], held)
        # The target sees either Shift as VK_SHIFT; the user's Esc is left out.
        seen = [(e[1], 0x10 if e[2]["vk"] == 0xA0 else e[2]["vk"]) for e in s.target_events()[before:]
                if e[1] in ("KEYDOWN", "KEYUP") and e[2]["vk"] != VK_ESCAPE]
        self.assertNotIn(("KEYDOWN", 0x4E), seen, "the player went on after the stop")
        self.assertEqual(seen[-3:], [("KEYDOWN", 0x4D), ("KEYUP", 0x4D), ("KEYUP", 0x10)], seen)

if __name__ == "__main__":
    unittest.main()
