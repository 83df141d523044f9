"""tulvex.exe under Wine: the save-all-links mode against a scripted local server: rows, boxes, the files it saves
and under which names, stalls and breaks, the window while it downloads, and closing it."""
import re
import shutil
import time
import unittest

import harness
from harness import SCRATCH, SESSION, cp1251, records, small_disk, wait_for, window_state
from httpserver import Reply, Server, wait_until

SERVER = Server()
TEMP = b"the user's own temp.txt\r\n"
LOADED, UNREADABLE = "Загружен", "Не читается"
RUSSIAN = "ru_RU.UTF-8"  # the locale the tests run Wine with


def setUpModule():
    harness.setUpModule()
    # An attempt that gets no byte for a second ends, so that stalls show in the time of a test.
    SESSION.reg("add", "HKCU\\Software\\MorvaleSoft", "/v", "Tulvex_stall", "/t", "REG_DWORD", "/d", "1", "/f")


tearDownModule = harness.tearDownModule


def body(size, seed):
    """Bytes that differ from their neighbours, so that a cut, shifted or stitched file shows."""
    return bytes((i * 7 + seed * 31 + (i >> 8)) & 0xFF for i in range(size))


def fresh(name):
    shutil.rmtree(SCRATCH / name, ignore_errors=True)
    (SCRATCH / name / "Tulvex_files").mkdir(parents=True)
    return SCRATCH / name


class SaveAllLinks(unittest.TestCase):
    def start(self, folder, addresses, locale=None):
        """The mode in a current folder that holds the user's own temp.txt; SESSION.finish() waits for its end."""
        self.folder, SERVER.requests = folder, []
        (folder / "temp.txt").write_bytes(TEMP)
        SESSION.set_install_folder(harness.INSTALL_FOLDER)
        text = None if addresses is None else "\r\n".join(addresses)
        SESSION.set_clipboard(text if locale or text is None else text.encode(), locale)
        return SESSION.start_tulvex("(tulvex_loud_links)", cwd=folder)

    def files(self):
        return {p.name: p.read_bytes() for p in (self.folder / "Tulvex_files").iterdir()}

    def check_end(self, run, rows, files, saved=None):
        """The summary box over the final rows in list order; these files alone; Explorer when one was saved."""
        saved, final = len(files) if saved is None else saved, run.boxes[-1]
        summary = cp1251(f"Загружено файлов: {saved} из {len(rows)}     ")
        self.assertEqual((final.caption, final.text, final.main_title), (cp1251("Результат"), summary, b"Tulvex 1.15"))
        self.assertEqual(final.rows, [[str(i).encode(), cp1251(address), size.encode(), cp1251(status)]
                                      for i, (address, size, status) in enumerate(rows, 1)])
        self.assertEqual(self.files(), files)
        self.assertEqual((sorted(p.name for p in self.folder.iterdir()), (self.folder / "temp.txt").read_bytes()),
                         (["Tulvex_files", "temp.txt"], TEMP))
        explorer = [("Explorer.exe", b"Explorer.exe C:\\e2e\\" + self.folder.name.encode() + b"\\Tulvex_files")]
        self.assertEqual((run.started, run.exit_code), (explorer if saved else [], 0))

    def test_server_faults_end_each_row_truthfully(self):
        """Stalls, breaks and errors; a file that changed between two attempts, with and without a validator; a
        resumed part cut short where the first answer told no length; every byte held when the resume comes; a
        redirect loop and a server that never answers."""
        whole, older, v2, small = body(100_000, 1), b"an older file", body(100_000, 2), body(5000, 3)
        SERVER.script("/elsewhere/target.dat", Reply(body=whole[:7000]))
        dead, stalls = "http://127.0.0.1:1/k/dead.bin", dict(cut=30000, cuts=1, end="hold", ranges=True)  # port 1: none
        cases = [(dead, None, "0", "Недоступен", None),  # address or path, reply, size column, status, file written
                 ("/k/known.bin", Reply(body=whole), "100000", LOADED, whole),
                 ("/k/stalled.bin", Reply(body=whole, **stalls, etag='"s"'), "100000", LOADED, whole),
                 ("/k/no_ranges.bin", Reply(body=whole, **dict(stalls, ranges=False), etag='"n"'), "100000", LOADED,
                  whole),
                 ("/k/older.bin", Reply(body=whole, cut=60000, cuts=3), "100000", UNREADABLE, older),
                 ("/k/reset.bin", Reply(body=whole, cut=3000, cuts=3, end="reset", ranges=True), "100000", UNREADABLE,
                  None),
                 ("/k/unknown.bin", Reply(body=whole, length=None, piece=30000, pause=0.2), "100000", LOADED, whole),
                 ("/k/missing.bin", Reply(404, b"<html>not found</html>"), "0", "Недоступен", None),
                 ("/k/moved.bin", Reply(302, headers=[("Location", SERVER.url("/elsewhere/target.dat"))]), "7000",
                  LOADED, whole[:7000]),
                 ("/k/etag.bin", Reply(body=whole, etag='"1"', **stalls, then=Reply(body=v2, etag='"2"', ranges=True)),
                  "100000", LOADED, v2),
                 ("/k/plain.bin", Reply(body=whole, **stalls, then=Reply(body=v2, ranges=True)), "100000", LOADED, v2),
                 ("/k/cut.bin", Reply(body=whole, length=None, etag='"c"',
                                      **dict(stalls, cuts=2, end=("hold", "close"))), "100000", LOADED, whole),
                 ("/k/held.bin", Reply(body=small, length=None, etag='"h"', **dict(stalls, cut=5000)), "5000", LOADED,
                  small),
                 ("/k/loop.bin", Reply(302, headers=[("Location", "/k/loop.bin")]), "0", "Недоступен", None),
                 ("/k/silent.bin", Reply(delay=300), "0", "Недоступен", None)]
        for path, reply, *_ in cases[1:]:
            SERVER.script(path, reply)
        folder = fresh("dl-faults")
        (folder / "Tulvex_files" / "older.bin").write_bytes(older)
        addresses = [path if path == dead else SERVER.url(path) for path, *_ in cases]
        run = SESSION.finish(self.start(folder, addresses), 90)
        self.check_end(run, [(a, size, status) for a, (_, _, size, status, _) in zip(addresses, cases)],
                       {path.rsplit("/", 1)[1]: data for path, _, _, _, data in cases if data is not None}, saved=9)
        self.assertEqual([(box.caption, box.text) for box in run.boxes[:-1]],
                         [(cp1251("Адрес не открывается.   "), a.encode()) for a in (dead, addresses[-1])])
        asked = lambda name: [r.headers.get("Range") for r in SERVER.requests if r.path.endswith(name)]
        self.assertEqual([asked(name) for name in ("stalled.bin", "no_ranges.bin", "older.bin", "etag.bin", "plain.bin",
                                                   "cut.bin", "held.bin")],
                         [[None, "bytes=30000-"], [None, "bytes=30000-"], [None, None, None],
                          [None, "bytes=30000-", None], [None, None], [None, "bytes=30000-", "bytes=60000-"],
                          [None, "bytes=5000-"]])
        # Every resume names the first answer's validator; a redirect loop ends after ten redirects.
        self.assertEqual(sorted(r.headers.get("If-Range") for r in SERVER.requests if "Range" in r.headers),
                         ['"1"', '"c"', '"c"', '"h"', '"n"', '"s"'])
        self.assertEqual((len(asked("loop.bin")), SERVER.requests[0].headers.get("User-Agent")),
                         (11, "Microsoft Internet Explorer"))

    def test_names_that_open_and_never_collide(self):
        long_name = "L" * 300 + ".bin"
        folder = fresh("dl-names")
        (folder / "Tulvex_files" / "longfilename.html").write_bytes(b"the user's own")
        SESSION.wine("C:\\tv\\short.exe", "C:\\e2e\\dl-names\\Tulvex_files\\longfilename.html", "C:\\e2e\\short.log")
        alias = records(SCRATCH / "short.log")[-1][0].decode()
        stem, extension = alias.rsplit(".", 1)
        html = [("Content-Type", "text/html; charset=utf-8")]
        # path, reply, the name it is saved under
        named = [("Content-Disposition", 'attachment; filename="r.pdf"')]
        cases = [("/n/get.php?id=5", Reply(body=b"%PDF", headers=named), "r.pdf"),
                 ("/n/wiki/New_Zealand", Reply(body=b"<p>NZ", headers=html), "New_Zealand.htm"),
                 ("/n/a/index.html", Reply(body=b"first"), "index.html"),
                 ("/n/k/help?from=a/bcde", Reply(body=b"help", headers=html), "help_from=a_bcde.htm"),
                 ("/n/b/INDEX.html", Reply(body=b"second", delay=0.5), "INDEX (2).html"),
                 ("/n/" + long_name, Reply(body=b"long"), "L" * 226 + ".bin"),  # C:\e2e\dl-names\Tulvex_files\: 29
                 ("/n/" + alias, Reply(body=b"alias"), f"{stem} (2).{extension}")]
        for path, reply, _ in cases:
            SERVER.script(path, reply)
        run = SESSION.finish(self.start(folder, [SERVER.url(path) for path, _, _ in cases]))
        self.check_end(run, [(SERVER.url(path), str(len(reply.body)), LOADED) for path, reply, _ in cases],
                       {"longfilename.html": b"the user's own", **{name: r.body for _, r, name in cases}}, saved=7)

    def test_unicode_list_under_an_english_layout_and_no_list(self):
        """Escapes decoded, forbidden characters and device names made usable, nothing written outside the folder;
        names beyond Windows-1251 kept, and the same names where the system's code page is not Windows-1251; the
        server saw the addresses unchanged."""
        beyond = [("Content-Disposition", "attachment; filename*=UTF-8''%CE%A9%C3%A9%20%D2%90.txt")]
        names = [("/u/%D0%BE%D1%82%D1%87%D1%91%D1%82%202008.doc", "отчёт 2008.doc"), ("/u/a%3Ab.txt", "a_b.txt"),
                 ("/u/..%2F..%2Fx.txt", ".._.._x.txt"), ("/u/conin$.txt", "_conin$.txt"), ("/u/Ёлка.bin", "Ёлка.bin"),
                 ("/u/%E4%B8%AD%F0%9F%98%80.bin", "中😀.bin"), ("/u/x.bin", "Ωé Ґ.txt")]
        sent = [cp1251(path).decode("latin-1") for path, _ in names]  # Wine's WinINet sends Windows-1251 bytes as such
        for i, path in enumerate(sent):
            SERVER.script(path, Reply(body=body(300 + i, i), headers=beyond if path == "/u/x.bin" else ()))
        urls = [SERVER.url(path) for path, _ in names]
        # C.UTF-8: Wine runs with the English code page 1252 (en_US.UTF-8 does too, where the system has it).
        runs = [("names", RUSSIAN, urls, range(len(names))), ("none", RUSSIAN, None, []),
                ("english", "C.UTF-8", urls, range(len(names)))]
        for case, lang, clipboard, fetched in runs:
            with self.subTest(case):
                SESSION.env = dict(type(SESSION).env, LANG=lang, LC_ALL=lang)
                try:
                    run = SESSION.finish(self.start(fresh("dl-" + case), clipboard, locale="0409"))
                finally:
                    del SESSION.env
                files = {names[i][1]: body(300 + i, i) for i in fetched}
                if lang == RUSSIAN:
                    self.check_end(run, [(urls[i], str(300 + i), LOADED) for i in fetched], files)
                else:  # the boxes and the list speak Windows-1251, which this system shows otherwise: the files tell
                    self.assertEqual((self.files(), run.exit_code), (files, 0))
                self.assertEqual(sorted(r.path for r in SERVER.requests), sorted(sent[i] for i in fetched))
                self.assertFalse((SCRATCH / "x.txt").exists())  # Tulvex_files\..\..\x.txt

    def test_window_answers_while_it_downloads_and_closing_it_ends_everything(self):
        done = body(5000, 7)
        SERVER.script("/w/done.bin", Reply(body=done))
        SERVER.script("/w/slow.bin", Reply(body=body(3_000_000, 8), piece=30000, pause=0.05))
        SERVER.script("/w/trickle.bin", Reply(body=body(9000, 9), piece=100, pause=0.3))
        folder = fresh("dl-close")
        process = self.start(folder, [SERVER.url(p) for p in ("/w/done.bin", "/w/slow.bin", "/w/trickle.bin")])
        try:
            wait_for(lambda: (folder / "Tulvex_files" / "done.bin").exists(), 30, "the first file")
            SESSION.wine("C:\\tv\\ping.exe", "C:\\e2e\\ping.log", "2")
            longest, answers = (int(field) for field in records(SCRATCH / "ping.log")[-1])
            self.assertTrue(answers > 20 and longest < 100, f"{answers} answers, the longest after {longest} ms")
            self.assertEqual(len(list((folder / "Tulvex_files" / "~tulvex.parts").glob("~tulvex*.tmp"))), 2)
            SESSION.wine("C:\\tv\\closer.exe")
            process.wait(1)
        finally:
            run = SESSION.finish(process)
        self.assertEqual((self.files(), run.shown, run.started, run.exit_code), ({"done.bin": done}, [], [], 0))

    def test_status_bar_says_how_fast_and_how_long_and_the_stop_button_keeps_what_was_saved(self):
        done = body(5000, 10)
        SERVER.script("/s/done.bin", Reply(body=done))
        SERVER.script("/s/big.bin", Reply(body=bytes(20_000_000), piece=40000, pause=0.01))  # about 4 MB/s
        folder = fresh("dl-stop")
        process = self.start(folder, [SERVER.url(p) for p in ("/s/done.bin", "/s/big.bin")])
        try:
            wait_for(lambda: (folder / "Tulvex_files" / "done.bin").exists(), 30, "the first file")
            def reading():  # (speed in МБ/с, seconds left, the bar's position); None before the speed is known
                SESSION.wine("C:\\tv\\bar.exe", "C:\\e2e\\bar.log")
                text, position = records(SCRATCH / "bar.log")[-1]
                line = re.fullmatch(r"Файлов: 1 из 2 · [\d,]+ МБ из 19,1 МБ · ([\d,]+) МБ/с · осталось (\d+) с",
                                    text.decode("cp1251"))
                return line and (float(line[1].replace(",", ".")), int(line[2]), int(position))
            readings = []
            wait_for(lambda: readings.append(reading()) or readings[-1], 5, "the speed in the status bar")
            time.sleep(1)
            readings = [readings[-1], reading()]
            self.assertTrue(all(2.5 <= speed <= 6 for speed, _, _ in readings), readings)
            self.assertTrue(readings[0][1] > readings[1][1] and readings[0][2] < readings[1][2], readings)
            SESSION.wine("C:\\tv\\stopper.exe")
            wait_for(lambda: records(harness.BOXES, SESSION.offsets[0]), 1, "the summary within a second of the stop")
        finally:
            run = SESSION.finish(process)
        self.check_end(run, [(SERVER.url("/s/done.bin"), "5000", LOADED), (SERVER.url("/s/big.bin"), "20000000",
                                                                           "Остановлен")], {"done.bin": done})

    def test_long_list_keeps_the_earliest_row_loading_in_sight(self):
        paths = [f"/l/file{i:02}.bin" for i in range(30)]
        for i, path in enumerate(paths):  # the 25th stalls a few times before it comes whole
            SERVER.script(path, Reply(body=body(200 + i, i), cut=50 if i == 24 else None, cuts=3, end="hold"))
        process = self.start(fresh("dl-long"), [SERVER.url(p) for p in paths])
        try:
            wait_for(lambda: sum(r.path == paths[24] for r in SERVER.requests) == 2, 60, "the slow row's second try")
            # The list is painted a twentieth of the time at most: on a busy machine its last rows come a paint later.
            listed = lambda: SESSION.wine("C:\\tv\\rows.exe", "C:\\e2e\\rows.log") and \
                window_state(records(SCRATCH / "rows.log")[-1][1:]).count == 30
            wait_until(listed, 3)
        finally:
            final = SESSION.finish(process, timeout=60).boxes[-1]
        during = window_state(records(SCRATCH / "rows.log")[-1][1:])
        self.assertEqual((during.count, len(final.rows), final.rows[24][3]), (30, 30, cp1251(UNREADABLE)))
        self.assertTrue(during.top <= 24 < during.top + during.per_page, f"row 25 of {during}")
        self.assertTrue(final.top <= 29 < final.top + final.per_page, f"row 30 of {final}")

    def test_full_disk_keeps_the_older_file_and_goes_on(self):
        older, newer, fits = body(100_000, 50), body(300_000, 51), body(60_000, 52)
        SERVER.script("/f/keep.bin", Reply(body=newer))
        SERVER.script("/f/next.bin", Reply(body=fits, delay=0.5))  # after keep.bin's part has gone
        addresses = [SERVER.url(p) for p in ("/f/keep.bin", "/f/next.bin")]
        shutil.rmtree(SCRATCH / "dl-full", ignore_errors=True)
        with small_disk(SCRATCH / "dl-full", 200) as folder:
            (folder / "Tulvex_files").mkdir()
            (folder / "Tulvex_files" / "keep.bin").write_bytes(older)
            run = SESSION.finish(self.start(folder, addresses))
            self.check_end(run, [(addresses[0], "300000", "Ош. записи"), (addresses[1], "60000", LOADED)],
                           {"keep.bin": older, "next.bin": fits}, saved=1)

    def test_saved_files_never_meet_temporary_files(self):
        """Files named as temporary files are saved while a part is being written, and the next run keeps them."""
        named = [("Content-Disposition", 'attachment; filename="~TULVEX7.TMP"')]
        cases = [("/t/slow.bin", Reply(body=body(6000, 70), piece=300, pause=0.1), "slow.bin"),  # path, reply, name
                 ("/t/~tulvex1.tmp", Reply(body=b"one", delay=0.5), "~tulvex1.tmp"),
                 ("/t/named.bin", Reply(body=b"seven", headers=named, delay=0.5), "~TULVEX7.TMP"),
                 ("/t/again.bin", Reply(body=b"again"), "again.bin")]
        for path, reply, _ in cases:
            SERVER.script(path, reply)
        folder, urls = fresh("dl-parts"), [SERVER.url(path) for path, _, _ in cases]
        rows = [(url, str(len(r.body)), LOADED) for url, (_, r, _) in zip(urls, cases)]
        files = {name: r.body for _, r, name in cases}
        self.check_end(SESSION.finish(self.start(folder, urls[:3])), rows[:3], dict(list(files.items())[:3]))
        self.check_end(SESSION.finish(self.start(folder, urls[3:])), rows[3:], files, saved=1)

    def test_every_line_fetched_and_every_row_ended(self):
        """Addresses that name no file or a short one, blank lines, two files of one name, an address repeated, one
        long address and one too long."""
        folder = fresh("dl-walk")
        room = 259 - len(f"C:\\e2e\\{folder.name}\\Tulvex_files\\")
        cases = [("/", Reply(body=b"home", headers=[("Content-Type", "text/html")]), "index.htm"),  # path, reply, name
                 ("/w/go", Reply(body=b"go"), "go"),
                 ("/w/?to=http://example.org/", Reply(body=b"to"), "_to=http___example.org_"),
                 ("/a/same.txt", Reply(body=b"a"), "same.txt"),
                 ("/b/same.txt", Reply(body=b"b", delay=0.3), "same (2).txt"),
                 ("/l/" + "y" * 600, Reply(body=b"long"), "y" * room),
                 ("/x/" + "z" * 2100, Reply(), None)]
        for path, reply, _ in cases:
            SERVER.script(path, reply)
        urls = [SERVER.url(path) for path, _, _ in cases]
        run = SESSION.finish(self.start(folder, urls[:2] + ["", "  "] + urls[2:5] + urls[4:]))
        self.check_end(run, [(url[:2083], str(len(r.body)), LOADED if name else "Недоступен")
                             for url, (_, r, name) in zip(urls, cases)], {name: r.body for _, r, name in cases if name})
