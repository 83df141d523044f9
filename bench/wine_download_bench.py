"""Download benchmark of the save-all-links mode under Wine.

One run, one loopback server (Python's threaded static server), two loads:
one file of 200 MiB and a list of 200 files of 20 KiB. Each load is fetched
with tulvex.exe under Wine, with the probe (bench/probe_win.cpp: a bare
WinINet one-go read per address under Wine, the platform's floor), with curl
and with wget. Prints the best of --repeat runs in seconds, the ratios to
the probe, Tulvex's cost per file above the probe's once both programs'
empty-list start-up is taken off, and the peak resident memory of
tulvex.exe and the probe against the largest file.

    cmake --build build/win && xvfb-run -a python3 bench/wine_download_bench.py

(the script builds the probe's target itself).

Targets: Tulvex within 1.15x the probe on both loads; Tulvex's peak memory
at most 1.1x the largest file. Needs wine, curl and wget; uses its own Wine
prefix in TULVEX_E2E_DIR (default /tmp/tulvex-bench).

The prefix's windows are unmanaged: Xvfb has no window manager, and Wine
would otherwise wait 2 s for one whenever a shown window (the summary box)
closes. Tulvex runs with Wine's default visual theme and, as "Tulvex/classic",
with theming off: Wine repaints the themed scroll bar of the list slowly on
every added row. "Tulvex idle" is an empty list: the fixed cost of start-up,
window and summary box, and the memory of the process without a download.
"""
import argparse
import filecmp
import functools
import http.server
import os
import shutil
import subprocess
import sys
import threading
import time
from pathlib import Path

os.environ.setdefault("TULVEX_E2E_DIR", "/tmp/tulvex-bench")
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402
from harness import DRIVE_C, EXE_DIR, SESSION  # noqa: E402

BIG, SMALL, SMALL_COUNT = 200 * 1024 * 1024, 20 * 1024, 200
TARGET_TIME, TARGET_MEMORY = 1.15, 1.1


class PeakMemory:
    """Largest VmHWM of the processes whose command line names `exe`, sampled
    from /proc while they run."""

    def __init__(self, exe):
        self.exe, self.peak, self.done = exe.encode(), 0, threading.Event()
        self.thread = threading.Thread(target=self.sample, daemon=True)
        self.thread.start()

    def sample(self):
        while not self.done.wait(0.01):
            for proc in Path("/proc").iterdir():
                try:
                    if proc.name.isdigit() and self.exe in (proc / "cmdline").read_bytes():
                        for line in (proc / "status").read_text().splitlines():
                            if line.startswith("VmHWM:"):
                                self.peak = max(self.peak, int(line.split()[1]) * 1024)
                except OSError:
                    pass

    def stop(self):
        self.done.set()
        self.thread.join()
        return self.peak


def timed(command, exe=None, **kwargs):
    """Seconds that a command runs, and the peak memory of `exe` meanwhile."""
    memory = PeakMemory(exe) if exe else None
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
    code = process.wait()  # blocking: a timeout would poll every 50 ms
    seconds = time.perf_counter() - start
    if code != 0:
        raise RuntimeError(f"{command[:3]} ended with {code}")
    return seconds, memory.stop() if memory else 0


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    return folder


def set_theme(active):
    SESSION.reg("add", "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", "/v", "ThemeActive",
                "/d", "1" if active else "0", "/f")


def run_tulvex(urls, folder):
    SESSION.set_clipboard("\n".join(urls).encode())
    memory = PeakMemory("tulvex.exe")
    start = time.perf_counter()
    process = SESSION.start_tulvex("(tulvex_loud_links)", cwd=folder)
    process.wait()  # blocking: a timeout would poll every 50 ms
    seconds = time.perf_counter() - start
    peak = memory.stop()
    summary = SESSION.finish(process).boxes[-1].text
    expected = harness.cp1251(f"Загружено файлов: {len(urls)} из {len(urls)}     ")
    if summary != expected:
        raise RuntimeError(f"Tulvex reported {summary.decode('cp1251')!r}")
    return seconds, peak, folder / "Tulvex_files"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--repeat", type=int, default=3, help="runs of each tool and load; the best counts")
    repeat = parser.parse_args().repeat
    subprocess.run(["cmake", "--build", str(harness.BUILD), "--target", "probe"], check=True,
                   stdout=subprocess.DEVNULL)

    SESSION.start()
    shutil.copy(harness.BUILD / "bench" / "probe.exe", EXE_DIR)
    SESSION.set_install_folder(harness.INSTALL_FOLDER)
    (harness.SCRATCH / "norows").write_bytes(b"")  # the box watcher only closes the summary box
    work = DRIVE_C / "bench"
    www = fresh(harness.WORK / "www")
    (www / "big.bin").write_bytes(os.urandom(BIG))
    for i in range(SMALL_COUNT):
        (www / f"s{i:03}.bin").write_bytes(os.urandom(SMALL))

    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=str(www))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_address[1]}/"
    loads = {"one file of 200 MiB": ["big.bin"],
             f"{SMALL_COUNT} files of 20 KiB": [f"s{i:03}.bin" for i in range(SMALL_COUNT)]}
    subprocess.run(["curl", "-sS", "-o", "/dev/null", base + "big.bin"], check=True)  # warm the page cache

    try:
        results = {}
        for load, names in loads.items():
            urls = [base + name for name in names]
            list_file = fresh(work / "lists") / "list.txt"
            list_file.write_text("\r\n".join(urls) + "\r\n")
            best = {}

            def record(tool, seconds, peak, folder):
                """Keeps the best time and the highest peak; checks the files and removes
                them at once, before writing them back to disk can slow the next run."""
                match, mismatch, errors = filecmp.cmpfiles(www, folder, names, shallow=False)
                if mismatch or errors:
                    raise RuntimeError(f"{tool} got {len(mismatch) + len(errors)} files wrong")
                shutil.rmtree(folder)
                old = best.get(tool, (seconds, peak))
                best[tool] = (min(seconds, old[0]), max(peak, old[1]))

            for _ in range(repeat):
                for tool, theme in (("Tulvex", True), ("Tulvex/classic", False)):
                    set_theme(theme)
                    record(tool, *run_tulvex(urls, fresh(work / tool.replace("/", "-"))))
                set_theme(True)
                folder = fresh(work / "probe")
                record("probe", *timed(["wine", "C:\\tv\\probe.exe", "C:\\bench\\lists\\list.txt",
                                        "C:\\bench\\probe"], exe="probe.exe", env=SESSION.env), folder)
                folder = fresh(work / "curl")
                record("curl", *timed(["curl", "-sS", "--fail", "--remote-name-all", "--output-dir", str(folder),
                                       *urls]), folder)
                folder = fresh(work / "wget")
                record("wget", *timed(["wget", "-q", "-P", str(folder), "-i", str(list_file)]), folder)
            results[load] = best
        idle = min(run_tulvex([], fresh(work / "idle"))[:2] for _ in range(repeat))
        (work / "lists" / "empty.txt").write_text("")
        probe_idle = min(timed(["wine", "C:\\tv\\probe.exe", "C:\\bench\\lists\\empty.txt", "C:\\bench"],
                               env=SESSION.env)[0] for _ in range(repeat))
    finally:
        server.shutdown()
        SESSION.stop()

    largest = BIG
    print(f"\nBest of {repeat} runs against {base} (Python threaded static server)")
    print(f"{'load':<22} {'tool':<15} {'seconds':>8} {'/ probe':>8} {'MB/s':>8}")
    verdicts = []
    for load, best in results.items():
        total = BIG if load.startswith("one") else SMALL * SMALL_COUNT
        for tool, (seconds, _) in best.items():
            print(f"{load:<22} {tool:<15} {seconds:8.3f} {seconds / best['probe'][0]:8.2f} {total / seconds / 1e6:8.1f}")
        for tool in ("Tulvex", "Tulvex/classic"):
            ratio = best[tool][0] / best["probe"][0]
            net = (best[tool][0] - idle[0]) / (best["probe"][0] - probe_idle)
            per_file = ((best[tool][0] - idle[0]) - (best["probe"][0] - probe_idle)) / len(loads[load]) * 1000
            verdicts.append(f"time on {load}: {tool}/probe {ratio:.2f} (target <= {TARGET_TIME}) "
                            f"{'met' if ratio <= TARGET_TIME else 'MISSED'}; without the fixed cost {net:.2f}, "
                            f"{per_file:+.2f} ms a file")
    print(f"{'empty list':<22} {'Tulvex idle':<15} {idle[0]:8.3f}")
    print(f"{'empty list':<22} {'probe idle':<15} {probe_idle:8.3f}")
    for tool in ("Tulvex", "probe"):
        peak = max(best[tool][1] for best in results.values())
        print(f"peak memory of {tool}: {peak / 2**20:.1f} MiB = {peak / largest:.2f} x the largest file "
              f"({largest / 2**20:.0f} MiB)")
    peak = max(best["Tulvex"][1] for best in results.values())
    print(f"Tulvex idle: {idle[1] / 2**20:.1f} MiB; peak above idle: {(peak - idle[1]) / largest:.2f} x the largest file")
    verdicts.append(f"memory: Tulvex peak / largest file {peak / largest:.2f} (target <= {TARGET_MEMORY}) "
                    f"{'met' if peak / largest <= TARGET_MEMORY else 'MISSED'}")
    print("\n".join(verdicts))


if __name__ == "__main__":
    main()
