"""Chunked-download benchmark of the save-all-links mode through the real window, under Wine.

Wine's WinINet cannot position a response, so the real program never reads
in chunks there. This benchmark builds two benchmark builds of the program
whose connection serves a positionable response from memory
(bench/standin_connection_win.cpp): tulvex_bench_window with the real
progress window, tulvex_bench_headless with progress routines that draw
nothing (bench/headless_progress_win.cpp). Each saves a list of one 200 MiB
address; the saved file is checked byte for byte. Both builds first run
once untimed (the first run of a session pays for memory and files the
later ones find ready), then take turns, each going first in every other
round. Prints the best and the median of --repeat runs of each, the same
for the reading alone (the stand-in's time from opening the response to
closing it: no start-up, window set-up or write) and, as its last line, the
ratio of the best whole-run times.

    xvfb-run -a -s "-screen 0 1024x768x24" python3 bench/wine_chunked_bench.py

Target: chunked window/headless <= 1.1. Uses the Windows build in
TULVEX_WIN_BUILD (default build/win, configured with the mingw toolchain)
and its own Wine prefix in TULVEX_E2E_DIR (default /tmp/tulvex-chunked).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

os.environ.setdefault("TULVEX_E2E_DIR", "/tmp/tulvex-chunked")
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402
from harness import DRIVE_C, EXE_DIR, SESSION  # noqa: E402

SIZE = 200 * 1024 * 1024
PATTERN_LENGTH = 65521  # as in standin_connection_win.cpp
PROGRAMS = {"window": "tulvex_bench_window", "headless": "tulvex_bench_headless"}
TARGET = 1.1
READING = harness.SCRATCH / "reading.txt"  # the stand-in appends its reading time in microseconds


def body(size):
    """The stand-in's bytes: a pattern of prime length, repeated."""
    pattern, x = bytearray(PATTERN_LENGTH), 1
    for i in range(PATTERN_LENGTH):
        x = (x * 1103515245 + 12345) & 0xFFFFFFFF
        pattern[i] = x >> 24
    whole, rest = divmod(size, PATTERN_LENGTH)
    return bytes(pattern) * whole + bytes(pattern[:rest])


def run(program, expected, saved):
    """Seconds of one save of the 200 MiB address, from start to exit, and of its reading. The file is read back
    into `saved`, a buffer of its size made once, so that no run finds the memory of a fresh 200 MiB block just
    given back."""
    folder = DRIVE_C / "chunked" / program
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    READING.unlink(missing_ok=True)
    os.sync()  # the previous run's writes are not flushed while this one is timed
    start = time.perf_counter()
    process = SESSION.start_tulvex("(tulvex_loud_links)", cwd=folder, exe=f"C:\\tv\\{program}.exe")
    process.wait()  # blocking: a timeout would poll every 50 ms
    seconds = time.perf_counter() - start
    summary = SESSION.finish(process).boxes[-1].text
    if summary != harness.cp1251("Загружено файлов: 1 из 1     "):
        raise RuntimeError(f"{program} reported {summary.decode('cp1251')!r}")
    with open(folder / "Tulvex_files" / "big.bin", "rb") as file:
        if file.readinto(saved) != len(expected) or file.read(1) or saved != expected:
            raise RuntimeError(f"{program} saved a file that differs")
    shutil.rmtree(folder)
    return seconds, int(READING.read_text()) / 1e6


def report(runs):
    for kind, seconds in runs.items():
        print(f"{kind:<9} best {min(seconds):7.3f} s   median {statistics.median(seconds):7.3f} s")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--repeat", type=int, default=7, help="timed runs of each build; the best counts")
    parser.add_argument("--no-build", action="store_true", help="use the benchmark builds as they are")
    repeat = parser.parse_args().repeat
    if not parser.parse_args().no_build:
        subprocess.run(["cmake", "--build", str(harness.BUILD), "--target", *PROGRAMS.values()], check=True,
                       stdout=subprocess.DEVNULL)
    expected, saved = body(SIZE), bytearray(SIZE)

    SESSION.env = dict(SESSION.env, TULVEX_READING_TIMES="C:\\e2e\\" + READING.name)
    SESSION.start()
    try:
        for program in PROGRAMS.values():
            shutil.copy(harness.BUILD / "bench" / f"{program}.exe", EXE_DIR)
        SESSION.set_install_folder(harness.INSTALL_FOLDER)
        (harness.SCRATCH / "norows").write_bytes(b"")  # the box watcher only closes the summary box
        SESSION.set_clipboard(f"http://standin/{SIZE}/big.bin".encode())
        for program in PROGRAMS.values():
            run(program, expected, saved)
        times, reading = {kind: [] for kind in PROGRAMS}, {kind: [] for kind in PROGRAMS}
        for round_ in range(repeat):
            for kind in list(PROGRAMS)[::1 if round_ % 2 == 0 else -1]:
                whole, read = run(PROGRAMS[kind], expected, saved)
                times[kind].append(whole)
                reading[kind].append(read)
    finally:
        SESSION.stop()

    print(f"\n{repeat} runs of each after one untimed, one address of {SIZE // 2**20} MiB read in chunks of "
          f"2240 bytes from memory, start-up included:")
    report(times)
    print("the reading alone, from opening the response to closing it:")
    report(reading)
    print(f"reading window/headless: {min(reading['window']) / min(reading['headless']):.2f}")
    ratio = min(times["window"]) / min(times["headless"])
    print(f"target <= {TARGET}: {'met' if ratio <= TARGET else 'MISSED'}")
    print(f"chunked window/headless: {ratio:.2f}")


if __name__ == "__main__":
    main()
