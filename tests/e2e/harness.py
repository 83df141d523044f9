"""Runs the real tulvex.exe under Wine for the end-to-end tests (needs xvfb-run and the Windows build).

The Wine is the one scripts/wine_form.sh names: the 32-bit program under the 32-bit Wine, or, on a machine that runs
no 32-bit program (or with TULVEX_WINE64=1), an x86-64 build of the same sources (build/win64) under wine64.

A fresh Wine prefix per test module in TULVEX_E2E_DIR: C:\\tv holds tulvex.exe and the helper program under its
names (helpers/helper.cpp), also as IExplore.exe, Explorer.exe and htmopen.exe (the .htm association);
C:\\tvinst is the install folder, C:\\e2e the scratch folder.
"""
import contextlib
import os
import shutil
import subprocess
import time
import unittest
from pathlib import Path
from subprocess import DEVNULL
from types import SimpleNamespace as Record

from httpserver import wait_until

ROOT = Path(__file__).resolve().parents[2]
FORM_LINE = subprocess.run([ROOT / "scripts" / "wine_form.sh"], capture_output=True, text=True).stdout.strip()
WINE_FORM = FORM_LINE.partition(":")[0]  # win32, win64, or none
WINE = ["/usr/lib/wine/wine64"] if WINE_FORM == "win64" else ["wine"]
WINE_ENV = (dict(WINELOADER=WINE[0], WINEARCH="win64") if WINE_FORM == "win64" else dict(WINEARCH="win32"))
BUILD = Path(os.environ.get("TULVEX_WIN_BUILD", ROOT / "build" / ("win64" if WINE_FORM == "win64" else "win")))
PRODUCT_BUILD = ROOT / "build" / "win"  # the 32-bit program that ships, whichever Wine runs the tests
MEASURED = (f"the x86-64 build of {BUILD} under wine64" if WINE_FORM == "win64"
            else f"the 32-bit tulvex.exe of {BUILD} under the 32-bit Wine")
WORK = Path(os.environ.get("TULVEX_E2E_DIR", "/tmp/tulvex-e2e"))
DRIVE_C = WORK / "prefix" / "drive_c"
EXE_DIR, INSTALL_DIR, SCRATCH = DRIVE_C / "tv", DRIVE_C / "tvinst", DRIVE_C / "e2e"
INSTALL_FOLDER, EXE, REG_KEY = "C:\\tvinst", "C:\\tv\\tulvex.exe", "HKEY_USERS\\.DEFAULT\\Software\\MorvaleSoft"
BOXES, LAUNCHES = SCRATCH / "boxes.log", EXE_DIR / "launches.log"


def cp1251(text):
    return text.encode("cp1251")


def records(path, offset=0):  # the helper's whole records from a byte offset on: lines of hex fields, each ended by ','
    lines = (path.read_bytes() if path.exists() else b"")[offset:].split(b"\n")[:-1]
    return [[bytes.fromhex(field.decode()) for field in line.split(b",")[:-1]] for line in lines]


def window_state(r):  # as the helper records it: title, list's top index, rows per page, row count, cells
    return Record(main_title=r[0], top=int(r[1]), per_page=int(r[2]), count=int(r[3]),
                  rows=[r[i:i + 4] for i in range(4, len(r), 4)])


def needs_32_bit_program(what):
    """Skips the test (or subtest) where Wine runs the x86-64 build: what it checks holds for the 32-bit one alone."""
    if WINE_FORM == "win64":
        raise unittest.SkipTest(f"32-bit program only: {what}")


def wait_for(condition, seconds, what):
    if not wait_until(condition, seconds):
        raise AssertionError(f"timed out waiting for {what}")


@contextlib.contextmanager
def small_disk(path, kib):
    """A tmpfs of `kib` KiB mounted at `path` for the block; skips the test where mounting fails."""
    path.mkdir(parents=True, exist_ok=True)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={kib}k", "tmpfs", str(path)], capture_output=True)
    if mounted.returncode != 0:
        raise unittest.SkipTest(f"cannot mount a small file system here: {mounted.stderr.decode().strip()}")
    try:
        yield path
    finally:
        subprocess.run(["umount", "-l", str(path)], check=True)


class Session:
    env = dict(os.environ, WINEPREFIX=str(WORK / "prefix"), WINEDEBUG="-all", **WINE_ENV,
               WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="ru_RU.UTF-8", LANG="ru_RU.UTF-8")

    def start(self):
        if WINE_FORM not in ("win32", "win64"):
            raise RuntimeError(f"no Wine can run tulvex.exe here: {FORM_LINE or 'scripts/wine_form.sh said nothing'}")
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        shutil.rmtree(WORK, ignore_errors=True)
        WORK.mkdir(parents=True)
        self.registry, self.offsets = object(), (0, 0)
        self.wine("wineboot", "-i", timeout=300)
        shutil.copytree(BUILD / "helpers", EXE_DIR)
        for name in ("IExplore.exe", "Explorer.exe", "htmopen.exe", "tulvex.exe"):
            shutil.copy(BUILD / ("tulvex.exe" if name == "tulvex.exe" else "helpers/standin.exe"), EXE_DIR / name)
        shutil.copytree(ROOT / "install_folder", INSTALL_DIR)
        SCRATCH.mkdir()
        # Xvfb has no window manager: unmanaged windows spare Wine a 2 s wait whenever a box closes.
        self.reg("add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f")
        self.reg("add", "HKCR\\.htm", "/ve", "/d", "htmlfile", "/f")
        self.reg("add", "HKCR\\htmlfile\\shell\\open\\command", "/ve", "/d", '"C:\\tv\\htmopen.exe" "%1"', "/f")
        self.watcher = self.popen("C:\\tv\\watcher.exe", "C:\\e2e\\boxes.log", "C:\\e2e")
        wait_for(lambda: (SCRATCH / "ready").exists(), 60, "the watcher to start")

    def stop(self):
        (SCRATCH / "stop").write_bytes(b"")
        self.watcher.wait(10)
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)

    def popen(self, *args, cwd=SCRATCH):
        return subprocess.Popen([*WINE, *args], env=self.env, cwd=cwd, stdout=DEVNULL, stderr=DEVNULL)

    def wine(self, *args, timeout=60, check=True):
        result = subprocess.run([*WINE, *args], env=self.env, capture_output=True, timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"wine {args[:3]} ended with {result.returncode}: {result.stderr[-1000:]!r}")
        return result

    def reg(self, *args):
        return self.wine("reg", *args)

    def set_install_folder(self, value, kind="REG_SZ"):  # a text, hex bytes for REG_BINARY, None for no key
        if (value, kind) != self.registry:
            self.wine("reg", "delete", REG_KEY, "/f", check=False)
            if value is not None:
                self.reg("add", REG_KEY, "/v", "Tulvex_dir", "/t", kind, "/d", value, "/f")
            self.registry = (value, kind)

    def set_clipboard(self, data, locale=None):
        """Bytes as CF_TEXT, a text as CF_UNICODETEXT, None: no text; with CF_LOCALE when a locale ("0409") is given.
        The tests compare what tulvex.exe made of it, so a text that did not stay shows there."""
        kind = "empty" if data is None else "unicode" if isinstance(data, str) else "set"
        (SCRATCH / "clip.bin").write_bytes(data.encode("utf-16-le") if kind == "unicode" else data or b"")
        self.wine("C:\\tv\\clip.exe", kind, "C:\\e2e\\clip.bin", *([locale] if locale else []))

    def helper(self, name, *args):  # a helper of C:\\tv in the background, once it has written its file READY
        (SCRATCH / "ready").unlink(missing_ok=True)
        process = self.popen(f"C:\\tv\\{name}.exe", *args, "C:\\e2e\\ready")
        wait_for((SCRATCH / "ready").exists, 30, name)
        return process

    def start_tulvex(self, *args, cwd=SCRATCH, exe=EXE):
        self.offsets = tuple(log.stat().st_size if log.exists() else 0 for log in (BOXES, LAUNCHES))
        return self.popen(exe, *args, cwd=cwd)

    def finish(self, process, timeout=60):
        """The run: exit code, boxes with the Tulvex window's state, programs started; shown and started in short."""
        try:
            code = process.wait(timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            raise AssertionError(f"tulvex.exe did not end within {timeout} s")
        time.sleep(1)  # what tulvex.exe started at its end may still be writing its record
        boxes = [Record(caption=r[0], text=r[1], **vars(window_state(r[2:])))
                 for r in records(BOXES, self.offsets[0])]
        launches = [Record(program=r[0].decode(), command_line=r[1]) for r in records(LAUNCHES, self.offsets[1])]
        return Record(exit_code=code, boxes=boxes, launches=launches, shown=[(b.caption, b.text) for b in boxes],
                      started=[(launch.program, launch.command_line) for launch in launches])

    def run(self, *args, clipboard=b"", locale=None, folder=INSTALL_FOLDER, kind="REG_SZ", cwd=SCRATCH, timeout=60):
        self.set_install_folder(folder, kind)
        self.set_clipboard(clipboard, locale)
        for name in ("tulvex.htm", "tulvex.txt"):
            (INSTALL_DIR / name).unlink(missing_ok=True)
        return self.finish(self.start_tulvex(*args, cwd=cwd), timeout)


SESSION = Session()
setUpModule, tearDownModule = SESSION.start, SESSION.stop
