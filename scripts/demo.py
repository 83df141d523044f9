"""Shows Tulvex at work under Wine on the bundled samples.

Puts samples/links.htm on the clipboard and runs tulvex.exe "(tulvex_links)",
then samples/article.txt with "(tulvex_bit)"; the install folder is a copy of
install_folder/, and a stand-in named IExplore.exe records the command line
that would start the browser. Prints where each result page is and that
command line. Needs an X display (xvfb-run) and the Windows build.
"""
import os
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("TULVEX_E2E_DIR", "/tmp/tulvex-demo")
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402

DEMOS = [
    ("(tulvex_links)", "links.htm", "tulvex.htm", "the page's links in the page frame"),
    ("(tulvex_bit)", "article.txt", "tulvex.htm", "a page's plain text made readable"),
]


def main():
    session = harness.SESSION
    session.start()
    try:
        for keyword, sample, result, what in DEMOS:
            text = (ROOT / "samples" / sample).read_bytes().decode("utf-8").encode("cp1251")
            run = session.run(keyword, clipboard=text)
            kept = harness.WORK / f"{keyword.strip('()')}-{result}"
            (harness.INSTALL_DIR / result).replace(kept)
            print(f"tulvex.exe {keyword}: {what}")
            print(f"  clipboard:    samples/{sample} ({len(text)} bytes, Windows-1251)")
            print(f"  result page:  {harness.INSTALL_FOLDER}\\{result} (kept as {kept})")
            for launch in run.launches:
                print(f"  browser:      {launch.command_line.decode('cp1251')}")
            for box in run.boxes:
                print(f"  message:      {box.caption.decode('cp1251')}: {box.text.decode('cp1251')}")
            print(f"  exit code:    {run.exit_code}")
    finally:
        session.stop()


if __name__ == "__main__":
    main()
