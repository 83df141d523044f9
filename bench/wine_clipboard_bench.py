"""Clipboard benchmark of the links and readable-text modes under Wine: peak memory and wall time
of tulvex.exe against a bare Win32 program (bench/bare_clipboard_win.cpp) that only opens a hidden
window, reads the same clipboard and starts a program.

    scripts/deps.sh && xvfb-run -a python3 bench/wine_clipboard_bench.py --repeat 3

The clipboard holds a text of 50 MiB, once as CF_UNICODETEXT alone (as the browser half puts it:
100 MiB as UTF-16) and once as CF_TEXT alone (Wine makes CF_UNICODETEXT from it for both
programs). The readable-text mode formats a text of 10 MiB (samples/article.txt repeated, as
CF_UNICODETEXT). Target: tulvex.exe's peak at most the bare program's plus one copy of the text.
Uses its own Wine prefix in TULVEX_E2E_DIR (default /tmp/tulvex-clipbench).
"""
import argparse
import os
import shutil
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("TULVEX_E2E_DIR", "/tmp/tulvex-clipbench")
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402
from harness import SESSION  # noqa: E402

TEXT, READABLE = 50 * 2**20, 10 * 2**20
PATTERN = b"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_\n"  # as clip.exe fill makes it


def peak_and_seconds(command, exe):
    """Wall time of a Wine command, and of the process whose command line names `exe` the largest VmHWM
    (all its resident pages, files mapped included) and the largest RssAnon seen (its private memory),
    sampled from /proc while it runs."""
    peak, done = [0, 0], threading.Event()

    def sample():
        while not done.wait(0.005):
            for proc in Path("/proc").iterdir():
                try:
                    if proc.name.isdigit() and exe.encode() in (proc / "cmdline").read_bytes():
                        status = dict(l.split(":", 1) for l in (proc / "status").read_text().splitlines())
                        for i, field in enumerate(("VmHWM", "RssAnon")):
                            peak[i] = max(peak[i], int(status[field].split()[0]) * 1024)
                except (OSError, KeyError, ValueError):
                    pass
    sampler = threading.Thread(target=sample, daemon=True)
    sampler.start()
    start = time.perf_counter()
    code = subprocess.run([*harness.WINE, *command], env=SESSION.env, capture_output=True).returncode
    seconds = time.perf_counter() - start
    done.set()
    sampler.join()
    if code != 0:
        raise RuntimeError(f"{command[0]} ended with {code}")
    return peak, seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--repeat", type=int, default=3, help="runs of each program; the best counts")
    repeat = parser.parse_args().repeat
    subprocess.run([ROOT / "scripts" / "build_win.sh", "tulvex", "bare_clipboard", "e2e_helper"], check=True,
                   stdout=subprocess.DEVNULL)
    print(f"Measuring {harness.MEASURED}")
    SESSION.start()
    try:
        shutil.copy(harness.BUILD / "bench" / "bare_clipboard.exe", harness.EXE_DIR)
        SESSION.set_install_folder(harness.INSTALL_FOLDER)
        (harness.SCRATCH / "text.bin").write_bytes((PATTERN * (TEXT // 64))[:TEXT])
        article = (ROOT / "samples" / "article.txt").read_bytes().decode("utf-8")  # its "\r\n" kept
        (harness.SCRATCH / "article.bin").write_bytes((article * (READABLE // len(article) + 1))[:READABLE]
                                                      .encode("utf-16-le"))
        page = harness.INSTALL_DIR / "tulvex.htm"
        results, sizes = {}, {"empty": 0, "CF_UNICODETEXT": TEXT, "CF_TEXT": TEXT, "readable text": READABLE}
        for kind, fill, keyword in (("empty", ["empty"], "(tulvex_links)"),
                                    ("CF_UNICODETEXT", ["fill", str(TEXT)], "(tulvex_links)"),
                                    ("CF_TEXT", ["set", "C:\\e2e\\text.bin"], "(tulvex_links)"),
                                    ("readable text", ["unicode", "C:\\e2e\\article.bin", "0419"], "(tulvex_bit)")):
            SESSION.wine("C:\\tv\\clip.exe", *fill, timeout=300)
            for name, command in (("bare", ["C:\\tv\\bare_clipboard.exe", "IExplore.exe", harness.INSTALL_FOLDER]),
                                  ("tulvex", [harness.EXE, keyword])):
                runs = [peak_and_seconds(command, command[0].rsplit("\\", 1)[1]) for _ in range(repeat)]
                results[kind, name] = ([max(p[i] for p, _ in runs) for i in (0, 1)], min(s for _, s in runs))
            if page.stat().st_size < sizes[kind] or harness.records(harness.BOXES):
                raise RuntimeError("tulvex.exe did not write the page whole, or showed a box")
    finally:
        SESSION.stop()
    print(f"\nLinks mode on a clipboard text of {TEXT / 2**20:.0f} MiB, readable text on one of "
          f"{READABLE / 2**20:.0f} MiB (best time, highest peak of {repeat} runs)")
    print(f"{'clipboard':<16} {'program':<8} {'peak MiB':>9} {'private':>8} {'seconds':>8}")
    for (kind, name), (peak, seconds) in results.items():
        print(f"{kind:<16} {name:<8} {peak[0] / 2**20:9.1f} {peak[1] / 2**20:8.1f} {seconds:8.2f}")
    for kind in ("CF_UNICODETEXT", "CF_TEXT", "readable text"):
        (tulvex, t_time), (bare, b_time) = results[kind, "tulvex"], results[kind, "bare"]
        for i, what in enumerate(("peak", "private peak")):
            fixed = (results["empty", "tulvex"][0][i] - results["empty", "bare"][0][i]) / 2**20
            verdict = "met" if tulvex[i] <= bare[i] + sizes[kind] else "MISSED"
            print(f"{kind}: tulvex {what} - bare {what} = {(tulvex[i] - bare[i]) / 2**20:.1f} MiB "
                  f"(target <= {sizes[kind] / 2**20:.0f}) {verdict}, of which {fixed:.1f} MiB with an empty clipboard")
        print(f"{kind}: time {t_time / b_time:.2f} x the bare program")


if __name__ == "__main__":
    main()
