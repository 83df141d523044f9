"""tulvex.exe under Wine: start-up, the help fallback and the page modes."""
import shutil
import subprocess
import unittest

import harness
from harness import INSTALL_DIR, INSTALL_FOLDER, SESSION, SCRATCH, EXE_DIR, cp1251, wait_for

setUpModule = harness.setUpModule
tearDownModule = harness.tearDownModule

HOST = b"www.morvalesoft.ru"
HEADER = b"\n".join([
    b"<HTML><HEAD>",
    b"<meta http-equiv='Content-Type' content='text/html; Charset=Windows-1251'>",
    b"<STYLE TYPE='text/css'>@import url('tulvex.css');</STYLE>",
    b"<TITLE>Tulvex: " + HOST + b"</TITLE></HEAD>",
    b"<BODY bgcolor='#a0b8a0' background='bg1.jpg'>",
    b"<center>",
    b"<table width=640 border=0 cellpadding=20><td bgcolor='#FFFFFF' background='bg_kvadrat_1.jpg'><p>",
])
FOOTER = (b"</center><br><br><hr size=1><center><font size=-1>Morvale Soft: "
          + cp1251("программы для самообразования, новости науки") + b" (<a href='http://" + HOST
          + b"' target=_blank>" + HOST + b"</a>).</font></center></td></table></center></body></html>")

PAGE = INSTALL_FOLDER + "\\tulvex.htm"
SOURCE = INSTALL_FOLDER + "\\tulvex.txt"
PAGE_KEYWORDS = ("(tulvex_links)", "(tulvex_img)", "(tulvex_swf)")
ALL_KEYWORDS = ("(tulvex_loud_links)", "(tulvex_showi)", "(tulvex_img)", "(tulvex_swf)", "(tulvex_bit)",
                "(tulvex_html)", "(tulvex_links)")


def stored(text):
    """Bytes as a text-mode stream stores them."""
    return text.replace(b"\n", b"\r\n")


def framed(text):
    return stored(HEADER + b" \n\n " + text + b" \n\n " + FOOTER)


def browser(path):
    return [("IExplore.exe", b"IExplore.exe " + path.encode())]


def started(run):
    return [(launch.program, launch.command_line) for launch in run.launches]


def shown(run):
    return [(box.caption, box.text) for box in run.boxes]


class PageModes(unittest.TestCase):
    TEXT = cp1251("<ol><li><a href='http://a.ru/x'>Ссылка 100%s %d</a>\r\n</ol>\nЁё") + b"\x01\x98\xff\t"

    def test_links_and_media_pages_frame_the_text(self):
        for keyword in PAGE_KEYWORDS:
            with self.subTest(keyword):
                run = SESSION.run(keyword, clipboard=self.TEXT)
                self.assertEqual((INSTALL_DIR / "tulvex.htm").read_bytes(), framed(self.TEXT))
                self.assertFalse((INSTALL_DIR / "tulvex.txt").exists())
                self.assertEqual(started(run), browser(PAGE))
                self.assertEqual((run.exit_code, run.boxes), (0, []))

    def test_source_file_is_the_text_alone(self):
        run = SESSION.run("(tulvex_html)", clipboard=self.TEXT)
        self.assertEqual((INSTALL_DIR / "tulvex.txt").read_bytes(), stored(self.TEXT))
        self.assertFalse((INSTALL_DIR / "tulvex.htm").exists())
        self.assertEqual(started(run), browser(SOURCE))

    def test_absent_clipboard_text_is_an_empty_text(self):
        cases = [("(tulvex_links)", "tulvex.htm", framed(b""), PAGE),
                 ("(tulvex_swf)", "tulvex.htm", framed(b""), PAGE),
                 ("(tulvex_html)", "tulvex.txt", b"", SOURCE)]
        for keyword, name, content, path in cases:
            with self.subTest(keyword):
                run = SESSION.run(keyword, clipboard=None)
                self.assertEqual((INSTALL_DIR / name).read_bytes(), content)
                self.assertEqual(started(run), browser(path))
        run = SESSION.run("(tulvex_showi)", clipboard=None)
        self.assertEqual(started(run), [("IExplore.exe", b"IExplore.exe ")])

    def test_large_text_is_written_whole(self):
        line = cp1251("Строка длинного текста со ссылкой <a href='http://x.ru/'>x</a>\r\n")
        text = line * (6 * 1024 * 1024 // len(line))
        run = SESSION.run("(tulvex_links)", clipboard=text, timeout=120)
        self.assertEqual((INSTALL_DIR / "tulvex.htm").read_bytes(), framed(text))
        self.assertEqual(started(run), browser(PAGE))

    def test_later_page_replaces_earlier_and_leaves_source_alone(self):
        SESSION.run("(tulvex_html)", clipboard=b"source")
        SESSION.set_clipboard(b"links")
        SESSION.finish(SESSION.start_tulvex("(tulvex_links)"))
        SESSION.set_clipboard(b"pictures")
        SESSION.finish(SESSION.start_tulvex("(tulvex_img)"))
        self.assertEqual((INSTALL_DIR / "tulvex.htm").read_bytes(), framed(b"pictures"))
        self.assertEqual((INSTALL_DIR / "tulvex.txt").read_bytes(), b"source")

    def test_install_folder_that_cannot_be_written(self):
        folder = "C:\\no such folder"
        for keyword, caption in (("(tulvex_links)", "\\tulvex.htm"), ("(tulvex_html)", "\\tulvex.txt")):
            with self.subTest(keyword):
                run = SESSION.run(keyword, clipboard=b"x", folder=folder)
                self.assertEqual(shown(run), [(cp1251(caption), cp1251("Не могу открыть файл."))])
                self.assertEqual((run.exit_code, run.launches), (0, []))

    def test_install_folder_with_blanks_reaches_the_browser_unquoted(self):
        folder = INSTALL_DIR.parent / "Program Files" / "Tulvex"
        folder.mkdir(parents=True, exist_ok=True)
        run = SESSION.run("(tulvex_links)", clipboard=b"x", folder="C:\\Program Files\\Tulvex")
        self.assertEqual((folder / "tulvex.htm").read_bytes(), framed(b"x"))
        self.assertEqual(started(run), browser("C:\\Program Files\\Tulvex\\tulvex.htm"))

    def test_browser_off_the_search_path_is_started_by_its_registered_place(self):
        # As on Windows: no IExplore.exe beside the program nor in the system folders.
        hidden = [path for path in (INSTALL_DIR.parent / "windows").glob("**/iexplore.exe")]
        lone = INSTALL_DIR.parent / "tv2"
        lone.mkdir(exist_ok=True)
        shutil.copy(EXE_DIR / "tulvex.exe", lone)
        SESSION.reg("add", "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE",
                    "/ve", "/d", "C:\\tv\\IExplore.exe", "/f")
        for path in hidden:
            path.rename(path.with_suffix(".hidden"))
        try:
            SESSION.set_install_folder(INSTALL_FOLDER)
            SESSION.set_clipboard(b"x")
            run = SESSION.finish(SESSION.start_tulvex("(tulvex_links)", exe="C:\\tv2\\tulvex.exe"))
        finally:
            for path in hidden:
                path.with_suffix(".hidden").rename(path)
        self.assertEqual(started(run), [("IExplore.exe", b'"C:\\tv\\IExplore.exe" ' + PAGE.encode())])


class ReadableText(unittest.TestCase):
    @staticmethod
    def page(heading, formatted):
        return stored(b" " + HEADER + b" \n\n<h2> " + heading + b"\x85 </h2><hr size=1>\n\n " + formatted
                      + b" \n\n " + FOOTER)

    def test_pages_byte_for_byte(self):
        cases = [
            (cp1251("Первое. Второе? Третье! четвёртое.  Пятое"),
             cp1251("Первое. "), cp1251("Первое. <li>Второе? <li>Третье! четвёртое. Пятое")),
            (b"line1\r\nline2\r\n\r\nline3", b"line1\r", b"line1\r<br>\nline2\r<br>\n\r<p>\nline3"),
            (b"  a < b && c > dd <script>x</script>", b"a &lt; b &amp;&amp; c &gt; dd ",
             b"a &lt; b &amp;&amp; c &gt; dd &lt;script&gt;x&lt;/script&gt;"),
            (None, b"", b""),
        ]
        for text, heading, formatted in cases:
            with self.subTest(text):
                run = SESSION.run("(tulvex_bit)", clipboard=text)
                self.assertEqual((INSTALL_DIR / "tulvex.htm").read_bytes(), self.page(heading, formatted))
                self.assertEqual(started(run), browser(PAGE))
                self.assertEqual((run.exit_code, run.boxes), (0, []))

    def test_readable_text_wins_over_links(self):
        run = SESSION.run("(tulvex_links)(tulvex_bit)", clipboard=b"x")
        self.assertEqual((INSTALL_DIR / "tulvex.htm").read_bytes(), self.page(b"x", b"x"))
        self.assertEqual(started(run), browser(PAGE))


class StartUp(unittest.TestCase):
    MISSING = [(b"Tulvex", cp1251("Путь к программе не найден. \nПереустановите программу."))]

    def test_precedence_and_case_of_keywords(self):
        run = SESSION.run("(tulvex_links)", "(tulvex_html)", clipboard=b"both")
        self.assertEqual(started(run), browser(SOURCE))
        self.assertFalse((INSTALL_DIR / "tulvex.htm").exists())
        run = SESSION.run("(tulvex_html)(tulvex_showi)", clipboard=b"http://a.ru/")
        self.assertEqual(started(run), [("IExplore.exe", b"IExplore.exe http://a.ru/")])

    def test_help_opens_through_the_htm_association(self):
        help_page = b'"C:\\tv\\htmopen.exe" "C:\\tvinst\\help\\help_frames.htm"'
        for args in ((), ("(TULVEX_LINKS)",), ("tulvex_links",)):
            with self.subTest(args):
                run = SESSION.run(*args, clipboard=b"x")
                self.assertEqual(started(run), [("htmopen.exe", help_page)])
                self.assertFalse((INSTALL_DIR / "tulvex.htm").exists())
                self.assertEqual(run.exit_code, 0)

    def test_missing_install_folder_stops_every_mode(self):
        for folder in (None, ""):
            for args in [(keyword,) for keyword in ALL_KEYWORDS] + [()]:
                with self.subTest(folder=folder, args=args):
                    run = SESSION.run(*args, clipboard=b"http://a.ru/f.zip\n", folder=folder)
                    self.assertEqual(shown(run), self.MISSING)
                    self.assertEqual((run.exit_code, run.launches), (0, []))
                    self.assertFalse((INSTALL_DIR / "tulvex.htm").exists())

    def test_odd_registry_values(self):
        # REG_BINARY without a terminator still names the folder.
        run = SESSION.run("(tulvex_links)", clipboard=b"bin", folder=INSTALL_FOLDER.encode().hex(),
                          kind="REG_BINARY")
        self.assertEqual(started(run), browser(PAGE))
        # A value of 600 characters is read without overrun (and cut to 511).
        long_folder = "C:\\" + "d" * 597
        run = SESSION.run("(tulvex_links)", clipboard=b"x", folder=long_folder)
        self.assertEqual(shown(run), [(b"\\tulvex.htm", cp1251("Не могу открыть файл."))])
        self.assertEqual((run.exit_code, run.launches), (0, []))

    def test_second_copy_ends_silently_while_the_first_runs(self):
        SESSION.set_install_folder(None)
        SESSION.set_clipboard(b"x")
        SESSION.hold_boxes(True)
        try:
            first = SESSION.start_tulvex("(tulvex_links)")
            wait_for(lambda: (SCRATCH / "boxes.log").exists()
                     and SESSION.boxes.offset < (SCRATCH / "boxes.log").stat().st_size, 30, "the first copy's box")
            SESSION.set_install_folder(INSTALL_FOLDER)
            second = SESSION.wine(harness.EXE, "(tulvex_links)", timeout=30, check=False)
            self.assertEqual(second.returncode, 0)
            self.assertFalse((INSTALL_DIR / "tulvex.htm").exists())
        finally:
            SESSION.hold_boxes(False)
        run = SESSION.finish(first)
        self.assertEqual(shown(run), self.MISSING)
        self.assertEqual((run.exit_code, run.launches), (0, []))


class Reopen(unittest.TestCase):
    def start_foreground_window(self, name):
        log, quit_file = SCRATCH / f"{name}.log", SCRATCH / f"{name}.quit"
        log.unlink(missing_ok=True)
        quit_file.unlink(missing_ok=True)
        window = subprocess.Popen(["wine", "C:\\tv\\fgwin.exe", "Reading a page", f"C:\\e2e\\{name}.log",
                                   f"C:\\e2e\\{name}.quit"], env=SESSION.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: log.exists() and log.read_bytes().count(b"\n") >= 1, 30, "the foreground window")
        return window, log, quit_file

    def window_records(self, window, log, quit_file):
        quit_file.write_bytes(b"")
        window.wait(30)
        return harness.parse_records(log.read_bytes())[1:]

    def test_address_of_511_characters_closes_the_foreground_window_and_opens(self):
        address = b"http://example.ru/" + b"a" * (511 - 18)
        window = self.start_foreground_window("fg511")
        run = SESSION.run("(tulvex_showi)", clipboard=address)
        self.assertEqual(started(run), [("IExplore.exe", b"IExplore.exe " + address)])
        self.assertEqual(self.window_records(*window), [[b"closed", b"close_me"]])

    def test_address_of_512_characters_is_refused_and_windows_are_left_alone(self):
        address = b"http://example.ru/" + b"a" * (512 - 18)
        window = self.start_foreground_window("fg512")
        run = SESSION.run("(tulvex_showi)", clipboard=address)
        self.assertEqual(shown(run), [(cp1251("Результат"), cp1251("Слишком длинное имя файла!    "))])
        self.assertEqual((run.exit_code, run.launches), (0, []))
        self.assertEqual(self.window_records(*window), [[b"left", b"Reading a page"]])

    def test_address_is_passed_unchanged(self):
        address = b'  "http://a.ru/x y"\r\n'
        run = SESSION.run("(tulvex_showi)", clipboard=address)
        self.assertEqual(started(run), [("IExplore.exe", b"IExplore.exe " + address)])


if __name__ == "__main__":
    unittest.main()
