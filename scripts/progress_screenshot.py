"""Saves a PNG of Tulvex's progress window in the middle of a download.

    xvfb-run -a -s "-screen 0 1024x768x24" python3 scripts/progress_screenshot.py docs/progress.png

Runs the save-all-links mode under Wine on a list of six addresses served
by a local server: four answer at once (saved, cut short every time, not
found), the last two trickle their bodies for several seconds and load side
by side. While they load, the window is captured with ImageMagick's `import`
and cropped to the window. Needs the Windows build (scripts/build_win.sh) and an X
display of at least 800x400.
"""
import os
import re
import subprocess
import sys
import time
from pathlib import Path

os.environ.setdefault("TULVEX_E2E_DIR", "/tmp/tulvex-screenshot")
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402
from harness import INSTALL_FOLDER, SCRATCH, SESSION  # noqa: E402
from httpserver import Reply, Server, wait_until  # noqa: E402


def window_geometry(title_start):
    """x, y, width, height of the top-level window whose title starts so."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    for line in tree.splitlines():
        match = re.search(r'"' + re.escape(title_start) + r'[^"]*".*?(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)', line)
        if match:
            width, height, x, y = map(int, match.groups())
            return x, y, width, height
    return 100, 100, 630, 200  # where the program puts its window


def main(out):
    server = Server()
    SESSION.start()
    try:
        SESSION.set_install_folder(INSTALL_FOLDER)
        data = bytes(range(256)) * 400
        server.script("/files/report.pdf", Reply(body=data[:48213]))
        server.script("/files/photo.jpg", Reply(body=data[:31744], length="40000"))
        server.script("/files/notes.txt", Reply(body=data[:2741]))
        server.script("/files/archive.zip", Reply(body=data[:96000], piece=4000, pause=0.5))
        server.script("/files/lecture.mp3", Reply(body=data * 2, piece=8000, pause=0.4))
        paths = ["/files/report.pdf", "/files/photo.jpg", "/old/missing.doc", "/files/notes.txt", "/files/archive.zip",
                 "/files/lecture.mp3"]
        SESSION.set_clipboard("\r\n".join(server.url(path) for path in paths).encode())
        folder = SCRATCH / "screenshot"
        folder.mkdir(exist_ok=True)
        process = SESSION.start_tulvex("(tulvex_loud_links)", cwd=folder)
        if not wait_until(lambda: any(r.path == paths[-1] for r in server.requests), 60):
            raise RuntimeError("the trickled file was never asked for")
        time.sleep(2)
        x, y, width, height = window_geometry("Tulvex")
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage", out],
                       check=True)
        server.stop()
        SESSION.finish(process, timeout=60)
    finally:
        SESSION.stop()
    print(f"saved {out} ({width}x{height} at {x},{y})")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(os.path.abspath(sys.argv[1]))
