"""A scriptable HTTP server for the end-to-end tests, on 127.0.0.1 and a free
port, serving from a thread of the test process.

    server = Server()
    server.script("/a/file.bin", Reply(body=b"..."))            # 200 with its Content-Length
    server.script("/b", Reply(404, body=b"gone"))
    server.script("/c", Reply(body=b"x" * 100, length="1000"))  # any Content-Length text
    server.script("/d", Reply(body=b"part", length=None, end="reset"))
    server.redirect("/old/name.bin", "/new/other.bin")
    server.url("/a/file.bin"); server.requests; server.stop()

After the body the connection is closed ("close"), reset at once with
SO_LINGER 0 ("reset"), or held open without sending until the server stops
("stall"). A body can be trickled: `pace` pieces of `piece` bytes with a
pause between them. Paths without a script get 404.
"""
import socket
import socketserver
import struct
import threading
import time
from dataclasses import dataclass, field

REASONS = {200: "OK", 301: "Moved Permanently", 302: "Found", 303: "See Other", 307: "Temporary Redirect",
           404: "Not Found", 500: "Internal Server Error"}


@dataclass
class Reply:
    status: int = 200
    body: bytes = b""
    length: object = "auto"  # "auto": the body's length; None: no Content-Length; else the header's text
    headers: list = field(default_factory=list)  # further (name, value) pairs
    end: str = "close"  # "close", "reset" or "stall"
    piece: int = 0  # with pause: send the body in pieces of this many bytes ...
    pause: float = 0.0  # ... this many seconds apart

    def head(self):
        lines = [f"HTTP/1.1 {self.status} {REASONS.get(self.status, 'Status')}"]
        if self.length is not None:
            lines.append(f"Content-Length: {len(self.body) if self.length == 'auto' else self.length}")
        lines += [f"{name}: {value}" for name, value in self.headers] + ["Connection: close", "", ""]
        return "\r\n".join(lines).encode("latin-1")


@dataclass
class Request:
    method: str
    path: str
    headers: dict


class Server:
    def __init__(self):
        self.replies, self.requests = {}, []
        self.stopping = threading.Event()
        owner = self

        class Handler(socketserver.BaseRequestHandler):
            def handle(self):
                owner._serve(self.request)

        self.tcp = socketserver.ThreadingTCPServer(("127.0.0.1", 0), Handler)
        self.tcp.daemon_threads = True
        self.port = self.tcp.server_address[1]
        threading.Thread(target=self.tcp.serve_forever, daemon=True).start()

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def script(self, path, reply):
        self.replies[path] = reply

    def redirect(self, path, target, status=302):
        self.script(path, Reply(status, b"moved", headers=[("Location", self.url(target))]))

    def stop(self):
        self.stopping.set()
        self.tcp.shutdown()
        self.tcp.server_close()

    def _serve(self, conn):
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = conn.recv(4096)
            if not chunk:
                return
            data += chunk
        lines = data.split(b"\r\n\r\n")[0].decode("latin-1").split("\r\n")
        method, path = lines[0].split(" ")[:2]
        headers = dict(line.split(": ", 1) for line in lines[1:] if ": " in line)
        self.requests.append(Request(method, path, headers))
        reply = self.replies.get(path, Reply(404, b"not scripted"))
        try:
            conn.sendall(reply.head())
            if reply.pause:
                for start in range(0, len(reply.body), reply.piece):
                    conn.sendall(reply.body[start:start + reply.piece])
                    if self.stopping.wait(reply.pause):
                        break
            else:
                conn.sendall(reply.body)
            if reply.end == "reset":
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                conn.close()  # before the handler's own shutdown could send a FIN
            elif reply.end == "stall":
                self.stopping.wait()
        except OSError:
            pass  # the client went away


def free_port():
    """A port on 127.0.0.1 that nothing listens on."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return condition()
