"""tulvex.exe under Wine: start-up and dispatch, the page modes, their boxes and what they start."""
import shutil
import time
import unittest

import harness
from harness import INSTALL_DIR, INSTALL_FOLDER, SCRATCH, SESSION, cp1251, records, shown, small_disk, started, wait_for

setUpModule, tearDownModule = harness.setUpModule, harness.tearDownModule
HOST = b"www.morvalesoft.ru"
HEADER = (b"<HTML><HEAD>\n<meta http-equiv='Content-Type' content='text/html; Charset=Windows-1251'>\n"
          b"<STYLE TYPE='text/css'>@import url('tulvex.css');</STYLE>\n<TITLE>Tulvex: " + HOST + b"</TITLE></HEAD>\n"
          b"<BODY bgcolor='#a0b8a0' background='bg1.jpg'>\n<center>\n<table width=640 border=0 cellpadding=20>"
          b"<td bgcolor='#FFFFFF' background='bg_kvadrat_1.jpg'><p>")
FOOTER = (b"</center><br><br><hr size=1><center><font size=-1>Morvale Soft: " + cp1251("программы для самообразования, "
          "новости науки") + b" (<a href='http://" + HOST + b"' target=_blank>" + HOST
          + b"</a>).</font></center></td></table></center></body></html>")
PAGE, SOURCE = INSTALL_FOLDER + "\\tulvex.htm", INSTALL_FOLDER + "\\tulvex.txt"
TEXT = cp1251("<a href='http://a.ru/x'>Ссылка 100%s %d</a>\r\n</ol>\nЁё") + b"\x01\x98\xff\t"
MISSING = [(b"Tulvex", cp1251("Путь к программе не найден. \nПереустановите программу."))]


def framed(text):
    return (HEADER + b" \n\n " + text + b" \n\n " + FOOTER).replace(b"\n", b"\r\n")


def browser(path):
    return [("IExplore.exe", b"IExplore.exe " + path.encode())]


def box(message, caption="Результат"):
    return [(cp1251(caption), cp1251(message))]


class PageModes(unittest.TestCase):
    def test_each_mode_writes_its_file_and_opens_it(self):
        privet, privet_1251 = "Привет. Мир\nё ω é", cp1251("Привет. Мир\nё ? e")  # no ω in Windows-1251; é: e
        readable = (b" " + HEADER + b" \n\n<h2> " + cp1251("Привет. ") + b"\x85 </h2><hr size=1>\n\n "
                    + cp1251("Привет. <li>Мир\nё ? e") + b" \n\n " + FOOTER).replace(b"\n", b"\r\n")
        # keyword, clipboard, CF_LOCALE of a Unicode clipboard, file, its bytes
        for keyword, clipboard, locale, name, content in [
                ("(tulvex_links)", TEXT, None, "tulvex.htm", framed(TEXT)),
                ("(tulvex_img)", b"img", None, "tulvex.htm", framed(b"img")),
                ("(tulvex_swf)", None, None, "tulvex.htm", framed(b"")),
                ("(tulvex_html)", TEXT, None, "tulvex.txt", TEXT.replace(b"\n", b"\r\n")),
                ("(tulvex_links)", privet, "0409", "tulvex.htm", framed(privet_1251)),
                ("(tulvex_bit)", privet, "0409", "tulvex.htm", readable)]:
            with self.subTest(keyword=keyword, locale=locale):
                run = SESSION.run(keyword, clipboard=clipboard, locale=locale)
                self.assertEqual((INSTALL_DIR / name).read_bytes(), content)
                self.assertEqual(sorted(p.name for p in INSTALL_DIR.glob("tulvex.*")), ["tulvex.css", name])
                self.assertEqual((started(run), run.boxes, run.exit_code), (browser(INSTALL_FOLDER + "\\" + name), [], 0))

    def test_file_that_cannot_be_opened_or_written_whole(self):
        with small_disk(INSTALL_DIR.parent / "full", 200) as full:
            big = b"0123456789" * 30000
            for folder, keyword, text, caption, message in [  # a folder of 600 characters is cut to 511
                    ("C:\\no such folder", "(tulvex_links)", b"x", "\\tulvex.htm", "Не могу открыть файл."),
                    ("C:\\" + "d" * 597, "(tulvex_html)", b"x", "\\tulvex.txt", "Не могу открыть файл."),
                    ("C:\\full", "(tulvex_html)", big, "\\tulvex.txt", "Не могу записать файл."),
                    ("C:\\full", "(tulvex_links)", big, "\\tulvex.htm", "Не могу записать файл.")]:
                with self.subTest(folder=folder[:12], keyword=keyword):
                    run = SESSION.run(keyword, clipboard=text, folder=folder)
                    self.assertEqual((shown(run), run.launches, run.exit_code), (box(message, caption), [], 0))
                    self.assertEqual(list(full.iterdir()), [])  # no cut file left

    def test_huge_clipboard_is_written_whole_or_refused_with_a_box(self):
        # 250 million characters (a Unicode block of 500 MB) are about the most tulvex.exe holds here;
        # 600 million (1.2 GB) about the most that the large-address-aware helper can put on the clipboard.
        SESSION.set_install_folder(INSTALL_FOLDER)
        for count, held in ((250_000_000, True), (600_000_000, False)):
            with self.subTest(count=count):
                SESSION.wine("C:\\tv\\clip.exe", "fill", str(count), timeout=300)
                (INSTALL_DIR / "tulvex.htm").unlink(missing_ok=True)
                run = SESSION.finish(SESSION.start_tulvex("(tulvex_links)"), timeout=300)
                text = (b"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_\n" * (count // 64 + 1))[:count]
                self.assertEqual((shown(run), started(run), run.exit_code),
                                 ([], browser(PAGE), 0) if held else (box("Не хватает памяти для текста из буфера обмена."), [], 0))
                page = INSTALL_DIR / "tulvex.htm"
                self.assertTrue(page.read_bytes() == framed(text) if held else not page.exists(), "the page")

    def test_browser_off_the_search_path_is_started_by_its_registered_place(self):
        # As on Windows: no IExplore.exe beside the program nor in the system folders.
        hidden = list((INSTALL_DIR.parent / "windows").glob("**/iexplore.exe"))
        (INSTALL_DIR.parent / "tv2").mkdir(exist_ok=True)
        shutil.copy(harness.EXE_DIR / "tulvex.exe", INSTALL_DIR.parent / "tv2")
        SESSION.reg("add", "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", "/ve", "/d",
                    "C:\\tv\\IExplore.exe", "/f")
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

    def test_reopen_closes_the_foreground_window_only_for_an_address_it_opens(self):
        address = b"http://example.ru/" + b"a" * (511 - 18)
        for clipboard, launches, boxes in [(address, [("IExplore.exe", b"IExplore.exe " + address)], []),
                                           (address + b"a", [], box("Слишком длинное имя файла!    "))]:
            with self.subTest(length=len(clipboard)):
                notepad, rows = SESSION.popen("notepad"), SCRATCH / f"notepad{len(clipboard)}.log"
                wait_for(lambda: SESSION.wine("C:\\tv\\rows.exe", "C:\\e2e\\" + rows.name) and records(rows)[-1][0], 30, "notepad")
                run = SESSION.run("(tulvex_showi)", clipboard=clipboard)
                time.sleep(1)
                self.assertEqual((started(run), shown(run), notepad.poll()), (launches, boxes, 0 if launches else None))
                notepad.kill()
                notepad.wait(10)


class StartUp(unittest.TestCase):
    def test_dispatch_and_the_install_folder_from_the_registry(self):
        help_page = [("htmopen.exe", b'"C:\\tv\\htmopen.exe" "C:\\tvinst\\help\\help_frames.htm"')]
        keywords = ["(tulvex_loud_links)", "(tulvex_showi)", "(tulvex_img)", "(tulvex_swf)", "(tulvex_bit)",
                    "(tulvex_html)", "(tulvex_links)", "none"]
        # Tulvex_dir (a REG_BINARY without a terminator names the folder too), command line, what starts, the boxes
        for folder, args, launches, boxes in [
                (INSTALL_FOLDER, ("(tulvex_links)", "(tulvex_html)"), browser(SOURCE), []),
                (INSTALL_FOLDER, ("(tulvex_html)(tulvex_showi)",), [("IExplore.exe", b"IExplore.exe x")], []),
                ((INSTALL_FOLDER.encode().hex(), "REG_BINARY"), ("(tulvex_links)(tulvex_bit)",), browser(PAGE), []),
                (INSTALL_FOLDER, (), help_page, []), (INSTALL_FOLDER, ("(TULVEX_LINKS)", "tulvex_links"), help_page, [])
        ] + [(None, (keyword,), [], MISSING) for keyword in keywords] + [("", ("(tulvex_links)",), [], MISSING)]:
            with self.subTest(folder=folder, args=args):
                value, kind = folder if isinstance(folder, tuple) else (folder, "REG_SZ")
                run = SESSION.run(*args, clipboard=b"x", folder=value, kind=kind)
                self.assertEqual((started(run), shown(run), run.exit_code), (launches, boxes, 0))

    def test_second_copy_ends_silently_while_the_first_runs(self):
        SESSION.set_install_folder(None)
        (INSTALL_DIR / "tulvex.htm").unlink(missing_ok=True)
        (SCRATCH / "hold").write_bytes(b"")  # the watcher leaves the first copy's box open
        try:
            first = SESSION.start_tulvex("(tulvex_links)")
            wait_for(lambda: records(harness.BOXES, SESSION.offsets[0]), 30, "the first copy's box")
            SESSION.set_install_folder(INSTALL_FOLDER)
            self.assertEqual(SESSION.wine(harness.EXE, "(tulvex_links)", timeout=30, check=False).returncode, 0)
        finally:
            (SCRATCH / "hold").unlink()
        run = SESSION.finish(first)
        self.assertEqual((shown(run), run.launches, run.exit_code, (INSTALL_DIR / "tulvex.htm").exists()),
                         (MISSING, [], 0, False))
