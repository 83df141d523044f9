"""Runs the real tulvex.exe under Wine for the end-to-end tests.

One Wine prefix per test run, made fresh in TULVEX_E2E_DIR (default
/tmp/tulvex-e2e). Inside it:
  C:\\tv\\        tulvex.exe, the helper programs, and stand-ins named
                 IExplore.exe, Explorer.exe and htmopen.exe (the program that
                 the prefix's .htm association starts) which record how they
                 were started in C:\\tv\\launches.log;
  C:\\tvinst\\    the install folder, a copy of the project's install_folder/;
  C:\\e2e\\       scratch files of the tests and the watcher's control files.
A watcher program runs for the whole session: it keeps Wine's desktop (and so
the clipboard) alive and records and dismisses every message box.

Needs an X display (run under xvfb-run) and the Windows build in
TULVEX_WIN_BUILD (default build/win).
"""
import os
import shutil
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("TULVEX_WIN_BUILD", ROOT / "build" / "win"))
WORK = Path(os.environ.get("TULVEX_E2E_DIR", "/tmp/tulvex-e2e"))
PREFIX = WORK / "prefix"
DRIVE_C = PREFIX / "drive_c"
EXE_DIR = DRIVE_C / "tv"
INSTALL_DIR = DRIVE_C / "tvinst"
SCRATCH = DRIVE_C / "e2e"
INSTALL_FOLDER = "C:\\tvinst"
EXE = "C:\\tv\\tulvex.exe"
REG_KEY = "HKEY_USERS\\.DEFAULT\\Software\\MorvaleSoft"


def cp1251(text):
    """The Windows-1251 bytes of a text as the program writes or shows it."""
    return text.encode("cp1251")


def parse_records(data):
    """Records of the helpers' logs: fields '<length>:<bytes>,', ending in '\\n'."""
    records, fields, i = [], [], 0
    while i < len(data):
        if data[i:i + 1] == b"\n":
            records.append(fields)
            fields, i = [], i + 1
            continue
        colon = data.index(b":", i)
        length = int(data[i:colon])
        fields.append(data[colon + 1:colon + 1 + length])
        i = colon + 1 + length + 1
    return records


@dataclass
class Box:
    caption: bytes
    text: bytes
    main_title: bytes
    rows: list  # [[number, address, size, status], ...] of the progress list


@dataclass
class Launch:
    program: str  # "IExplore.exe", "Explorer.exe" or "htmopen.exe"
    command_line: bytes
    current_folder: bytes


@dataclass
class Run:
    exit_code: int
    boxes: list = field(default_factory=list)
    launches: list = field(default_factory=list)


class Log:
    """A helper's log, read from where the last read stopped."""

    def __init__(self, path):
        self.path, self.offset = path, 0

    def skip(self):
        self.offset = self.path.stat().st_size if self.path.exists() else 0

    def new_records(self):
        if not self.path.exists():
            return []
        data = self.path.read_bytes()
        end = data.rfind(b"\n", self.offset) + 1
        records = parse_records(data[self.offset:end]) if end > self.offset else []
        self.offset = max(self.offset, end)
        return records


class Session:
    def __init__(self):
        self.env = dict(os.environ, WINEPREFIX=str(PREFIX), WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="ru_RU.UTF-8", LANG="ru_RU.UTF-8")
        self.boxes = Log(SCRATCH / "boxes.log")
        self.launches = Log(EXE_DIR / "launches.log")
        self.registry = object()  # what Tulvex_dir holds now; unknown at first
        self.watcher = None

    # -- set-up ----------------------------------------------------------
    def start(self):
        if not (BUILD / "tulvex.exe").exists():
            raise RuntimeError(f"no {BUILD / 'tulvex.exe'}: build the Windows target first")
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        self.registry = object()
        shutil.rmtree(WORK, ignore_errors=True)
        WORK.mkdir(parents=True)
        self.wine("wineboot", "-i", timeout=300)
        for folder in (EXE_DIR, SCRATCH):
            folder.mkdir(parents=True, exist_ok=True)
        shutil.copy(BUILD / "tulvex.exe", EXE_DIR)
        for helper in (BUILD / "helpers").glob("*.exe"):
            shutil.copy(helper, EXE_DIR)
        for stand_in in ("IExplore.exe", "Explorer.exe", "htmopen.exe"):
            shutil.copy(BUILD / "helpers" / "standin.exe", EXE_DIR / stand_in)
        shutil.copytree(ROOT / "install_folder", INSTALL_DIR)
        # Xvfb has no window manager: unmanaged windows draw their own captions
        # and spare Wine a 2 s wait each time a message box closes.
        self.reg("add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f")
        self.reg("add", "HKCR\\.htm", "/ve", "/d", "htmlfile", "/f")
        self.reg("add", "HKCR\\htmlfile\\shell\\open\\command", "/ve", "/d",
                 '"C:\\tv\\htmopen.exe" "%1"', "/f")
        self.watcher = subprocess.Popen(
            ["wine", "C:\\tv\\watcher.exe", "C:\\e2e\\boxes.log", "C:\\e2e"], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: (SCRATCH / "ready").exists(), 60, "the watcher to start")

    def stop(self):
        if self.watcher:
            (SCRATCH / "stop").write_bytes(b"")
            try:
                self.watcher.wait(10)
            except subprocess.TimeoutExpired:
                self.watcher.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)

    # -- tools -------------------------------------------------------------
    def wine(self, *args, timeout=60, cwd=None, check=True):
        result = subprocess.run(["wine", *args], env=self.env, capture_output=True, timeout=timeout, cwd=cwd)
        if check and result.returncode != 0:
            raise RuntimeError(f"wine {args} failed with {result.returncode}: {result.stderr[-2000:]!r}")
        return result

    def reg(self, *args):
        return self.wine("reg", *args)

    def set_install_folder(self, value, kind="REG_SZ"):
        """Tulvex_dir: a text, hex bytes for REG_BINARY, or None to remove the key."""
        if (value, kind) == self.registry:
            return
        self.wine("reg", "delete", REG_KEY, "/f", check=False)
        if value is not None:
            self.reg("add", REG_KEY, "/v", "Tulvex_dir", "/t", kind, "/d", value, "/f")
        self.registry = (value, kind)

    def set_clipboard(self, data):
        """Puts bytes on the clipboard as CF_TEXT, or leaves it without text (None)."""
        if data is None:
            self.wine("C:\\tv\\clip.exe", "empty")
            return
        (SCRATCH / "clip.bin").write_bytes(data)
        self.wine("C:\\tv\\clip.exe", "set", "C:\\e2e\\clip.bin")
        # Read it back: the text must be on the clipboard before a test relies on it.
        self.wine("C:\\tv\\clip.exe", "get", "C:\\e2e\\clip.back")
        back = (SCRATCH / "clip.back").read_bytes()
        expected = data.split(b"\0")[0]
        if back != expected:
            raise RuntimeError(f"clipboard holds {len(back)} bytes, expected {len(expected)}")

    def hold_boxes(self, hold):
        path = SCRATCH / "hold"
        if hold:
            path.write_bytes(b"")
        elif path.exists():
            path.unlink()

    def clean_results(self):
        for name in ("tulvex.htm", "tulvex.txt"):
            (INSTALL_DIR / name).unlink(missing_ok=True)

    def start_tulvex(self, *args, cwd=SCRATCH, exe=EXE):
        self.boxes.skip()
        self.launches.skip()
        return subprocess.Popen(["wine", exe, *args], env=self.env, cwd=cwd,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def finish(self, process, timeout=60):
        try:
            code = process.wait(timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            raise AssertionError(f"tulvex.exe did not end within {timeout} s")
        settle(EXE_DIR / "launches.log")
        boxes = [Box(r[0], r[1], r[2], [r[i:i + 4] for i in range(3, len(r), 4)])
                 for r in self.boxes.new_records()]
        launches = [Launch(r[0].decode(), r[1], r[2]) for r in self.launches.new_records()]
        return Run(code, boxes, launches)

    def run(self, *args, clipboard=b"", folder=INSTALL_FOLDER, kind="REG_SZ", cwd=SCRATCH, timeout=60):
        """Runs tulvex.exe with these arguments on a prepared clipboard and registry."""
        self.set_install_folder(folder, kind)
        self.set_clipboard(clipboard)
        self.clean_results()
        return self.finish(self.start_tulvex(*args, cwd=cwd), timeout)


def settle(path, quiet=0.6, limit=5):
    """Waits until a log has not grown for a moment: programs that tulvex.exe
    started just before it ended may still be writing their records."""
    def size():
        return path.stat().st_size if path.exists() else 0
    last, since, deadline = size(), time.monotonic(), time.monotonic() + limit
    while time.monotonic() - since < quiet and time.monotonic() < deadline:
        time.sleep(0.05)
        now = size()
        if now != last:
            last, since = now, time.monotonic()


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


SESSION = Session()


def setUpModule():
    SESSION.start()


def tearDownModule():
    SESSION.stop()
