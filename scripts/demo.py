"""Shows Tulvex at work under Wine on the bundled samples.

    xvfb-run -a -s "-screen 0 1024x768x24" python3 scripts/demo.py [PICTURES_FOLDER]

Puts samples/links.htm on the clipboard and runs tulvex.exe "(tulvex_links)",
then samples/article.txt with "(tulvex_bit)"; the install folder is a copy of
install_folder/, and a stand-in named IExplore.exe records the command line
that would start the browser. Prints where each result page is and that
command line. Each result page is kept in the install folder, beside its
stylesheet and backgrounds; with a folder given, a browser engine
(wkhtmltoimage, Debian package wkhtmltopdf) renders each page into a PNG
there. Needs an X display (xvfb-run) and the Windows build.
"""
import os
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("TULVEX_E2E_DIR", "/tmp/tulvex-demo")
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402

DEMOS = [  # keyword, sample, result, what it shows, picture
    ("(tulvex_links)", "links.htm", "tulvex.htm", "the page's links in the page frame", "links.png"),
    ("(tulvex_bit)", "article.txt", "tulvex.htm", "a page's plain text made readable", "readable.png"),
]


def render(page, picture):
    """The page as a browser shows it in a window 760 pixels wide, with its stylesheet and pictures,
    stored in 256 colours (the textured backgrounds would take a megabyte in full colour)."""
    full = page.with_suffix(".png")
    for command in (["wkhtmltoimage", "--quiet", "--enable-local-file-access", "--width", "760", page, full],
                    ["convert", full, "-dither", "None", "-colors", "256", f"PNG8:{picture}"]):
        done = subprocess.run(command, capture_output=True, text=True, timeout=120)
        if done.returncode != 0:
            sys.exit(f"{command[0]} failed: {done.stderr}")


def main(pictures):
    session = harness.SESSION
    session.start()
    try:
        for keyword, sample, result, what, picture in DEMOS:
            text = (ROOT / "samples" / sample).read_bytes().decode("utf-8").encode("cp1251")
            run = session.run(keyword, clipboard=text)
            kept = harness.INSTALL_DIR / f"{keyword.strip('()')}-{result}"
            (harness.INSTALL_DIR / result).replace(kept)
            print(f"tulvex.exe {keyword}: {what}")
            print(f"  clipboard:    samples/{sample} ({len(text)} bytes, Windows-1251)")
            print(f"  result page:  {harness.INSTALL_FOLDER}\\{result} (kept as {kept})")
            for launch in run.launches:
                print(f"  browser:      {launch.command_line.decode('cp1251')}")
            for box in run.boxes:
                print(f"  message:      {box.caption.decode('cp1251')}: {box.text.decode('cp1251')}")
            print(f"  exit code:    {run.exit_code}")
            if pictures:
                render(kept, pictures / picture)
                print(f"  picture:      {pictures / picture}")
    finally:
        session.stop()


if __name__ == "__main__":
    main(Path(sys.argv[1]).resolve() if len(sys.argv) > 1 else None)
