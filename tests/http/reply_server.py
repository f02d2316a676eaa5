"""A loopback TCP server whose replies are chosen by the request path, for the HTTP client
tests: good replies and bad ones (short bodies, no Content-Length, garbage, a header in
pieces, a peer that says nothing). Listens on 127.0.0.1 only, on a port the system picks."""
import socket
import threading
import time


def reply_for(path):
    """A list of (bytes, pause after them); the server closes after the list unless the last
    item is None (then it keeps the connection open until the client closes it)."""
    body = b"hello world"
    ok = b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 11\r\n\r\n"
    if path == "/ok":
        return [(ok + body, 0), None]
    if path == "/lower":
        return [(b"HTTP/1.0 200 OK\r\ncontent-length:5\r\n\r\nabcdefgh", 0), None]
    if path == "/split":          # the header arrives in two pieces
        return [(ok[:20], 0.2), (ok[20:] + body, 0), None]
    if path == "/header-first":   # header alone first, the body later
        return [(ok, 0.3), (body, 0), None]
    if path == "/late-body":      # no Content-Length, the body after a pause, then close
        return [(b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n", 0.3), (b"late ", 0.2), (b"body", 0)]
    if path == "/chunked":        # a chunked body in pieces; the connection stays open
        return [(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", 0.3), (b"5\r\nhello\r\n", 0.2),
                (b"6\r\n world\r\n0\r\n\r\n", 0), None]
    if path == "/short-open":     # promises 100 bytes, sends 10, then silence
        return [(b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", 0), None]
    if path == "/short-close":    # promises 100 bytes, sends 10, then closes
        return [(b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", 0)]
    if path == "/no-length":      # no Content-Length, keeps the connection open
        return [(b"HTTP/1.0 200 OK\r\n\r\n" + b"x" * 5000, 0), None]
    if path == "/huge-length":    # a Content-Length that does not fit in 32 bits
        return [(b"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\nabc", 0)]
    if path == "/garbage":        # no blank line at all, bytes of every value, then close
        return [(bytes(range(256)) * 4, 0)]
    if path == "/silent":         # never answers
        return [(b"", 0), None]
    if path == "/big":
        big = bytes((i * 7) % 256 for i in range(2_000_000))
        return [(b"HTTP/1.0 200 OK\r\nContent-Length: 2000000\r\n\r\n" + big, 0), None]
    return [(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", 0)]


class ReplyServer:
    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(16)
        self.port = self.sock.getsockname()[1]
        self.requests = []
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            threading.Thread(target=self.handle, args=(conn,), daemon=True).start()

    def handle(self, conn):
        with conn:
            while True:
                data = b""
                while b"\r\n\r\n" not in data and b"\n" not in data[-1:]:
                    chunk = conn.recv(65536)
                    if not chunk:
                        return
                    data += chunk
                self.requests.append(data)
                parts = data.split(b" ")
                path = parts[1].decode("latin-1") if len(parts) > 1 else ""
                if data.startswith(b"LINE"):
                    conn.sendall(b"+OK ready\r\n")
                    continue
                steps = reply_for(path)
                keep_open = steps and steps[-1] is None
                for step in steps:
                    if step is None:
                        break
                    payload, pause = step
                    if payload:
                        conn.sendall(payload)
                    if pause:
                        time.sleep(pause)
                if not keep_open:
                    conn.shutdown(socket.SHUT_WR)
                    time.sleep(0.2)
                    return
