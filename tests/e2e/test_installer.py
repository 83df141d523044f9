"""The setup program under Wine: silent install, the installed program on a
page mode, silent uninstall.

Builds tulvex-setup.exe with installer/build.sh from the Windows build in
TULVEX_WIN_BUILD (default build/win, with its helpers/) into a Wine prefix of
its own in TULVEX_INSTALLER_DIR (default /tmp/tulvex-installer). Needs an X
display (xvfb-run) and makensis (Debian package nsis).
"""
import os
import shutil
import subprocess
import time
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("TULVEX_WIN_BUILD", ROOT / "build" / "win"))
WORK = Path(os.environ.get("TULVEX_INSTALLER_DIR", "/tmp/tulvex-installer"))
PREFIX = WORK / "prefix"
SCRATCH = PREFIX / "drive_c" / "e2e"
TARGET = PREFIX / "drive_c" / "Program Files" / "Tulvex"
FOLDER = "C:\\Program Files\\Tulvex"
ENV = dict(os.environ, WINEPREFIX=str(PREFIX), WINEARCH="win32", WINEDEBUG="-all",
           WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="ru_RU.UTF-8", LANG="ru_RU.UTF-8")

PROGRAM_KEY = "HKEY_USERS\\.DEFAULT\\Software\\MorvaleSoft"
MENU_KEY = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt"
UNINSTALL_KEY = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tulvex"
ELEVATION_KEY = ("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\"
                 "{BFD750B7-AD01-4C3A-89E3-AA318B88E2F3}")
MENU = {  # title: (page, contexts)
    "Tulvex: ссылки страницы": ("links.htm", 0x31), "Tulvex: картинки страницы": ("img.htm", 0x13),
    "Tulvex: Flash-ролики страницы": ("swf.htm", 0x11), "Tulvex: исходный код страницы": ("html.htm", 0x11),
    "Tulvex: текст для чтения": ("bit.htm", 0x11), "Tulvex: открыть в новом окне": ("showi.htm", 0x31),
    "Tulvex: загрузить все ссылки": ("loud_links.htm", 0x31),
}


def wine(*args, timeout=120, check=True):
    result = subprocess.run(["wine", *args], env=ENV, capture_output=True, timeout=timeout)
    if check and result.returncode != 0:
        raise AssertionError(f"wine {args} ended with {result.returncode}: {result.stderr[-1500:]!r}")
    return result.returncode


def settle():
    """Waits until every Wine program has ended (a silent setup goes on in a copy of itself)."""
    subprocess.run(["wineserver", "-w"], env=ENV, timeout=180)


def export(key):
    """The key and its subkeys as {key: {name: value}} ('' the default value), or None when missing."""
    out = SCRATCH / "export.reg"
    out.unlink(missing_ok=True)
    if wine("reg", "export", key, "C:\\e2e\\export.reg", "/y", check=False) != 0:
        return None
    keys, values = {}, None
    for line in out.read_bytes().decode("utf-16").replace("\\\r\n  ", "").splitlines():
        if line.startswith("[") and line.endswith("]"):
            values = keys.setdefault(line[1:-1], {})
        elif values is not None and "=" in line:
            name, _, value = line.partition("=") if line.startswith("@") else line[1:].partition('"=')
            name = "" if name == "@" else name.replace('\\"', '"').replace("\\\\", "\\")
            values[name] = (int(value[6:], 16) if value.startswith("dword:")
                            else value[1:-1].replace('\\"', '"').replace("\\\\", "\\"))
    return keys


def files_under(folder):
    return {p.relative_to(folder).as_posix(): p for p in folder.rglob("*") if p.is_file()}


def setUpModule():
    if shutil.which("makensis") is None:
        raise RuntimeError("makensis is missing: apt-get install nsis")
    helpers = [BUILD / "helpers" / name for name in ("clip.exe", "standin.exe", "watcher.exe")]
    for needed in [BUILD / "tulvex.exe", *helpers]:
        if not needed.exists():
            raise RuntimeError(f"no {needed}: build the Windows target first")
    subprocess.run(["wineserver", "-k"], env=ENV, capture_output=True, timeout=60)
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    subprocess.run([str(ROOT / "installer" / "build.sh"), str(BUILD / "tulvex.exe"), str(WORK / "tulvex-setup.exe")],
                   check=True, capture_output=True, timeout=300)
    wine("wineboot", "-i", timeout=300)
    settle()
    SCRATCH.mkdir(parents=True, exist_ok=True)
    for path in [WORK / "tulvex-setup.exe", *helpers]:
        shutil.copy(path, SCRATCH)


def tearDownModule():
    subprocess.run(["wineserver", "-k"], env=ENV, capture_output=True, timeout=60)


def install_or_uninstall(program):
    wine(program, "/S")
    settle()


class InstallUseUninstall(unittest.TestCase):
    def check_installed(self):
        expected = {"tulvex.exe": (BUILD / "tulvex.exe").read_bytes(), "tulvex.htm": b"", "tulvex.txt": b""}
        expected.update({name: p.read_bytes() for name, p in files_under(ROOT / "install_folder").items()})
        for name in ["tulvex_gather.js", "tulvex_ie.js"] + [page for page, _ in MENU.values()]:
            expected["browser/" + name] = (ROOT / "browser" / name).read_bytes()
        installed = files_under(TARGET)
        self.assertEqual(sorted(installed), sorted([*expected, "uninstall.exe"]))
        for name, data in expected.items():
            self.assertEqual(installed[name].read_bytes(), data, name)

        self.assertEqual(export(PROGRAM_KEY), {PROGRAM_KEY: {"Tulvex_dir": FOLDER}})
        menu = export(MENU_KEY)
        for title, (page, contexts) in MENU.items():
            self.assertEqual(menu.get(MENU_KEY + "\\" + title),
                             {"": FOLDER + "\\browser\\" + page, "Contexts": contexts}, title)
        self.assertEqual(export(UNINSTALL_KEY), {UNINSTALL_KEY: {
            "DisplayName": "Tulvex 1.15", "DisplayVersion": "1.15", "Publisher": "Morvale Soft",
            "InstallLocation": FOLDER, "DisplayIcon": FOLDER + "\\tulvex.exe,0",
            "UninstallString": f'"{FOLDER}\\uninstall.exe"', "QuietUninstallString": f'"{FOLDER}\\uninstall.exe" /S',
            "NoModify": 1, "NoRepair": 1}})
        self.assertEqual(export(ELEVATION_KEY),
                         {ELEVATION_KEY: {"AppName": "tulvex.exe", "AppPath": FOLDER, "Policy": 3}})

    def run_source_mode(self):
        """The installed program finds its folder and writes there; a stand-in plays the browser."""
        shutil.copy(SCRATCH / "standin.exe", TARGET / "IExplore.exe")
        # The watcher keeps the desktop, and so the clipboard, alive, and records any box.
        watcher = subprocess.Popen(["wine", "C:\\e2e\\watcher.exe", "C:\\e2e\\boxes.log", "C:\\e2e"], env=ENV,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 60
            while not (SCRATCH / "ready").exists():
                self.assertLess(time.monotonic(), deadline, "the watcher did not start")
                time.sleep(0.2)
            text = "<html>\nТекст страницы\n</html>".encode("cp1251")
            (SCRATCH / "clip.bin").write_bytes(text)
            wine("C:\\e2e\\clip.exe", "set", "C:\\e2e\\clip.bin")
            wine(FOLDER + "\\tulvex.exe", "(tulvex_html)", timeout=60)
            self.assertEqual((TARGET / "tulvex.txt").read_bytes(), text.replace(b"\n", b"\r\n"))
            launches = (TARGET / "launches.log").read_bytes()
            self.assertIn(b"IExplore.exe " + FOLDER.encode() + b"\\tulvex.txt", launches)
            self.assertFalse((SCRATCH / "boxes.log").exists() and (SCRATCH / "boxes.log").read_bytes())
        finally:
            (SCRATCH / "stop").write_bytes(b"")
            try:
                watcher.wait(20)
            except subprocess.TimeoutExpired:
                watcher.kill()
            settle()
            for name in ("IExplore.exe", "launches.log"):
                (TARGET / name).unlink(missing_ok=True)

    def test_install_use_and_uninstall(self):
        # Things that are not the installer's and must outlive its uninstaller.
        mine = PREFIX / "drive_c" / "keep" / "mine.txt"
        mine.parent.mkdir(parents=True, exist_ok=True)
        mine.write_bytes(b"user's own\r\n")
        other_entry = MENU_KEY + "\\Another add-on"
        wine("reg", "add", other_entry, "/ve", "/d", "C:\\other\\menu.htm", "/f")

        install_or_uninstall("C:\\e2e\\tulvex-setup.exe")
        self.check_installed()
        self.run_source_mode()
        install_or_uninstall(FOLDER + "\\uninstall.exe")
        self.assertEqual(sorted(files_under(TARGET)) if TARGET.exists() else None, None)
        for key in (PROGRAM_KEY, UNINSTALL_KEY, ELEVATION_KEY):
            self.assertIsNone(export(key), key)
        self.assertEqual(export(MENU_KEY), {MENU_KEY: {}, other_entry: {"": "C:\\other\\menu.htm"}})
        self.assertEqual(mine.read_bytes(), b"user's own\r\n")

        # Again, with a file of the user's in the folder: it stays with its
        # folders, and so does another program's value beside Tulvex_dir.
        install_or_uninstall("C:\\e2e\\tulvex-setup.exe")
        (TARGET / "help" / "notes.txt").write_bytes(b"notes\r\n")
        wine("reg", "add", PROGRAM_KEY, "/v", "Other", "/d", "x", "/f")
        install_or_uninstall(FOLDER + "\\uninstall.exe")
        self.assertEqual(sorted(p.relative_to(TARGET).as_posix() for p in TARGET.rglob("*")),
                         ["help", "help/notes.txt"])
        self.assertEqual(export(PROGRAM_KEY), {PROGRAM_KEY: {"Other": "x"}})


if __name__ == "__main__":
    unittest.main()
