"""tulvex.exe under Wine: the save-all-links mode against a scripted local server.

Wine's WinINet cannot position a response, so every fetch here reads in one
go; the chunked reading is covered by the core tests.
"""
import shutil
import time
import unittest

import harness
from harness import INSTALL_FOLDER, SCRATCH, SESSION, cp1251
from httpserver import Reply, Server, free_port, wait_until

SERVER = None


def setUpModule():
    global SERVER
    harness.setUpModule()
    SERVER = Server()


def tearDownModule():
    SERVER.stop()
    harness.tearDownModule()


KEYWORD = "(tulvex_loud_links)"
TEMP = b"the user's own temp.txt\r\n"
LOADED, PARTLY, UNAVAILABLE, TOO_LARGE, OVER_NORM, UNREADABLE, WRITE_ERROR, CHECKING = (
    "Загружен", "Частично загружен", "Недоступен", "Слишком большой", "Больше нормы", "Не читается", "Ош. записи",
    "Проверка")


def body(size, seed):
    """Bytes that differ from their neighbours, so a cut or shifted file shows."""
    return bytes((i * 7 + seed * 31 + (i >> 8)) & 0xFF for i in range(size))


def summary(saved, taken):
    return cp1251(f"Загружено файлов: {saved} из {taken}     ")


class SaveAllLinks(unittest.TestCase):
    def download(self, case, clipboard, timeout=60):
        """Runs the mode in a fresh current folder C:\\e2e\\dl-<case> that holds a temp.txt."""
        self.folder = SCRATCH / f"dl-{case}"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir()
        (self.folder / "temp.txt").write_bytes(TEMP)
        SERVER.requests.clear()
        SESSION.set_install_folder(INSTALL_FOLDER)
        SESSION.set_clipboard(clipboard)
        started = time.monotonic()
        run = SESSION.finish(SESSION.start_tulvex(KEYWORD, cwd=self.folder), timeout)
        self.seconds = time.monotonic() - started
        return run

    def saved_files(self):
        folder = self.folder / "Tulvex_files"
        return {path.name: path.read_bytes() for path in folder.iterdir()} if folder.exists() else {}

    def check_end(self, run, rows, files, saved=None):
        """The summary box over the final rows, the files, temp.txt and Explorer."""
        saved = len(files) if saved is None else saved
        numbered = [[str(i + 1).encode(), address, size.encode(), cp1251(status)]
                    for i, (address, size, status) in enumerate(rows)]
        final = run.boxes[-1]
        self.assertEqual((final.caption, final.text), (cp1251("Результат"), summary(saved, len(rows))))
        self.assertEqual(final.main_title, b"Tulvex 1.15")
        self.assertEqual(final.rows, numbered)
        self.assertEqual(self.saved_files(), files)
        self.assertEqual(sorted(p.name for p in self.folder.iterdir()), ["Tulvex_files", "temp.txt"])
        self.assertEqual((self.folder / "temp.txt").read_bytes(), TEMP)
        explorer = [("Explorer.exe", f"Explorer.exe C:\\e2e\\{self.folder.name}\\Tulvex_files".encode())]
        self.assertEqual([(l.program, l.command_line) for l in run.launches], explorer if saved else [])
        self.assertEqual(run.exit_code, 0)

    def test_server_faults_end_each_row_truthfully(self):
        known, long_body, norm = body(50000, 1), body(1500, 2), body(96000, 4)
        target = body(7000, 3)
        SERVER.script("/elsewhere/target.dat", Reply(body=target))
        # path, reply, size column, status, file written
        cases = [
            ("/k/known.bin", Reply(body=known), "50000", LOADED, known),
            ("/k/short.bin", Reply(body=long_body[:600], length="1000"), "1000", PARTLY, long_body[:600]),
            ("/k/long.bin", Reply(body=long_body, length="1000"), "1000", LOADED, long_body[:1000]),
            ("/k/missing.bin", Reply(404, b"<html>not found</html>"), "0", UNAVAILABLE, None),
            ("/k/broken.bin", Reply(500, b"<html>error</html>"), "0", UNAVAILABLE, None),
            ("/k/moved.bin", None, "7000", LOADED, target),
            # The reset waits until the head and the first bytes have been taken.
            ("/k/reset.bin", Reply(body=long_body * 4, length="10000", end="reset", piece=3000, pause=0.5),
             "10000", UNREADABLE, None),
            ("/k/huge.bin", Reply(length="3000000000"), "0", TOO_LARGE, None),
            ("/k/huger.bin", Reply(length="99999999999"), "0", TOO_LARGE, None),
            ("/k/norm.bin", Reply(body=norm), "96000", LOADED, norm),  # the norm caps only unknown lengths
            ("/k/get.php?id=5", Reply(body=b"page"), "4", WRITE_ERROR, None),
            ("/k/con.txt", Reply(body=b"device"), "6", WRITE_ERROR, None),
        ]
        for path, reply, *_ in cases:
            if reply:
                SERVER.script(path, reply)
        SERVER.redirect("/k/moved.bin", "/elsewhere/target.dat")
        addresses = [SERVER.url(path).encode() for path, *_ in cases]

        run = self.download("faults", b"\n".join(addresses) + b"\n")
        self.check_end(run, [(a, size, status) for a, (_, _, size, status, _) in zip(addresses, cases)],
                       {path.rsplit("/", 1)[1]: data for path, _, _, _, data in cases if data is not None})
        self.assertEqual(len(run.boxes), 1)
        self.assertEqual(SERVER.requests[0].headers.get("User-Agent"), "Microsoft Internet Explorer")

    def test_list_shapes(self):
        paths = ["/a/one.bin", "/b/one.bin", "/a/two.bin", "/c/one.bin", "/a/three.bin"]
        bodies = {path: body(1000 + 700 * i, 10 + i) for i, path in enumerate(paths)}
        for path, data in bodies.items():
            SERVER.script(path, Reply(body=data))
        url = {path: SERVER.url(path).encode() for path in paths}
        one, one_b, two, one_c, three = (url[path] for path in paths)
        # case, clipboard, the paths fetched in order
        cases = [
            ("crlf", b"\r\n".join([one, two, three]) + b"\r\n", ["/a/one.bin", "/a/two.bin", "/a/three.bin"]),
            ("same-names", b"\n".join([one, one_b, two, one_c]),
             ["/a/one.bin", "/a/two.bin", "/c/one.bin"]),
            ("empty-line", one + b"\n\n" + two + b"\n", ["/a/one.bin"]),
            ("short-name", b"\n".join([one, SERVER.url("/x/a.b").encode(), two]), ["/a/one.bin"]),
            ("empty-list", b"", []),
            ("absent-text", None, []),
        ]
        for case, clipboard, fetched in cases:
            with self.subTest(case):
                run = self.download(case, clipboard)
                files = {path.rsplit("/", 1)[1]: bodies[path] for path in fetched}  # later replaces earlier
                self.check_end(run, [(url[path], str(len(bodies[path])), LOADED) for path in fetched], files,
                               saved=len(fetched))
                self.assertEqual([request.path for request in SERVER.requests], fetched)

    def test_without_length_the_walk_waits_then_reads_at_most_the_norm(self):
        small, norm = body(5000, 20), body(96000, 21)
        SERVER.script("/n/small.bin", Reply(body=small, length=None))
        SERVER.script("/n/norm.bin", Reply(body=norm, length=None))
        addresses = [SERVER.url(p).encode() for p in ("/n/small.bin", "/n/norm.bin")]
        run = self.download("no-length", b"\n".join(addresses), timeout=90)
        self.check_end(run, [(addresses[0], "5000", PARTLY), (addresses[1], "96000", OVER_NORM)],
                       {"small.bin": small})
        self.assertGreater(self.seconds, 2 * 20 * 0.3)  # the waiting passes ran for each

    def test_unreachable_address_is_shown_and_the_walk_goes_on(self):
        SERVER.script("/u/after.bin", Reply(body=b"after"))
        dead = f"http://127.0.0.1:{free_port()}/u/file.bin".encode()
        after = SERVER.url("/u/after.bin").encode()
        run = self.download("unreachable", dead + b"\n" + after)
        box = run.boxes[0]
        self.assertEqual((box.caption, box.text), (cp1251("Адрес не открывается.   "), dead))
        self.assertEqual(box.rows, [[b"1", dead, b"0", cp1251(CHECKING)]])
        self.check_end(run, [(dead, "0", CHECKING), (after, "5", LOADED)], {"after.bin": b"after"})
        self.assertEqual(len(run.boxes), 2)

    def test_stalled_server_leaves_the_program_killable_and_writes_nothing(self):
        SERVER.script("/s/stalled.bin", Reply(body=b"x" * 100, length="10000", end="stall"))
        self.folder = SCRATCH / "dl-stalled"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir()
        (self.folder / "temp.txt").write_bytes(TEMP)
        SERVER.requests.clear()
        SESSION.set_clipboard(SERVER.url("/s/stalled.bin").encode())
        process = SESSION.start_tulvex(KEYWORD, cwd=self.folder)
        try:
            self.assertTrue(wait_until(lambda: SERVER.requests, 30), "the request never came")
            time.sleep(1)
            self.assertIsNone(process.poll())  # still reading, as WinINet never gives up
        finally:
            process.kill()
        process.wait(10)
        self.assertEqual(self.saved_files(), {})
        self.assertEqual((self.folder / "temp.txt").read_bytes(), TEMP)


if __name__ == "__main__":
    unittest.main()
