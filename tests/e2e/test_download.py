"""tulvex.exe under Wine: the save-all-links mode against a scripted local server (Wine's WinINet never positions
a response, so every fetch here reads in one go): rows, boxes, the files it saves and where, Explorer."""
import shutil
import time
import unittest

import harness
from harness import SCRATCH, SESSION, cp1251, records, small_disk, wait_for, window_state
from httpserver import Reply, Server

SERVER = Server()
setUpModule, tearDownModule = harness.setUpModule, harness.tearDownModule
TEMP = b"the user's own temp.txt\r\n"
LOADED, PARTLY, UNAVAILABLE = "Загружен", "Частично загружен", "Недоступен"


def body(size, seed):
    """Bytes that differ from their neighbours, so that a cut or shifted file shows."""
    return bytes((i * 7 + seed * 31 + (i >> 8)) & 0xFF for i in range(size))


def fresh(name):
    shutil.rmtree(SCRATCH / name, ignore_errors=True)
    (SCRATCH / name).mkdir()
    return SCRATCH / name


class SaveAllLinks(unittest.TestCase):
    def download(self, folder, clipboard, locale=None, timeout=60):
        """The mode in a current folder that holds the user's own temp.txt, when it has ended."""
        self.folder, SERVER.requests = folder, []
        (folder / "temp.txt").write_bytes(TEMP)
        SESSION.set_install_folder(harness.INSTALL_FOLDER)
        SESSION.set_clipboard(clipboard, locale)
        return SESSION.finish(SESSION.start_tulvex("(tulvex_loud_links)", cwd=folder), timeout)

    def check_end(self, run, rows, files, saved=None):
        """The summary box over the final rows; these files alone, nothing beside them; Explorer when one was saved."""
        saved, final, saved_files = len(files) if saved is None else saved, run.boxes[-1], self.folder / "Tulvex_files"
        summary = cp1251(f"Загружено файлов: {saved} из {len(rows)}     ")
        self.assertEqual((final.caption, final.text, final.main_title), (cp1251("Результат"), summary, b"Tulvex 1.15"))
        self.assertEqual(final.rows, [[str(i).encode(), address, size.encode(), cp1251(status)]
                                      for i, (address, size, status) in enumerate(rows, 1)])
        self.assertEqual({p.name: p.read_bytes() for p in saved_files.iterdir()} if saved_files.exists() else {}, files)
        self.assertEqual((sorted(p.name for p in self.folder.iterdir()), (self.folder / "temp.txt").read_bytes()),
                         (["Tulvex_files", "temp.txt"], TEMP))
        explorer = [("Explorer.exe", b"Explorer.exe C:\\e2e\\" + self.folder.name.encode() + b"\\Tulvex_files")]
        self.assertEqual((run.started, run.exit_code), (explorer if saved else [], 0))

    def test_server_faults_end_each_row_truthfully(self):
        known, long_body, norm, target = body(50000, 1), body(1500, 2), body(96000, 4), body(7000, 3)
        SERVER.script("/elsewhere/target.dat", Reply(body=target))
        dead = "http://127.0.0.1:1/k/dead.bin"  # nothing listens on port 1
        cases = [(dead, None, "0", "Проверка", None),  # address or path, reply, size column, status, file written
                 ("/k/known.bin", Reply(body=known), "50000", LOADED, known),
                 ("/k/short.bin", Reply(body=long_body[:600], length="1000"), "1000", PARTLY, long_body[:600]),
                 ("/k/missing.bin", Reply(404, b"<html>not found</html>"), "0", UNAVAILABLE, None),
                 ("/k/moved.bin", Reply(302, headers=[("Location", SERVER.url("/elsewhere/target.dat"))]), "7000",
                  LOADED, target),
                 # The reset waits until the head and the first bytes have been taken.
                 ("/k/reset.bin", Reply(body=long_body * 4, length="10000", end="reset", piece=3000, pause=0.5),
                  "10000", "Не читается", None),
                 ("/k/unknown.bin", Reply(body=norm, length=None), "96000", "Больше нормы", None)]
        for path, reply, *_ in cases[1:]:
            SERVER.script(path, reply)
        addresses = [(path if path == dead else SERVER.url(path)).encode() for path, *_ in cases]
        run = self.download(fresh("dl-faults"), b"\r\n".join(addresses) + b"\r\n", timeout=90)
        self.check_end(run, [(a, size, status) for a, (_, _, size, status, _) in zip(addresses, cases)],
                       {path.rsplit("/", 1)[1]: data for path, _, _, _, data in cases if data is not None})
        dead_row = [b"1", addresses[0], b"0", cp1251("Проверка")]
        self.assertEqual([(box.caption, box.text, box.rows) for box in run.boxes[:-1]],
                         [(cp1251("Адрес не открывается.   "), addresses[0], [dead_row])])
        self.assertEqual(SERVER.requests[0].headers.get("User-Agent"), "Microsoft Internet Explorer")

    def test_names_of_a_unicode_list_under_an_english_layout_and_no_list(self):
        """The walk's own rules are the core tests'; here the names of files on disk: escapes decoded, forbidden
        characters and device names made usable, nothing written outside the folder."""
        names = [("/n/%D0%BE%D1%82%D1%87%D1%91%D1%82%202008.doc", "отчёт 2008.doc"), ("/n/a%3Ab.txt", "a_b.txt"),
                 ("/n/..%2F..%2Fx.txt", ".._.._x.txt"), ("/n/get.php?id=5", "get.php_id=5"),
                 ("/n/con.txt", "_con.txt"), ("/n/Ёлка.bin", "Ёлка.bin")]
        sent = [cp1251(path).decode("latin-1") for path, _ in names]  # Wine's WinINet sends Windows-1251 bytes as such
        for i, path in enumerate(sent):
            SERVER.script(path, Reply(body=body(300 + i, i)))
        urls = [SERVER.url(path) for path, _ in names]
        for case, clipboard, fetched in [("names", "\r\n".join(urls), range(len(names))), ("none", None, [])]:
            with self.subTest(case):
                run = self.download(fresh("dl-" + case), clipboard, locale="0409")
                self.check_end(run, [(cp1251(urls[i]), str(300 + i), LOADED) for i in fetched],
                               {names[i][1]: body(300 + i, i) for i in fetched})
                self.assertEqual([r.path for r in SERVER.requests], [sent[i] for i in fetched])
                self.assertFalse((SCRATCH / "x.txt").exists())  # Tulvex_files\..\..\x.txt

    def test_long_list_keeps_the_row_being_fetched_in_sight(self):
        paths = [f"/l/file{i:02}.bin" for i in range(30)]
        for i, path in enumerate(paths):  # the 25th has no length: the walk waits some seconds on it
            SERVER.script(path, Reply(body=body(200 + i, i), length=None if i == 24 else "auto"))
        SESSION.set_install_folder(harness.INSTALL_FOLDER)
        SESSION.set_clipboard("\n".join(SERVER.url(p) for p in paths).encode())
        process = SESSION.start_tulvex("(tulvex_loud_links)", cwd=fresh("dl-long"))
        try:
            wait_for(lambda: any(r.path == paths[24] for r in SERVER.requests), 60, "the slow row")
            time.sleep(1)
            SESSION.wine("C:\\tv\\rows.exe", "C:\\e2e\\rows.log")
        finally:
            final = SESSION.finish(process, timeout=60).boxes[-1]
        during = window_state(records(SCRATCH / "rows.log")[-1][1:])
        self.assertEqual((during.count, len(final.rows), final.rows[-1][3]), (25, 30, cp1251(LOADED)))
        self.assertTrue(during.top <= 24 < during.top + during.per_page, f"row 25 of {during}")
        self.assertTrue(final.top <= 29 < final.top + final.per_page, f"row 30 of {final}")

    def test_full_disk_keeps_the_older_file_and_goes_on(self):
        older, newer, fits = body(100_000, 50), body(300_000, 51), body(60_000, 52)
        SERVER.script("/f/keep.bin", Reply(body=newer))
        SERVER.script("/f/next.bin", Reply(body=fits))
        addresses = [SERVER.url(p).encode() for p in ("/f/keep.bin", "/f/next.bin")]
        shutil.rmtree(SCRATCH / "dl-full", ignore_errors=True)
        with small_disk(SCRATCH / "dl-full", 200) as folder:
            (folder / "Tulvex_files").mkdir()
            (folder / "Tulvex_files" / "keep.bin").write_bytes(older)
            run = self.download(folder, b"\n".join(addresses))
            self.check_end(run, [(addresses[0], "300000", "Ош. записи"), (addresses[1], "60000", LOADED)],
                           {"keep.bin": older, "next.bin": fits}, saved=1)
