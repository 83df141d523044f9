"""tulvex.exe under Wine: start-up and dispatch, the page modes, their boxes and what they start."""
import shutil
import unittest

import harness
from harness import INSTALL_DIR, INSTALL_FOLDER, SCRATCH, SESSION, cp1251, records, small_disk, wait_for

setUpModule, tearDownModule = harness.setUpModule, harness.tearDownModule
PAGE, SOURCE = INSTALL_FOLDER + "\\tulvex.htm", INSTALL_FOLDER + "\\tulvex.txt"
TEXT = cp1251("<a href='http://a.ru/x'>Ссылка 100%s %d</a>\r\n</ol>\nЁё") + b"\x01\x98\xff\t"
MISSING = [(b"Tulvex", cp1251("Путь к программе не найден. \nПереустановите программу."))]


def text_of(page):  # what a result page frames: between the header's and the footer's blank lines
    return page.split(b"\r\n\r\n ")[-2][:-1] if page.endswith(b"</html>") else None


def browser(path):
    return [("IExplore.exe", b"IExplore.exe " + path.encode())]


def box(message, caption="Результат"):
    return [(cp1251(caption), cp1251(message))]


class PageModes(unittest.TestCase):
    def test_each_mode_writes_its_file_and_opens_it(self):
        """The clipboard's text in the file the mode writes, the browser started on it; the bytes of the frame and of
        the formatting are the core tests'."""
        privet = "Привет. Мир\nё ω é"  # no ω in Windows-1251; é: e
        # keyword, clipboard (bytes: CF_TEXT, text: CF_UNICODETEXT), its CF_LOCALE, file, the text in its page or bytes
        for keyword, clipboard, locale, name, text in [  # CF_TEXT under the English layout: its bytes as they are
                ("(tulvex_html)", bytes(range(128, 256)), "0409", "tulvex.txt", bytes(range(128, 256))),
                ("(tulvex_links)", TEXT, None, "tulvex.htm", TEXT.replace(b"\n", b"\r\n")),
                ("(tulvex_html)", TEXT, None, "tulvex.txt", TEXT.replace(b"\n", b"\r\n")),
                ("(tulvex_swf)", None, None, "tulvex.htm", b""),
                ("(tulvex_links)", privet, "0409", "tulvex.htm", cp1251("Привет. Мир\r\nё ? e")),
                ("(tulvex_bit)", privet, "0409", "tulvex.htm", cp1251("Привет. <li>Мир\r\nё ? e")),
                ("(tulvex_bit)", b"Ab. Cd  <e>\r\n" * 8000, None, "tulvex.htm",  # 104,000 characters, formatted whole
                 b"Ab. <li>Cd &lt;e&gt;\r<br>\r\n" * 8000)]:
            with self.subTest(keyword=keyword, locale=locale):
                run = SESSION.run(keyword, clipboard=clipboard, locale=locale)
                page = (INSTALL_DIR / name).read_bytes()
                self.assertEqual(text_of(page) if name == "tulvex.htm" else page, text)
                self.assertEqual(sorted(p.name for p in INSTALL_DIR.glob("tulvex.*")), ["tulvex.css", name])
                self.assertEqual((run.started, run.boxes, run.exit_code), (browser(f"{INSTALL_FOLDER}\\{name}"), [], 0))

    def test_file_that_cannot_be_opened_or_written_whole(self):
        with small_disk(INSTALL_DIR.parent / "full", 200) as full:
            big, installed = b"0123456789" * 30000, {"tulvex.htm": b"", "tulvex.txt": b""}
            for name, data in installed.items():  # made by the installer, the only files there that users may write
                (full / name).write_bytes(data)
            for folder, keyword, text, caption, message in [  # a folder of 600 characters is cut to 511
                    ("C:\\no such folder", "(tulvex_links)", b"x", "\\tulvex.htm", "Не могу открыть файл."),
                    ("C:\\" + "d" * 597, "(tulvex_html)", b"x", "\\tulvex.txt", "Не могу открыть файл."),
                    ("C:\\full", "(tulvex_html)", big, "\\tulvex.txt", "Не могу записать файл."),
                    ("C:\\full", "(tulvex_links)", big, "\\tulvex.htm", "Не могу записать файл.")]:
                with self.subTest(folder=folder[:12], keyword=keyword):
                    run = SESSION.run(keyword, clipboard=text, folder=folder)
                    self.assertEqual((run.shown, run.launches, run.exit_code), (box(message, caption), [], 0))
                    # No cut page, and the file stays: a user could not make it again.
                    self.assertEqual({p.name: p.read_bytes() for p in full.iterdir()}, installed)

    def test_huge_clipboard_is_written_whole_or_refused_with_a_box(self):
        # 250 million characters (a Unicode block of 500 MB) are about the most tulvex.exe holds here;
        # 600 million (1.2 GB) about the most that the large-address-aware helper can put on the clipboard.
        SESSION.set_install_folder(INSTALL_FOLDER)
        pattern, page = b"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_\n", INSTALL_DIR / "tulvex.htm"
        for count, outcome in ((250_000_000, ([], browser(PAGE), 0)),
                               (600_000_000, (box("Не хватает памяти для текста из буфера обмена."), [], 0))):
            with self.subTest(count=count):
                if outcome[0]:
                    harness.needs_32_bit_program("a text beyond a 2 GB address space (a 64-bit one holds it)")
                SESSION.wine("C:\\tv\\clip.exe", "fill", str(count), timeout=300)
                page.unlink(missing_ok=True)
                run = SESSION.finish(SESSION.start_tulvex("(tulvex_links)"), timeout=300)
                self.assertEqual((run.shown, run.started, run.exit_code), outcome)
                crlf = (pattern * (count // 64 + 1))[:count].replace(b"\n", b"\r\n") if run.started else None
                self.assertTrue(text_of(page.read_bytes()) == crlf if run.started else not page.exists(), "the page")

    def test_browser_off_the_search_path_is_started_by_its_registered_place(self):
        # As on Windows: no IExplore.exe beside the program nor in the system folders.
        hidden = list((INSTALL_DIR.parent / "windows").glob("**/iexplore.exe"))
        (INSTALL_DIR.parent / "tv2").mkdir(exist_ok=True)
        shutil.copy(harness.EXE_DIR / "tulvex.exe", INSTALL_DIR.parent / "tv2")
        SESSION.reg("add", "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", "/ve",
                    "/d", "C:\\tv\\IExplore.exe", "/f")
        for path in hidden:
            path.rename(path.with_suffix(".hidden"))
        try:
            SESSION.set_install_folder(INSTALL_FOLDER)
            SESSION.set_clipboard(b"x")
            run = SESSION.finish(SESSION.start_tulvex("(tulvex_links)", exe="C:\\tv2\\tulvex.exe"))
        finally:
            for path in hidden:
                path.with_suffix(".hidden").rename(path)
        self.assertEqual(run.started, [("IExplore.exe", b'"C:\\tv\\IExplore.exe" ' + PAGE.encode())])

    def test_reopen_closes_only_internet_explorers_window_and_a_busy_clipboard_is_waited_for_3_seconds(self):
        address, too_long = b"http://example.ru/" + b"a" * (511 - 18), box("Слишком длинное имя файла!    ")
        opened = [("IExplore.exe", b"IExplore.exe " + address)]
        busy = box("Буфер обмена занят другой программой. Повторите команду.", "Tulvex")
        SESSION.set_install_folder(INSTALL_FOLDER)
        (INSTALL_DIR / "tulvex.htm").unlink(missing_ok=True)
        # keyword; the window in front: its class, it answers, answers none, or first holds the clipboard N s (clipN);
        # the address; what is shown and started; whether the window closed
        for keyword, window_class, how, clipboard, shown, started, closed in [
                ("(tulvex_showi)", "IEFrame", "answers", address, [], opened, True),
                ("(tulvex_showi)", "Notepad", "answers", address, [], opened, False),
                ("(tulvex_showi)", "IEFrame", "hung", address, [], opened, False),
                ("(tulvex_showi)", "IEFrame", "answers", address + b"a", too_long, [], False),
                ("(tulvex_showi)", "IEFrame", "clip1", address, [], opened, True),
                ("(tulvex_showi)", "IEFrame", "clip5", address, busy, [], False),
                ("(tulvex_links)", "IEFrame", "clip5", address, busy, [], False),
                ("(tulvex_loud_links)", "IEFrame", "clip5", address, busy, [], False)]:
            with self.subTest(keyword=keyword, window_class=window_class, how=how, length=len(clipboard)):
                SESSION.set_clipboard(clipboard)
                frame = SESSION.helper("frame", window_class, how)
                run = SESSION.finish(SESSION.start_tulvex(keyword), timeout=10)
                # A closed window may take a while to go; one left alone must still be there after a second.
                harness.wait_until(lambda: frame.poll() is not None, 20 if closed else 1)
                self.assertEqual((run.shown, run.started, run.exit_code, frame.poll(), [*INSTALL_DIR.glob("tulvex.htm"),
                                  *SCRATCH.glob("Tulvex_files")]), (shown, started, 0, 0 if closed else None, []))
                frame.kill()
                frame.wait(10)


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
                (INSTALL_FOLDER, (), help_page, []),
                ("", ("(tulvex_links)",), [], MISSING),
                *[(None, (keyword,), [], MISSING) for keyword in keywords]]:
            with self.subTest(folder=folder, args=args):
                value, kind = folder if isinstance(folder, tuple) else (folder, "REG_SZ")
                run = SESSION.run(*args, clipboard=b"x", folder=value, kind=kind)
                self.assertEqual((run.started, run.shown, run.exit_code), (launches, boxes, 0))

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
        self.assertEqual((run.shown, run.launches, run.exit_code, (INSTALL_DIR / "tulvex.htm").exists()),
                         (MISSING, [], 0, False))
