"""The toolbar of the real program: six buttons with their icons on screen, the tooltip a
resting pointer brings up, and a custom icon set named in the settings file."""
import os
import struct
import subprocess
import time
import unittest

import bench

BACKGROUND = (240, 240, 240)
ICON_FILES = ["open.ico", "save.ico", "record.ico", "play.ico", "compile.ico", "prefs.ico"]


def solid_icon(rgb, size=16):
    """A .ico file holding one opaque size x size image of one colour."""
    r, g, b = rgb
    pixels = bytes((b, g, r, 255)) * (size * size)
    mask = bytes(4 * size)  # 1-bit rows padded to 4 bytes, all opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + pixels + mask
    return (struct.pack("<HHH", 0, 1, 1) +
            struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22) + image)


class Picture:
    """An RGB screenshot read through ImageMagick (no imaging module needed)."""

    def __init__(self, png):
        data = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], capture_output=True,
                              check=True, timeout=30).stdout
        fields, pos = [], 0
        while len(fields) < 4:  # P6, width, height, maximum
            while data[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])


def dark(rgb):
    return max(rgb) < 64


class ToolbarScreenTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.b = bench.Bench("toolbar")

    @classmethod
    def tearDownClass(cls):
        cls.b.close()

    def tearDown(self):
        self.b.stop_all()

    def start(self, name, ini=None):
        """Starts a private copy of quorrel.exe (its own settings file); returns the main window."""
        folder = os.path.dirname(self.b.private_quorrel(name))
        if ini is not None:
            with open(os.path.join(folder, "Quorrel.ini"), "w") as f:
                f.write(ini.replace("\n", "\r\n"))
        self.b.start(os.path.join(folder, "quorrel.exe"), cwd=folder)
        main = self.b.wait_window(cls="QuorrelWindowClass")
        # Let the first paint of every button land before looking.
        time.sleep(1.5)
        return self.b.wait_window(cls="QuorrelWindowClass")

    def buttons(self, main):
        found = sorted((c for c in main["children"] if c["class"].lower() == "button"),
                       key=lambda c: c["id"])
        self.assertEqual([c["id"] for c in found], list(range(1001, 1007)))
        return found

    def picture(self, name):
        self.b.xdo("mousemove", 0, 0)  # no tooltip or hover over the buttons
        time.sleep(0.5)
        return Picture(self.b.screenshot(name))

    def test_buttons_sit_in_a_row_and_show_their_icons_and_labels(self):
        main = self.start("plain")
        buttons = self.buttons(main)
        self.assertEqual([b["text"] for b in buttons], ["Open", "Save", "Rec", "Play", ".exe", "Prefs"])
        origin = buttons[0]["rect"][0] - 7
        for i, b in enumerate(buttons):
            left, top, right, bottom = b["rect"]
            self.assertEqual((left - origin, right - left, bottom - top), (7 + 42 * i, 40, 55))

        pic = self.picture("toolbar-default")
        for b in buttons:
            left, top = b["rect"][0], b["rect"][1]
            with self.subTest(button=b["text"]):
                icon = [pic.at(left + x, top + y) for y in range(40) for x in range(40)]
                self.assertGreater(sum(dark(p) for p in icon), 40, "the line art is on screen")
                outside = [pic.at(left + x, top + y) for y in list(range(0, 5)) + list(range(34, 40))
                           for x in range(40)]
                self.assertTrue(all(p == BACKGROUND for p in outside), "nothing above row 5 or below 33")
                label = [pic.at(left + x, top + y) for y in range(40, 55) for x in range(40)]
                self.assertGreater(sum(p != BACKGROUND for p in label), 10, "the caption is drawn")

    def test_a_resting_pointer_brings_up_the_tooltip(self):
        main = self.start("tips")
        play = self.buttons(main)[3]
        left, top, right, bottom = play["rect"]
        self.b.xdo("mousemove", (left + right) // 2, (top + bottom) // 2)
        time.sleep(0.2)
        self.b.xdo("mousemove_relative", 1, 1)  # a move inside the button starts the tip's timer
        # The tip's text is not its window text, so another process sees only the window:
        # it comes up beside the pointer and goes again when the pointer leaves.
        tip = self.b.wait_window(cls="tooltips_class32", timeout=10)
        tl, tt, tr, tb = tip["rect"]
        self.assertGreater(tr - tl, 60, "wide enough for 'Play (Ctrl+Shift+Alt+P)'")
        self.assertLess(abs(tt - bottom), 80)
        self.b.xdo("mousemove", 0, 0)
        deadline = time.time() + 10
        while time.time() < deadline and any(
                w["visible"] for w in self.b.windows() if w["class"] == "tooltips_class32"):
            time.sleep(0.3)
        self.assertFalse(any(w["visible"] for w in self.b.windows() if w["class"] == "tooltips_class32"))

    def test_the_custom_set_named_in_the_settings_file_is_drawn(self):
        colours = [(200, 30, 30), (30, 160, 30), (30, 30, 200), (200, 160, 0), (160, 0, 160), (0, 150, 150)]
        icons = self.b.path("my icons")
        os.makedirs(icons)
        for name, rgb in zip(ICON_FILES, colours):
            with open(os.path.join(icons, name), "wb") as f:
                f.write(solid_icon(rgb))
        main = self.start("custom", "[Toolbar]\nUseCustom=1\nCustomPath=%s\n" % bench.unix_to_wine(icons))
        pic = self.picture("toolbar-custom")
        for b, rgb in zip(self.buttons(main), colours):
            left, top = b["rect"][0], b["rect"][1]
            with self.subTest(button=b["text"]):
                self.assertEqual(pic.at(left + 20, top + 20), rgb)
                self.assertEqual(pic.at(left + 2, top + 2), rgb, "the 16-pixel image fills all 40x40")

    def test_an_incomplete_custom_set_leaves_the_default_icons(self):
        icons = self.b.path("five icons")
        os.makedirs(icons)
        for name in ICON_FILES[:-1]:
            with open(os.path.join(icons, name), "wb") as f:
                f.write(solid_icon((200, 30, 30)))
        main = self.start("five", "[Toolbar]\nUseCustom=1\nCustomPath=%s\n" % bench.unix_to_wine(icons))
        pic = self.picture("toolbar-five")
        for b in self.buttons(main):
            left, top = b["rect"][0], b["rect"][1]
            with self.subTest(button=b["text"]):
                self.assertEqual(pic.at(left + 2, top + 2), BACKGROUND)
                icon = [pic.at(left + x, top + y) for y in range(40) for x in range(40)]
                self.assertFalse(any(p == (200, 30, 30) for p in icon))
                self.assertGreater(sum(dark(p) for p in icon), 40)


if __name__ == "__main__":
    unittest.main()
