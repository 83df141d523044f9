"""The setup program under Wine: silent install, the installed program on a
page mode, silent uninstall.

Builds tulvex-setup.exe with installer/build.sh from the Windows build in
TULVEX_WIN_BUILD (default build/win; its helpers/ too) into a Wine prefix of
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
DRIVE_C = PREFIX / "drive_c"
SCRATCH = DRIVE_C / "e2e"
TARGET = DRIVE_C / "Program Files" / "Tulvex"
FOLDER = "C:\\Program Files\\Tulvex"

PROGRAM_KEY = "HKEY_USERS\\.DEFAULT\\Software\\MorvaleSoft"
MENU_KEY = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt"
UNINSTALL_KEY = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tulvex"
ELEVATION_KEY = ("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\"
                 "{BFD750B7-AD01-4C3A-89E3-AA318B88E2F3}")

MENU = {  # title: (page, contexts)
    "Tulvex: ссылки страницы": ("links.htm", 0x31),
    "Tulvex: картинки страницы": ("img.htm", 0x13),
    "Tulvex: Flash-ролики страницы": ("swf.htm", 0x11),
    "Tulvex: исходный код страницы": ("html.htm", 0x11),
    "Tulvex: текст для чтения": ("bit.htm", 0x11),
    "Tulvex: открыть в новом окне": ("showi.htm", 0x31),
    "Tulvex: загрузить все ссылки": ("loud_links.htm", 0x31),
}
BROWSER_FILES = ["tulvex_gather.js", "tulvex_ie.js"] + [page for page, _ in MENU.values()]


def files_under(folder):
    return {p.relative_to(folder).as_posix(): p for p in sorted(folder.rglob("*")) if p.is_file()}


def parse_reg(text):
    """A .reg export as {key: {name: value}}; '' names the default value."""
    keys, values = {}, None
    for line in text.replace("\\\r\n  ", "").splitlines():
        if line.startswith("[") and line.endswith("]"):
            values = keys.setdefault(line[1:-1], {})
        elif values is not None and "=" in line:
            name, _, value = line.partition("=") if line.startswith("@") else line[1:].partition('"=')
            name = "" if name == "@" else name.replace('\\"', '"').replace("\\\\", "\\")
            if value.startswith("dword:"):
                values[name] = int(value[6:], 16)
            else:
                values[name] = value[1:-1].replace('\\"', '"').replace("\\\\", "\\")
    return keys


class Wine:
    def __init__(self):
        self.env = dict(os.environ, WINEPREFIX=str(PREFIX), WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="ru_RU.UTF-8", LANG="ru_RU.UTF-8")

    def run(self, *args, timeout=120, check=True):
        result = subprocess.run(["wine", *args], env=self.env, capture_output=True, timeout=timeout)
        if check and result.returncode != 0:
            raise AssertionError(f"wine {args} ended with {result.returncode}: {result.stderr[-1500:]!r}")
        return result.returncode

    def settle(self):
        """Waits until every Wine program has ended (a silent setup may go on in a copy of itself)."""
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=180)

    def kill(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True, timeout=60)

    def export(self, key):
        """The key and its subkeys, or None when it does not exist."""
        out = SCRATCH / "export.reg"
        out.unlink(missing_ok=True)
        if self.run("reg", "export", key, "C:\\e2e\\export.reg", "/y", check=False) != 0:
            return None
        return parse_reg(out.read_bytes().decode("utf-16"))


WINE = Wine()


def setUpModule():
    if shutil.which("makensis") is None:
        raise RuntimeError("makensis is missing: apt-get install nsis")
    for needed in (BUILD / "tulvex.exe", BUILD / "helpers" / "clip.exe", BUILD / "helpers" / "standin.exe",
                   BUILD / "helpers" / "watcher.exe"):
        if not needed.exists():
            raise RuntimeError(f"no {needed}: build the Windows target first")
    WINE.kill()
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    subprocess.run([str(ROOT / "installer" / "build.sh"), str(BUILD / "tulvex.exe"), str(WORK / "tulvex-setup.exe")],
                   check=True, capture_output=True, timeout=300)
    WINE.run("wineboot", "-i", timeout=300)
    WINE.settle()
    SCRATCH.mkdir(parents=True, exist_ok=True)
    for name in ("tulvex-setup.exe",):
        shutil.copy(WORK / name, SCRATCH)
    for helper in ("clip.exe", "standin.exe", "watcher.exe"):
        shutil.copy(BUILD / "helpers" / helper, SCRATCH)


def tearDownModule():
    WINE.kill()


class InstallUseUninstall(unittest.TestCase):
    def install(self):
        WINE.run("C:\\e2e\\tulvex-setup.exe", "/S")
        WINE.settle()

    def uninstall(self):
        WINE.run(FOLDER + "\\uninstall.exe", "/S")
        WINE.settle()

    def check_installed(self):
        exe = (BUILD / "tulvex.exe").read_bytes()
        expected = {"tulvex.exe": exe, "tulvex.htm": b"", "tulvex.txt": b""}
        expected.update({name: p.read_bytes() for name, p in files_under(ROOT / "install_folder").items()})
        expected.update({"browser/" + f: (ROOT / "browser" / f).read_bytes() for f in BROWSER_FILES})
        installed = files_under(TARGET)
        self.assertEqual(sorted(installed), sorted([*expected, "uninstall.exe"]))
        for name, data in expected.items():
            self.assertEqual(installed[name].read_bytes(), data, name)

        self.assertEqual(WINE.export(PROGRAM_KEY), {PROGRAM_KEY: {"Tulvex_dir": FOLDER}})
        menu = WINE.export(MENU_KEY)
        for title, (page, contexts) in MENU.items():
            self.assertEqual(menu.get(MENU_KEY + "\\" + title),
                             {"": FOLDER + "\\browser\\" + page, "Contexts": contexts}, title)
        self.assertEqual(WINE.export(UNINSTALL_KEY), {UNINSTALL_KEY: {
            "DisplayName": "Tulvex 1.15", "DisplayVersion": "1.15", "Publisher": "Morvale Soft",
            "InstallLocation": FOLDER, "DisplayIcon": FOLDER + "\\tulvex.exe,0",
            "UninstallString": f'"{FOLDER}\\uninstall.exe"', "QuietUninstallString": f'"{FOLDER}\\uninstall.exe" /S',
            "NoModify": 1, "NoRepair": 1}})
        self.assertEqual(WINE.export(ELEVATION_KEY), {ELEVATION_KEY: {
            "AppName": "tulvex.exe", "AppPath": FOLDER, "Policy": 3}})

    def run_page_mode(self):
        """The installed program on the source mode, with a stand-in for the browser."""
        stand_in = TARGET / "IExplore.exe"
        shutil.copy(SCRATCH / "standin.exe", stand_in)
        watcher = subprocess.Popen(["wine", "C:\\e2e\\watcher.exe", "C:\\e2e\\boxes.log", "C:\\e2e"], env=WINE.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 60
            while not (SCRATCH / "ready").exists():
                self.assertLess(time.monotonic(), deadline, "the watcher did not start")
                time.sleep(0.2)
            text = "<html>\nТекст страницы\n</html>".encode("cp1251")
            (SCRATCH / "clip.bin").write_bytes(text)
            WINE.run("C:\\e2e\\clip.exe", "set", "C:\\e2e\\clip.bin")
            WINE.run("C:\\e2e\\clip.exe", "get", "C:\\e2e\\clip.back")
            self.assertEqual((SCRATCH / "clip.back").read_bytes(), text)

            WINE.run(FOLDER + "\\tulvex.exe", "(tulvex_html)", timeout=60)
            self.assertEqual((TARGET / "tulvex.txt").read_bytes(), text.replace(b"\n", b"\r\n"))
            launches = (TARGET / "launches.log").read_bytes()
            self.assertIn(b"IExplore.exe " + FOLDER.encode() + b"\\tulvex.txt", launches)
            self.assertEqual((SCRATCH / "boxes.log").read_bytes() if (SCRATCH / "boxes.log").exists() else b"", b"")
        finally:
            (SCRATCH / "stop").write_bytes(b"")
            try:
                watcher.wait(20)
            except subprocess.TimeoutExpired:
                watcher.kill()
            WINE.settle()
            stand_in.unlink(missing_ok=True)
            (TARGET / "launches.log").unlink(missing_ok=True)

    def test_install_use_and_uninstall(self):
        # Things that are not the installer's and must outlive its uninstaller.
        mine = DRIVE_C / "keep" / "mine.txt"
        mine.parent.mkdir(parents=True, exist_ok=True)
        mine.write_bytes(b"user's own\r\n")
        other_entry = MENU_KEY + "\\Another add-on"
        WINE.run("reg", "add", other_entry, "/ve", "/d", "C:\\other\\menu.htm", "/f")

        self.install()
        self.check_installed()
        self.run_page_mode()
        self.uninstall()

        self.assertFalse(TARGET.exists(), sorted(files_under(TARGET)) if TARGET.exists() else "")
        for key in (PROGRAM_KEY, UNINSTALL_KEY, ELEVATION_KEY):
            self.assertIsNone(WINE.export(key), key)
        self.assertEqual(WINE.export(MENU_KEY), {MENU_KEY: {}, other_entry: {"": "C:\\other\\menu.htm"}})
        self.assertEqual(mine.read_bytes(), b"user's own\r\n")

        # Again, with a file of the user's in the folder: it stays, with its
        # folders, and so does another program's value beside Tulvex_dir.
        self.install()
        notes = TARGET / "help" / "notes.txt"
        notes.write_bytes(b"notes\r\n")
        WINE.run("reg", "add", PROGRAM_KEY, "/v", "Other", "/d", "x", "/f")
        self.uninstall()
        self.assertEqual(sorted(p.relative_to(TARGET).as_posix() for p in TARGET.rglob("*")),
                         ["help", "help/notes.txt"])
        self.assertEqual(WINE.export(PROGRAM_KEY), {PROGRAM_KEY: {"Other": "x"}})


if __name__ == "__main__":
    unittest.main()
