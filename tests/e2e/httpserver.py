"""A scripted HTTP server on 127.0.0.1 for the end-to-end tests: script(path, Reply(...)) answers a request
target (query included); others get 404."""
import socket
import socketserver
import struct
import threading
import time
from collections import namedtuple
from types import SimpleNamespace


# status; body; Content-Length: "auto" the body's length, None none, else the header's text; further headers;
# "close" or "reset" after the body; the body in pieces of `piece` bytes `pause` seconds apart
Reply = namedtuple("Reply", "status body length headers end piece pause",
                   defaults=(200, b"", "auto", (), "close", 0, 0))


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True

    def __init__(self):
        self.replies, self.requests, self.stopping = {}, [], threading.Event()
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
        self.requests.append(SimpleNamespace(path=path, headers=dict(l.split(": ", 1) for l in lines[1:] if ": " in l)))
        r = self.replies.get(path, Reply(404, b"not scripted"))
        head = [f"HTTP/1.1 {r.status} Status", "Connection: close"] + [f"{n}: {v}" for n, v in r.headers]
        head += [f"Content-Length: {len(r.body) if r.length == 'auto' else r.length}"] if r.length is not None else []
        try:
            conn.sendall("\r\n".join(head + ["", ""]).encode("latin-1"))
            piece = r.piece or len(r.body) or 1
            for start in range(0, len(r.body), piece):
                conn.sendall(r.body[start:start + piece])
                if r.pause and self.stopping.wait(r.pause):
                    break
            if r.end == "reset":
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                conn.close()  # before the handler's own shutdown could send a FIN
        except OSError:
            pass  # the client went away


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return condition()
