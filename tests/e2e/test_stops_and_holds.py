"""What a stop leaves behind, with real input: every way of stopping a recording keeps the user's
last input and drops only the stop itself; a playback, however it ends, leaves no key held; the
hotkeys act once per press. F8 is the playback hotkey here, so it is also a stop key."""
import os
import time
import unittest

import bench
from test_shell import REC_BOX, COUNTDOWN, ShellBench, read_rec, write_rec
from test_shell import WM_KEYDOWN, WM_KEYUP, WM_LBUTTONDOWN, WM_LBUTTONUP

VK_F8 = 0x77
MODIFIERS = {0x10, 0x11, 0x12, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}


class StopsAndHoldsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = ShellBench("stops")
        cls.b = cls.s.b
        cls.b.command(cls.s.main(), 2201)  # the menu's "F8" playback hotkey
        time.sleep(0.5)

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def tearDown(self):
        self.s.answer_open_boxes()

    # --- steps ---------------------------------------------------------------
    def start_recording(self):
        self.s.focus_target()
        self.s.hotkey("ctrl+shift+alt+r")
        self.s.wait_caption(lambda t: t.startswith("REC 00:0"))

    def answer_record_box(self):
        box = self.s.box("Record")
        match = REC_BOX.match(bench.Bench.message_box_text(box) or "")
        self.assertIsNotNone(match)
        self.s.answer(box)
        return int(match.group(1))

    def play_with_f8(self):
        """Plays the current macro with a plain F8 tap; returns what the target received. These
        macros play in a fraction of a second, over between two looks at the caption on a busy
        machine, so input reaching the target (other than F8's own release) also shows the start."""
        s = self.s
        s.focus_target()
        before = len(s.target_events())
        s.hotkey("F8")
        s.wait_caption(lambda t: COUNTDOWN.match(t) is not None or
                       any(e[2].get("vk") != VK_F8 for e in s.target_events()[before:]))
        s.wait_caption("Quorrel", timeout=30)
        time.sleep(0.5)
        return s.target_events()[before:]

    @staticmethod
    def typed(events):
        return "".join(chr(e[2]["code"]) for e in events if e[1] == "CHAR")

    def open_with_o_key(self, name, events):
        path = self.b.path(name)
        write_rec(path, events)
        # The O key, delivered to the main window whichever window is active.
        self.b.inspector("key", str(self.s.main()["hwnd"]), str(ord("O")))
        self.s.answer_file_dialog("Open Macro Recording", path)
        time.sleep(0.5)

    def assert_nothing_held(self):
        held = self.b.held_keys()
        self.assertEqual([k for k in held if k in MODIFIERS or k in (VK_F8, 1, 2, 4)], [], held)

    # --- journeys ------------------------------------------------------------
    def test_1_esc_keeps_the_last_keystroke_and_f8_plays_it(self):
        self.start_recording()
        self.b.xdo("type", "--delay", 80, "abc")
        self.s.hotkey("Escape")
        self.answer_record_box()
        self.assertTrue(self.typed(self.play_with_f8()).endswith("abc"))

    def test_2_a_recording_stopped_by_its_hotkey_plays_without_holding_the_modifiers(self):
        self.start_recording()
        self.b.xdo("type", "--delay", 80, "xy")
        self.s.hotkey("ctrl+shift+alt+r")  # no box for a hotkey
        self.s.wait_caption("Quorrel")
        time.sleep(0.3)
        self.assert_nothing_held()
        played = self.play_with_f8()
        self.assertTrue(self.typed(played).endswith("xy"), self.typed(played))
        self.assert_nothing_held()

    def test_3_a_held_recording_hotkey_stops_once_and_keeps_the_recording(self):
        self.start_recording()
        self.b.xdo("type", "--delay", 80, "k")
        self.b.xdo("keydown", "ctrl+shift+alt+r")
        time.sleep(0.8)
        self.b.xdo("keydown", "r")  # the repeats of a held key
        self.b.xdo("keydown", "r")
        time.sleep(0.3)
        self.b.xdo("keyup", "ctrl+shift+alt+r")
        self.s.wait_caption("Quorrel")
        time.sleep(1.0)
        self.assertEqual(self.s.caption(), "Quorrel", "a repeat started a new recording")
        self.assertTrue(self.typed(self.play_with_f8()).endswith("k"))

    def test_3b_a_held_f1_opens_one_shortcuts_dialog(self):
        self.s.focus_target()
        self.b.xdo("keydown", "F1")
        time.sleep(1.5)  # long enough for the key to repeat many times
        self.b.xdo("keyup", "F1")
        time.sleep(0.5)
        dialogs = self.s.dialogs("Keyboard Shortcuts")
        for dialog in dialogs:
            self.b.close_window(dialog)
        self.assertEqual(len(dialogs), 1)

    def test_4_esc_during_a_playback_releases_the_key_its_macro_holds(self):
        presses = [(WM_KEYDOWN, 0xA0, 0x2A, 0, 0)]
        for i in range(1, 25):
            presses += [(WM_KEYDOWN, 0x4D, 0x32, 250 * i, 0), (WM_KEYUP, 0x4D, 0xC032, 250 * i + 10, 0)]
        presses.append((WM_KEYUP, 0xA0, 0xC02A, 6500, 0))
        self.open_with_o_key("shift-held.rec", presses)
        s = self.s
        s.focus_target()
        before = len(s.target_events())
        s.hotkey("F8")
        deadline = time.time() + 10
        while time.time() < deadline:
            if sum(1 for e in s.target_events()[before:] if e[1] == "KEYDOWN" and e[2]["vk"] == 0x4D) >= 3:
                break
            time.sleep(0.05)
        self.assertIn(0xA0, self.b.held_keys(), "the macro holds Shift")
        self.b.xdo("keydown", "Escape")
        time.sleep(0.5)
        self.b.xdo("keyup", "Escape")
        s.wait_caption("Quorrel", timeout=5)
        self.assert_nothing_held()

    def test_5_a_macro_that_types_its_own_stop_key_plays_to_its_end(self):
        self.open_with_o_key("own-stop-key.rec", [
            (WM_KEYDOWN, 0x41, 0x1E, 0, 0), (WM_KEYUP, 0x41, 0xC01E, 50, 0),
            (WM_KEYDOWN, VK_F8, 0x42, 300, 0), (WM_KEYUP, VK_F8, 0xC042, 350, 0),
            (WM_KEYDOWN, 0x42, 0x30, 600, 0), (WM_KEYUP, 0x42, 0xC030, 650, 0),
        ])
        for _ in range(2):  # and F8 is not left held for the next Play
            self.assertTrue(self.typed(self.play_with_f8()).endswith("ab"))
        self.assert_nothing_held()

    def test_6_a_recording_stopped_with_the_rec_button_and_a_small_move_survives_being_played(self):
        s = self.s
        s.focus_target()
        s.click_button(1003)
        s.wait_caption(lambda t: t.startswith("REC 00:0"))
        time.sleep(s.DOUBLE_CLICK_S)  # the stop click below is made by hand, on the same spot
        self.b.xdo("mousemove", 100, 100)
        self.b.xdo("mousemove", 200, 150)
        left, top, right, bottom = s.button(1003)["rect"]
        self.b.xdo("mousemove", (left + right) // 2, (top + bottom) // 2)
        time.sleep(0.2)
        self.b.xdo("mousedown", 1)
        self.b.xdo("mousemove_relative", 1, 0)
        self.b.xdo("mouseup", 1)
        self.b.xdo("mousemove_relative", 0, 1)
        self.answer_record_box()
        saved = self.b.path("rec-button.rec")
        self.b.focus(s.caption())
        time.sleep(0.3)
        self.b.xdo("key", "s")
        s.answer_file_dialog("Save Macro Recording", saved)
        time.sleep(0.5)
        messages = [e[0] for e in read_rec(saved)]
        self.assertNotIn(WM_LBUTTONDOWN, messages)
        self.assertNotIn(WM_LBUTTONUP, messages)
        self.play_with_f8()
        time.sleep(1.5)
        self.assertEqual(s.caption(), "Quorrel", "the played macro started a recording")
        self.assertFalse(s.dialogs("Record"))

    def test_7_a_259_character_path_saves(self):
        # The folder takes 252 of the 259 characters, "ab.rec" the rest.
        root = bench.unix_to_wine(self.b.tmp)
        folder = os.path.join(self.b.tmp, "d" * (252 - len(root) - 1))
        os.makedirs(folder)
        path = os.path.join(folder, "ab.rec")
        self.assertEqual(len(bench.unix_to_wine(path)), 259)
        self.b.command(self.s.main(), 1002)
        self.s.answer_file_dialog("Save Macro Recording", path)
        box = self.s.box("Save")
        self.assertTrue(bench.Bench.message_box_text(box).startswith("Saved "), bench.Bench.message_box_text(box))
        self.s.answer(box)
        self.assertTrue(read_rec(path))
        self.assertEqual(os.listdir(folder), ["ab.rec"])


if __name__ == "__main__":
    unittest.main()
