"""A portable program where people unzip it: in a folder named in Cyrillic (outside the ANSI code
page of this prefix), beside a stand-in winmm.dll of the kind drive-by downloads leave, run with
Windows' DLL search order (native first). The stand-in marks its folder when anything loads it."""
import os
import shutil
import struct
import subprocess
import time
import unittest

import bench

# Names Windows takes from the system folder alone, whatever lies beside the program.
KNOWN_DLLS = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
              "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll"}
NATIVE_FIRST = {"WINEDLLOVERRIDES": bench.WINE_ENV["WINEDLLOVERRIDES"] + ";winmm=n,b"}


class AnyFolderJourneyTest(unittest.TestCase):
    def test_cyrillic_folder_planted_dll_settings_command_line_and_player(self):
        objdump = "%s-w64-mingw32-objdump" % ("i686" if bench.BITS == 32 else "x86_64")
        table = subprocess.run([objdump, "-p", bench.QUORREL], capture_output=True, text=True).stdout
        imports = {line.split(":")[1].strip().lower() for line in table.splitlines() if "DLL Name:" in line}
        self.assertTrue(imports and imports <= KNOWN_DLLS, imports)
        with open(bench.QUORREL, "rb") as f:
            self.assertIn(b'<requestedExecutionLevel level="asInvoker"', f.read())  # the manifest, as stored

        self.b = bench.Bench("any-folder")
        self.addCleanup(self.b.close)
        os.makedirs(self.b.path("bin"))
        shutil.copy(os.path.join(bench.BUILD, "bridge", "gcc.exe"), self.b.path("bin"))
        exe = self.b.private_quorrel("Макросы")
        app = os.path.dirname(exe)
        shutil.copy(os.path.join(bench.TESTS, "standin", "winmm.dll"), app)
        rec = os.path.join(app, "один.rec")
        with open(rec, "wb") as f:
            f.write(struct.pack("<i5I5I", 2, 0x200, 5, 5, 0, 0, 0x200, 6, 6, 40, 0))
        env = dict(NATIVE_FIRST, WINEPATH=bench.unix_to_wine(self.b.path("bin")))
        program = self.b.start(exe, bench.unix_to_wine(rec), cwd=app, env=env)
        box = self.b.message_box("Quorrel - File Loaded")
        self.assertEqual(bench.Bench.message_box_text(box), "Auto-loaded 2 events from:\n%s\n\nPress "
                         "Ctrl+Shift+Alt+P to play." % bench.unix_to_wine(rec))
        self.b.click(box, "OK")
        main = self.b.wait_window(cls="QuorrelWindowClass")
        self.b.command(main, 1004)  # Play: the 1 ms timer period comes from winmm
        self.b.command(main, 2010)  # Show Captions off, saved at once

        self.b.command(main, 1005)
        dialog = self.b.wait_window(text="Save Compiled Macro As", cls="#32770")
        self.b.focus("Save Compiled Macro As")
        time.sleep(0.5)
        # The dialog opens in the current folder, the program's; a bare name keeps xdotool
        # from typing Cyrillic, which it has been seen to drop letters of.
        player = os.path.join(app, "player.exe")
        self.b.xdo("type", "--delay", 20, "player")
        self.b.xdo("key", "Return")
        self.b.wait_gone(dialog["hwnd"])
        report = self.b.message_box(timeout=120, predicate=lambda w: w["text"].startswith("Compilation"))
        self.assertIn("Output File:\n%s\n" % bench.unix_to_wine(player), bench.Bench.message_box_text(report))
        self.b.click(report, "OK")
        self.assertEqual(self.b.run(player, env=NATIVE_FIRST, cwd=app).returncode, 0)

        self.b.close_window(main)
        program.wait(20)
        self.assertNotIn("standin-loaded", os.listdir(app))
        self.b.start(exe, cwd=app, env=NATIVE_FIRST)
        # Its settings were kept: the window starts without captions.
        self.b.wait_window(cls="QuorrelWindowClass", predicate=lambda w: w["client"] == [265, 36])


if __name__ == "__main__":
    unittest.main()
