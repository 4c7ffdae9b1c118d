"""The preferences menu, its commands and dialogs, the tray stand-in, the About window and the
shortcuts dialog, in the real program under Wine with real pointer and key input."""
import os
import re
import struct
import time
import unittest

import bench

TARGET_TITLE = "Quorrel Test Target"
COUNTDOWN = re.compile(r"^\d\d:\d\d \((\d+)/(\d+|-)\)$")
WM_KEYDOWN, WM_KEYUP, WM_MOUSEMOVE = 0x100, 0x101, 0x200
WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP = 0x202, 0x203, 0x205
WM_TRAYICON = 1025

SHORTCUTS_TEXT = ("Recording && Playback:\r\n  Ctrl+Shift+Alt+R  Start/Stop Recording\r\n"
                  "  Ctrl+Shift+Alt+P  Start Playback\r\n  ESC               Stop Playback\r\n\r\n"
                  "Macro Slots:\r\n  Ctrl+1 to Ctrl+9  Switch to Slot\r\n\r\n"
                  "General:\r\n  F1                Show Shortcuts\r\n  Right-click       Context Menu")

# The menu from top to bottom: None marks a separator. Positions are computed from this list.
MENU = ["Play Speed:  1/2x", "Play Speed:  1x", "Play Speed:  2x", "Play Speed:  100x",
        "custom", "Set Custom Speed...", None, "&Continuous Playback", "loops", None,
        "Recording Hotkey", "Playback Hotkey", None, "&Always on Top", "Show Captions",
        "Use Custom Toolbar...", "Use Default Toolbar", None, "Quorrel Website", "About Quorrel 1.8"]
SEPARATOR_HEIGHT = 9  # Wine's menu metrics; the item height is derived from the window's height
MENU_BORDER = 3


def write_rec(path, events):
    with open(path, "wb") as f:
        f.write(struct.pack("<i", len(events)))
        for e in events:
            f.write(struct.pack("<5I", *[v & 0xFFFFFFFF for v in e]))


class PrefsEndToEndTest(unittest.TestCase):
    """One program for the whole class; the numbered tests run in order and build on the
    settings the earlier ones chose."""

    @classmethod
    def setUpClass(cls):
        cls.b = bench.Bench("prefs")
        cls.exe = cls.b.private_quorrel()
        cls.app_dir = os.path.dirname(cls.exe)
        cls.log = cls.b.path("target.log")
        cls.b.start(os.path.join(bench.TESTS, "qtarget.exe"), bench.unix_to_wine(cls.log), 0, 0, 600, 300)
        cls.b.wait_window(text=TARGET_TITLE, exe="qtarget.exe")
        # Keys 'x' and 'y' two seconds apart.
        cls.rec = cls.b.path("xy.rec")
        write_rec(cls.rec, [(WM_KEYDOWN, 0x58, 0x2D, 0, 0), (WM_KEYUP, 0x58, 0x802D, 10, 0),
                            (WM_KEYDOWN, 0x59, 0x15, 2000, 0), (WM_KEYUP, 0x59, 0x8015, 2010, 0),
                            (WM_MOUSEMOVE, 500, 250, 2020, 0)])
        cls.app = cls.b.start(cls.exe, bench.unix_to_wine(cls.rec), cwd=cls.app_dir)
        box = cls.b.wait_window(text="Quorrel - File Loaded", cls="#32770")
        cls.b.click(box, "OK")
        cls.b.wait_gone(box["hwnd"])

    @classmethod
    def tearDownClass(cls):
        cls.b.close()

    def tearDown(self):
        # Leave no prompt, box, menu or About window behind for the next test.
        for w in self.b.windows():
            if w["visible"] and w["class"] in ("QuorrelInputDialog", "QuorrelAboutDlg", "#32770"):
                self.b.close_window(w)
        if self.app.poll() is None and not self.main()["visible"]:
            self.poke(WM_TRAYICON, WM_LBUTTONDBLCLK)

    # --- helpers ---------------------------------------------------------------
    def main(self):
        return self.b.wait_window(cls="QuorrelWindowClass", visible=False)

    def settings(self):
        values = {}
        path = os.path.join(self.app_dir, "Quorrel.ini")
        if os.path.exists(path):
            with open(path) as f:
                for line in f:
                    key, sep, value = line.strip().partition("=")
                    if sep:
                        values[key] = value
        return values

    def wait_setting(self, key, value, timeout=10):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.settings().get(key) == value:
                return
            time.sleep(0.2)
        self.fail("%s never became %s; file has %r" % (key, value, self.settings().get(key)))

    def cursor(self):
        x, y = self.b.inspector("cursor").split()[:2]
        return int(x), int(y)

    def menu_window(self):
        return self.b.wait_window(cls="#32768", timeout=10)

    def open_menu_in_window(self):
        """Right click inside the main window, as a user does; returns (menu, pointer)."""
        left, top, right, bottom = self.main()["rect"]
        self.b.xdo("mousemove", left + 200, bottom - 12)
        time.sleep(0.3)
        self.b.xdo("click", 3)
        return self.menu_window(), self.cursor()

    def choose(self, menu, label):
        """Clicks the item with `label` in the open popup menu."""
        rows = len(MENU)
        separators = MENU.count(None)
        left, top, right, bottom = menu["rect"]
        item_height = (bottom - top - 2 * MENU_BORDER - separators * SEPARATOR_HEIGHT) // (rows - separators)
        y = top + MENU_BORDER
        for entry in MENU:
            if entry == label:
                break
            y += SEPARATOR_HEIGHT if entry is None else item_height
        else:
            raise AssertionError("no item %r" % label)
        self.b.xdo("mousemove", left + 40, y + item_height // 2)
        time.sleep(0.3)
        self.b.xdo("click", 1)
        self.b.wait_gone(menu["hwnd"])

    def focus_target(self):
        # Wine takes keys only once one of its windows holds the X focus and has been
        # activated; a click in a corner of the target does both.
        self.b.activate(TARGET_TITLE, 590, 290, exe="qtarget.exe")
        time.sleep(0.3)  # the click's own messages reach the target's log

    def target_keydowns(self, since):
        return [e for e in bench.read_target_log(self.log)[since:]
                if e[1] == "KEYDOWN" and e[2].get("vk") in (0x58, 0x59)]

    def play_and_watch(self, timeout=30):
        """Plays the loaded macro with the hotkey; returns (passes seen in the caption, keydowns)."""
        self.focus_target()
        before = len(bench.read_target_log(self.log))
        self.b.xdo("key", "ctrl+shift+alt+p")
        passes = []
        deadline = time.time() + timeout
        while time.time() < deadline:
            m = COUNTDOWN.match(self.main()["text"])
            if m:
                if (m.group(1), m.group(2)) not in passes:
                    passes.append((m.group(1), m.group(2)))
            elif passes:
                break
            time.sleep(0.1)
        deadline = time.time() + 10
        while self.main()["text"] != "Quorrel" and time.time() < deadline:
            time.sleep(0.2)
        time.sleep(0.3)
        return passes, self.target_keydowns(before)

    def prompt(self, title):
        return self.b.wait_window(text=title, cls="QuorrelInputDialog")

    def answer_prompt(self, title, text):
        prompt = self.prompt(title)
        self.b.focus(title)
        time.sleep(0.3)
        self.b.xdo("type", "--delay", 40, text)
        self.b.xdo("key", "Return")
        self.b.wait_gone(prompt["hwnd"])

    def poke(self, message, lparam):
        self.assertEqual(self.b.post(self.main()["hwnd"], message, 0, lparam), 1)

    # --- tests -------------------------------------------------------------------
    def test_1_right_click_opens_the_menu_at_the_pointer_and_2x_doubles_the_speed(self):
        menu, pointer = self.open_menu_in_window()
        self.assertEqual(tuple(menu["rect"][:2]), pointer)
        self.b.screenshot("prefs-menu")
        self.choose(menu, "Play Speed:  2x")
        self.wait_setting("PlaybackSpeed", "2.00")
        passes, downs = self.play_and_watch()
        self.assertEqual([e[2]["vk"] for e in downs], [0x58, 0x59])
        gap = downs[1][0] - downs[0][0]
        self.assertGreater(gap, 850)   # recorded 2000 ms apart
        self.assertLess(gap, 1400)

    def test_2_three_loops_play_three_passes(self):
        menu, _ = self.open_menu_in_window()
        self.choose(menu, "Play Speed:  1x")
        self.wait_setting("PlaybackSpeed", "1.00")
        menu, _ = self.open_menu_in_window()
        self.choose(menu, "loops")
        prompt = self.prompt("Set Playback Loops")
        # The edit field keeps its text where the inspector cannot read it without
        # messaging; the Win32 tests check the offered "1".
        texts = [c["text"] for c in prompt["children"]]
        self.assertEqual([texts[1]] + texts[3:], ["Set the number of playback loops:", "OK", "Cancel"])
        self.assertEqual([c["class"] for c in prompt["children"]], ["Static", "Static", "Edit", "Button", "Button"])
        self.assertFalse(self.main()["enabled"])
        self.b.screenshot("prefs-prompt")
        self.answer_prompt("Set Playback Loops", "3")
        self.assertTrue(self.main()["enabled"])
        passes, downs = self.play_and_watch(timeout=40)
        self.assertEqual(passes, [("1", "3"), ("2", "3"), ("3", "3")])
        self.assertEqual([e[2]["vk"] for e in downs], [0x58, 0x59] * 3)

    def test_3_show_captions_off_and_on_resizes_in_place(self):
        before = self.main()
        menu, _ = self.open_menu_in_window()
        self.choose(menu, "Show Captions")
        deadline = time.time() + 10
        while self.main()["client"] != [265, 36] and time.time() < deadline:
            time.sleep(0.2)
        after = self.main()
        self.assertEqual(after["client"], [265, 36])
        self.assertEqual(after["rect"][:2], before["rect"][:2])
        self.wait_setting("ShowCaptions", "0")
        menu, _ = self.open_menu_in_window()
        self.choose(menu, "Show Captions")
        deadline = time.time() + 10
        while self.main()["client"] != [265, 55] and time.time() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.main()["client"], [265, 55])
        self.wait_setting("ShowCaptions", "1")

    def test_4_minimise_hides_to_the_tray_whose_clicks_bring_the_menu_and_the_window_back(self):
        # The system menu's Minimize sends the same SC_MINIMIZE as the title-bar box.
        self.b.focus("Quorrel")
        self.b.xdo("key", "alt+space")
        time.sleep(0.5)
        self.b.xdo("key", "n")
        deadline = time.time() + 10
        while self.main()["visible"] and time.time() < deadline:
            time.sleep(0.2)
        self.assertFalse(self.main()["visible"])
        self.assertFalse(self.main()["iconic"])
        # Xvfb has no notification area, so the shell's callbacks for the icon are posted as
        # the shell would post them.
        self.focus_target()
        self.b.xdo("mousemove", 900, 600)
        time.sleep(1.0)
        self.poke(WM_TRAYICON, WM_LBUTTONUP)  # a single click does nothing
        time.sleep(0.5)
        self.assertFalse(self.main()["visible"])
        # Wine closes a menu whose hidden owner loses a focus change still under way from
        # the click above; on a settled desktop the first release opens it.
        for attempt in range(3):
            self.poke(WM_TRAYICON, WM_RBUTTONUP)
            try:
                menu = self.b.wait_window(cls="#32768", timeout=4)
                break
            except AssertionError:
                if attempt == 2:
                    raise
                time.sleep(1.0)
        self.assertEqual(tuple(menu["rect"][:2]), (900, 600))
        self.assertFalse(self.main()["visible"])
        self.choose(menu, "Show Captions")
        deadline = time.time() + 10
        while self.main()["client"] != [265, 36] and time.time() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.main()["client"], [265, 36])
        self.assertFalse(self.main()["visible"], "resized without being shown")
        self.poke(WM_TRAYICON, WM_LBUTTONDBLCLK)
        deadline = time.time() + 10
        while not self.main()["visible"] and time.time() < deadline:
            time.sleep(0.2)
        self.assertTrue(self.main()["visible"])
        menu, _ = self.open_menu_in_window()
        self.choose(menu, "Show Captions")
        self.wait_setting("ShowCaptions", "1")

    def test_5_f1_shows_the_shortcuts_from_another_application(self):
        closers = [lambda d: self.b.xdo("key", "Escape"), lambda d: self.b.xdo("key", "Return"),
                   lambda d: self.b.click(d, "OK")]
        for i, close in enumerate(closers):
            self.focus_target()
            self.b.xdo("key", "F1")
            dialog = self.b.wait_window(text="Keyboard Shortcuts", cls="#32770")
            statics = [c["text"] for c in dialog["children"] if c["class"].lower() == "static"]
            self.assertEqual(statics, [SHORTCUTS_TEXT])
            self.assertEqual(bench.Bench.buttons(dialog), ["OK"])
            if i == 0:
                self.b.screenshot("prefs-shortcuts")
            self.b.focus("Keyboard Shortcuts")
            time.sleep(0.3)
            close(dialog)
            self.b.wait_gone(dialog["hwnd"])

    def test_6_about_opens_from_the_menu_and_closes_with_esc_and_the_close_box(self):
        for close in ("escape", "close"):
            menu, _ = self.open_menu_in_window()
            self.choose(menu, "About Quorrel 1.8")
            about = self.b.wait_window(text="About Quorrel", cls="QuorrelAboutDlg")
            texts = [c["text"] for c in about["children"]]
            self.assertEqual(texts[1:5], ["Quorrel", "Version 1.8", "", "Key Features:"])
            self.assertTrue(texts[5].startswith("\u2022 Record mouse clicks and keyboard input\r\n"))
            self.assertEqual(texts[8], "quorrel.app")
            self.assertEqual(texts[9], "OK")
            left, top, right, bottom = about["rect"]
            self.assertEqual((right - left, bottom - top), (400, 380))
            self.assertFalse(self.main()["enabled"])
            if close == "escape":
                self.b.screenshot("prefs-about")
                self.b.focus("About Quorrel")
                time.sleep(0.3)
                self.b.xdo("key", "Escape")
            else:
                self.b.close_window(about)
            self.b.wait_gone(about["hwnd"])
            self.assertTrue(self.main()["enabled"])
            self.assertEqual(self.main()["text"], "Quorrel")

    def test_7_custom_speed_warns_on_bad_entries_and_keeps_a_good_one(self):
        for entry, caption, text in (
                ("abc", "Invalid Input", "Invalid number format.\nPlease enter a valid speed (e.g., 3.5)"),
                ("2000", "Invalid Speed", "Speed must be between 0.1 and 1000")):
            menu, _ = self.open_menu_in_window()
            self.choose(menu, "Set Custom Speed...")
            prompt = self.prompt("Set Custom Speed")
            self.assertEqual(prompt["children"][1]["text"], "Playback speed multiplier (1-100):")
            self.answer_prompt("Set Custom Speed", entry)
            box = self.b.wait_window(text=caption, cls="#32770")
            self.assertEqual(bench.Bench.message_box_text(box), text)
            self.b.click(box, "OK")
            self.b.wait_gone(box["hwnd"])
            self.assertEqual(self.settings().get("CustomSpeed"), "8.00")
        menu, _ = self.open_menu_in_window()
        self.choose(menu, "Set Custom Speed...")
        self.answer_prompt("Set Custom Speed", "3.5")
        self.wait_setting("CustomSpeed", "3.50")
        self.wait_setting("PlaybackSpeed", "3.50")

    def test_8_two_about_windows_closed_oldest_first_then_a_normal_close_saves_the_settings(self):
        menu, _ = self.open_menu_in_window()
        self.choose(menu, "About Quorrel 1.8")
        older = self.b.wait_window(text="About Quorrel", cls="QuorrelAboutDlg")
        # The tray icon's menu still opens while the window is disabled (posted as the shell would).
        self.poke(WM_TRAYICON, WM_RBUTTONUP)
        self.choose(self.menu_window(), "About Quorrel 1.8")
        newer = self.b.wait_window(cls="QuorrelAboutDlg", predicate=lambda w: w["hwnd"] != older["hwnd"])

        self.b.close_window(older)
        self.b.wait_gone(older["hwnd"])
        self.b.wait_gone(newer["hwnd"])  # owned by the older one, it goes with it
        time.sleep(1.0)
        self.assertIsNone(self.app.poll(), "the program ended with the older window")
        deadline = time.time() + 5
        while not self.main()["enabled"] and time.time() < deadline:
            time.sleep(0.2)
        self.assertTrue(self.main()["enabled"])

        ini = os.path.join(self.app_dir, "Quorrel.ini")
        if os.path.exists(ini):
            os.remove(ini)
        main = self.main()
        self.b.close_window(main)
        self.assertEqual(self.app.wait(20), 0)
        self.assertEqual(self.settings().get("WindowX"), str(main["rect"][0]),
                         "the settings were not saved at the end")


if __name__ == "__main__":
    unittest.main()
