"""Download benchmark of the save-all-links mode under Wine, against the tools users know.

One loopback server (Python's threaded HTTP/1.1 server, answers from memory), four loads:
  latency  200 files of 20 KiB, each answered 50 ms after its request (a typical round trip):
           Tulvex against aria2c -j4 -x1 (four at once, as Tulvex), wget and curl;
  small    the same 200 files answered at once, and
  big      one file of 200 MiB: Tulvex against the probe (bench/probe_win.cpp: a bare WinINet one-go read of each
           address under Wine, the platform's floor), aria2c, wget and curl;
  huge     1,500,000,000 zero bytes streamed (the server stores nothing): Tulvex saves them whole.
Every file is checked byte for byte; times are the best of --repeat runs, start-up included (Tulvex's summary box
closed by the tests' box watcher). Peak memory is VmHWM of tulvex.exe, "idle" that of a run on an empty list.

    scripts/deps.sh && xvfb-run -a python3 bench/wine_download_bench.py --repeat 3

Targets: latency Tulvex <= 1.1 x aria2c; small and big Tulvex <= 1.15 x the probe; huge peak <= idle + 16 MiB.
The last line is "latency tulvex/aria2c: R". Uses its own Wine prefix in TULVEX_E2E_DIR (default
/tmp/tulvex-bench) and about 2 GB of disk there for the huge load.
"""
import argparse
import http.server
import os
import shutil
import socket
import subprocess
import sys
import threading
import time
from pathlib import Path

os.environ.setdefault("TULVEX_E2E_DIR", "/tmp/tulvex-bench")
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402
from harness import DRIVE_C, EXE_DIR, SESSION  # noqa: E402

SMALL, COUNT, BIG, HUGE, LATENCY = 20 * 1024, 200, 200 * 1024 * 1024, 1_500_000_000, 0.05
ZEROS = bytes(1 << 20)
FILES = {f"s{i:03}.bin": os.urandom(SMALL) for i in range(COUNT)} | {"big.bin": os.urandom(BIG)}


class Handler(http.server.BaseHTTPRequestHandler):
    """/lat/NAME after 50 ms, /now/NAME at once, /zeros/N: N zero bytes, sent as they are made. Without Nagle's
    delay, which would hold each body back until the client acknowledged its head."""
    protocol_version = "HTTP/1.1"

    def setup(self):
        super().setup()
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def do_GET(self):  # noqa: N802
        kind, name = self.path.split("/")[1:3]
        size = int(name) if kind == "zeros" else len(FILES[name])
        if kind == "lat":
            time.sleep(LATENCY)
        self.send_response(200)
        self.send_header("Content-Length", str(size))
        self.end_headers()
        if kind != "zeros":
            self.wfile.write(FILES[name])
            return
        for start in range(0, size, len(ZEROS)):
            self.wfile.write(ZEROS[:min(len(ZEROS), size - start)])

    def log_message(self, *args):
        pass


class PeakMemory:
    """Largest VmHWM of the processes whose command line names `exe`, sampled from /proc while they run."""

    def __init__(self, exe):
        self.exe, self.peak, self.done = exe.encode(), 0, threading.Event()
        self.thread = threading.Thread(target=self.sample, daemon=True)
        self.thread.start()

    def sample(self):
        while not self.done.wait(0.01):
            for proc in Path("/proc").iterdir():
                try:
                    if proc.name.isdigit() and self.exe in (proc / "cmdline").read_bytes():
                        hwm = [line for line in (proc / "status").read_text().splitlines() if line.startswith("VmHWM")]
                        self.peak = max(self.peak, int(hwm[0].split()[1]) * 1024)
                except (OSError, IndexError):
                    pass

    def stop(self):
        self.done.set()
        self.thread.join()
        return self.peak


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    return folder


def timed(command, folder, **kwargs):
    start = time.perf_counter()
    subprocess.run(command, cwd=folder, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
    return time.perf_counter() - start


def run_tulvex(urls, folder):
    """Seconds, peak memory and the folder of saved files."""
    SESSION.set_clipboard("\n".join(urls).encode())
    memory = PeakMemory("tulvex.exe")
    start = time.perf_counter()
    process = SESSION.start_tulvex("(tulvex_loud_links)", cwd=folder)
    process.wait()
    seconds = time.perf_counter() - start
    peak = memory.stop()
    summary = SESSION.finish(process).boxes[-1].text
    if summary != harness.cp1251(f"Загружено файлов: {len(urls)} из {len(urls)}     "):
        raise RuntimeError(f"Tulvex reported {summary.decode('cp1251')!r}")
    return seconds, peak, folder / "Tulvex_files"


def command(tool, folder, list_file, urls):
    """The command line of another tool that saves the list's files into `folder`."""
    return {"probe": [*harness.WINE, "C:\\tv\\probe.exe", "C:\\bench\\lists\\list.txt", "C:\\bench\\probe\\out"],
            "aria2c": ["aria2c", "-q", "-j4", "-x1", "-d", str(folder), "-i", str(list_file)],
            "wget": ["wget", "-q", "-P", str(folder), "-i", str(list_file)],
            "curl": ["curl", "-sS", "--fail", "--remote-name-all", "--output-dir", str(folder), *urls]}[tool]


def check(folder, names, tool):
    """Every file byte for byte (the huge one: its size and zeros), then gone, so that writing them back to disk
    slows no later run."""
    for name in names:
        path = folder / name
        if name.isdigit():
            with path.open("rb") as saved:
                pieces = iter(lambda: saved.read(1 << 24), b"")
                whole = path.stat().st_size == int(name) and not any(any(piece) for piece in pieces)
        else:
            whole = path.read_bytes() == FILES[name]
        if not whole:
            raise RuntimeError(f"{tool} saved {name} wrong")
    shutil.rmtree(folder)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--repeat", type=int, default=3, help="runs of each tool and load; the best counts")
    repeat = parser.parse_args().repeat
    subprocess.run([harness.ROOT / "scripts" / "build_win.sh", "probe", "tulvex", "e2e_helper"], check=True,
                   stdout=subprocess.DEVNULL)
    print(f"Measuring {harness.MEASURED}")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_address[1]}/"
    small = [f"s{i:03}.bin" for i in range(COUNT)]
    loads = {"latency": ("lat/", small, ["Tulvex", "aria2c", "wget", "curl"]),
             "small": ("now/", small, ["Tulvex", "probe", "aria2c", "wget", "curl"]),
             "big": ("now/", ["big.bin"], ["Tulvex", "probe", "aria2c", "wget", "curl"]),
             "huge": ("zeros/", [str(HUGE)], ["Tulvex"])}
    SESSION.start()
    shutil.copy(harness.BUILD / "bench" / "probe.exe", EXE_DIR)
    SESSION.set_install_folder(harness.INSTALL_FOLDER)
    (harness.SCRATCH / "norows").write_bytes(b"")  # the box watcher only closes the summary box
    work = DRIVE_C / "bench"
    best, peaks = {}, {}
    try:
        idle = min(run_tulvex([], fresh(work / "idle"))[1] for _ in range(repeat))
        for _ in range(repeat):
            for load, (kind, names, tools) in loads.items():
                urls = [base + kind + name for name in names]
                list_file = fresh(work / "lists") / "list.txt"
                list_file.write_text("\r\n".join(urls) + "\r\n")
                for tool in tools:
                    folder = fresh(work / tool)
                    if tool == "Tulvex":
                        seconds, peaks[load], saved = run_tulvex(urls, folder)
                    else:
                        saved = fresh(folder / "out")
                        seconds = timed(command(tool, saved, list_file, urls), folder,
                                        env=SESSION.env if tool == "probe" else None)
                    check(saved, names, tool)
                    best[load, tool] = min(seconds, best.get((load, tool), seconds))
    finally:
        server.shutdown()
        SESSION.stop()

    print(f"\nBest of {repeat} runs, seconds (start-up included), against {base}")
    print(f"{'load':<10}" + "".join(f"{tool:>10}" for tool in ["Tulvex", "probe", "aria2c", "wget", "curl"]))
    for load in loads:
        print(f"{load:<10}" + "".join(f"{best[load, tool]:10.3f}" if (load, tool) in best else f"{'':>10}"
                                      for tool in ["Tulvex", "probe", "aria2c", "wget", "curl"]))
    above = (peaks["huge"] - idle) / 2**20
    print(f"peak memory of Tulvex: idle {idle / 2**20:.1f} MiB; saving {HUGE:,} bytes {peaks['huge'] / 2**20:.1f} MiB, "
          f"{above:+.1f} MiB (target <= 16) {'met' if above <= 16 else 'MISSED'}")
    for load in ("small", "big"):
        ratio = best[load, "Tulvex"] / best[load, "probe"]
        print(f"{load} tulvex/probe: {ratio:.2f} (target <= 1.15) {'met' if ratio <= 1.15 else 'MISSED'}")
    ratio = best["latency", "Tulvex"] / best["latency", "aria2c"]
    print(f"latency tulvex/aria2c: {ratio:.2f}")


if __name__ == "__main__":
    main()
