"""A scripted HTTP server on 127.0.0.1 for the end-to-end tests: script(path, Reply(...)) answers a request
target (query included); others get 404."""
import re
import socket
import socketserver
import struct
import threading
import time
from collections import namedtuple
from types import SimpleNamespace


# status; body; Content-Length: "auto" the length of what is sent, None none, else the header's text; further
# headers; the body in pieces of `piece` bytes `pause` seconds apart, after `delay` seconds; the first `cuts`
# requests send only `cut` bytes of the body and then end as `end` says: "close", "reset" or "hold" (nothing more
# until the server stops), or a tuple of these, one for each cut request; `ranges`: a Range request gets the rest of
# the body as a 206 (If-Range unheeded), or a 416 when it asks past the end; `etag`: the ETag header; `then`: the
# Reply of every later request, as a file changed on the server
Reply = namedtuple("Reply", "status body length headers piece pause delay cut cuts end ranges etag then",
                   defaults=(200, b"", "auto", (), 0, 0, 0, None, 0, "close", False, None, None))


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True

    def __init__(self):
        self.replies, self.requests, self.stopping, self.lock = {}, [], threading.Event(), threading.Lock()
        super().__init__(("127.0.0.1", 0), lambda conn, _, server: server.serve(conn))
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def url(self, path):
        return f"http://127.0.0.1:{self.server_address[1]}{path}"

    def script(self, path, reply):
        self.replies[path] = reply

    def stop(self):
        self.stopping.set()
        self.shutdown()
        self.server_close()

    def serve(self, conn):
        data = b""
        while b"\r\n\r\n" not in data:
            data += conn.recv(4096) or b"\r\n\r\n"
        lines = data.split(b"\r\n\r\n")[0].decode("latin-1").split("\r\n")
        path = (lines[0].split(" ") + ["", ""])[1]
        headers = dict(line.split(": ", 1) for line in lines[1:] if ": " in line)
        with self.lock:
            seen = sum(r.path == path for r in self.requests)
            self.requests.append(SimpleNamespace(path=path, headers=headers))
        r = self.replies.get(path, Reply(404, b"not scripted"))
        if seen > 0 and r.then:
            r, seen = r.then, seen - 1
        status, body, head = r.status, r.body, [f"{n}: {v}" for n, v in r.headers]
        head += [f"ETag: {r.etag}"] if r.etag else []
        asked = re.fullmatch(r"bytes=(\d+)-", headers.get("Range", ""))
        if r.ranges and asked:
            first = int(asked.group(1))
            status, body = (206, body[first:]) if first < len(body) else (416, b"")
            head.append(f"Content-Range: bytes {first}-{first + len(body) - 1}/{len(r.body)}" if body
                        else f"Content-Range: bytes */{len(r.body)}")
        sent = body[:r.cut] if seen < r.cuts else body
        end = r.end[min(seen, len(r.end) - 1)] if isinstance(r.end, tuple) else r.end
        length = len(body) if r.length == "auto" else r.length
        head = [f"HTTP/1.1 {status} Status", "Connection: close"] + head
        head += [f"Content-Length: {length}"] if length is not None else []
        try:
            if self.stopping.wait(r.delay):
                return
            conn.sendall("\r\n".join(head + ["", ""]).encode("latin-1"))
            piece = r.piece or len(sent) or 1
            for start in range(0, len(sent), piece):
                conn.sendall(sent[start:start + piece])
                if r.pause and self.stopping.wait(r.pause):
                    return
            if seen < r.cuts and end == "hold":
                self.stopping.wait(300)
            elif seen < r.cuts and end == "reset":
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                conn.close()  # before the handler's own shutdown could send a FIN
        except OSError:
            pass  # the client went away


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return condition()
