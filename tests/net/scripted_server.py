#!/usr/bin/env python3
"""A misbehaving HTTP server for the download tests: each path under /s/ plays one script
of sends (in pieces of a chosen size), pauses, early closes and resets.

Usage: scripted_server.py PORTFILE   (listens on 127.0.0.1, ports chosen by the system)
Writes "scripted PORT", "blackhole PORT" and "tls_stall PORT" lines to PORTFILE, then
serves until killed. The black-hole port has a full accept queue, so a connect to it gets
no answer at all; the TLS-stall port accepts, reads a client's hello and never answers.
"""
import socket
import socketserver
import struct
import sys
import threading
import time
from urllib.parse import parse_qs, urlsplit

FINAL_BODY = b"final body\r\nsecond line\r\n"
REDIRECT_BODY = b"THIS IS A REDIRECT BODY AND MUST NOT BE SAVED"


def response(status, headers, body=b""):
    head = "HTTP/1.1 %s\r\n" % status + "".join("%s\r\n" % h for h in headers) + "\r\n"
    return head.encode("latin-1") + body


def ok(body, extra=()):
    return response("200 OK", ["Content-Length: %d" % len(body), *extra], body)


def chunked(pieces, trailer=b"", ext=b""):
    out = b""
    for piece in pieces:
        out += b"%x%s\r\n%s\r\n" % (len(piece), ext, piece)
    return out + b"0\r\n" + trailer + b"\r\n"


def scenario(name, query, request, port):
    """The actions of one script: bytes to send, ("sleep", seconds), "close" or "reset",
    and ("piece", n, seconds) to send later bytes in pieces of n bytes that far apart."""
    q = {k: v[0] for k, v in parse_qs(query).items()}
    if name == "echo":
        return [ok(request)]
    if name == "final":
        return [ok(FINAL_BODY)]
    if name == "status":
        return [("HTTP/1.1 %s\r\nContent-Length: %d\r\n\r\n" % (q["line"], len(FINAL_BODY))).encode() + FINAL_BODY]
    if name == "raw":  # the line text of a whole response, for the header spellings
        return [q["text"].encode("latin-1")]
    if name == "tiny":  # every byte its own piece
        return [("piece", 1, 0.001), ok(FINAL_BODY, ["X-Padding: " + "p" * 40])]
    if name == "headers":  # a header block of about size bytes over many blocks
        size = int(q["size"])
        lines = ["X-Filler-%d: %s" % (i, "f" * 90) for i in range(size // 100)]
        return [response("200 OK", [*lines, "Content-Length: %d" % len(FINAL_BODY)], FINAL_BODY)]
    if name == "chunked":
        data = FINAL_BODY * 3
        pieces = [data[:1], data[1:3], data[3:20], data[20:]]
        return [("piece", int(q.get("piece", "4096")), 0.001),
                response("200 OK", ["Transfer-Encoding: chunked"],
                         chunked(pieces, trailer=b"X-Checksum: 1\r\nX-Other: 2\r\n", ext=b";name=value"))]
    if name == "chunked_raw":  # a chunked header block and the body as given
        headers = ["Transfer-Encoding: chunked"] + ([q["header"]] if "header" in q else [])
        return [("piece", int(q.get("piece", "4096")), 0.001),
                response("200 OK", headers, q["body"].encode("latin-1")), "close"]
    if name == "truncated":  # a length promised and half of it sent
        return [response("200 OK", ["Content-Length: %d" % (2 * len(FINAL_BODY))], FINAL_BODY), "close"]
    if name == "stall":  # half of the body, then nothing until long after the time limit
        return [response("200 OK", ["Content-Length: %d" % (2 * len(FINAL_BODY))], FINAL_BODY), ("sleep", 14)]
    if name == "until_close":  # no length: the body runs until the close, with a pause
        return [response("200 OK", ["Content-Type: text/plain"], FINAL_BODY), ("sleep", float(q.get("pause", "0"))),
                FINAL_BODY, "close" if q.get("end") != "reset" else "reset"]
    if name == "redirect":
        location = q.get("to", "/s/final").replace("PORT", str(port))
        code = q.get("code", "302")
        return [response("%s Moved" % code, ["Location: " + location, "Content-Length: %d" % len(REDIRECT_BODY)],
                         REDIRECT_BODY)]
    if name == "hops":  # n redirects in a row, then the final body
        n = int(q["n"])
        if n == 0:
            return [ok(FINAL_BODY)]
        return [response("301 Moved", ["Location: /s/hops?n=%d" % (n - 1), "Content-Length: 0"])]
    if name == "silent_close":
        return ["close"]
    if name == "slow":  # the benchmark's server: a first answer late, then timed pieces
        size, piece = int(q["size"]), int(q["piece"])
        body = bytes((i * 7 + 3) & 0xFF for i in range(256)) * (size // 256)
        return [("sleep", int(q["first"]) / 1000), ("piece", piece, int(q["delay"]) / 1000),
                response("200 OK", ["Content-Length: %d" % len(body)]), body]
    if name == "pingpong":  # answers each byte it gets with the same byte
        return ["pingpong"]
    return [response("404 Not Found", ["Content-Length: 0"])]


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        request = b""
        while b"\r\n\r\n" not in request:
            data = sock.recv(65536)
            if not data:
                return
            request += data
        target = request.split(b" ", 2)[1].decode("latin-1")
        parts = urlsplit(target)
        name = parts.path[3:] if parts.path.startswith("/s/") else ""
        piece, delay = None, 0.0
        for action in scenario(name, parts.query, request, self.server.server_address[1]):
            if isinstance(action, bytes):
                if piece is None:
                    sock.sendall(action)
                else:
                    for i in range(0, len(action), piece):
                        sock.sendall(action[i:i + piece])
                        if delay:
                            time.sleep(delay)
            elif action == "close":
                break
            elif action == "reset":
                # Closed here, before the server's own shutdown could send an orderly FIN.
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                sock.close()
                break
            elif action == "pingpong":
                early = request.split(b"\r\n\r\n", 1)[1]
                if early:
                    time.sleep(0.002)
                    sock.sendall(early)
                while True:
                    data = sock.recv(1)
                    if not data:
                        break
                    time.sleep(0.002)
                    sock.sendall(data)
            elif action[0] == "sleep":
                time.sleep(action[1])
            elif action[0] == "piece":
                piece, delay = action[1], action[2]


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def black_hole():
    """A listener that never accepts, its queue filled, so further SYNs go unanswered."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    fillers = []
    for _ in range(3):
        filler = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        filler.setblocking(False)
        try:
            filler.connect(listener.getsockname())
        except BlockingIOError:
            pass
        fillers.append(filler)
    time.sleep(0.2)
    return listener, fillers


class SilentHandler(socketserver.BaseRequestHandler):
    """Takes what the client sends and says nothing, until the client gives up."""
    def handle(self):
        while self.request.recv(65536):
            pass


def main():
    server = Server(("127.0.0.1", 0), Handler)
    silent = Server(("127.0.0.1", 0), SilentHandler)
    threading.Thread(target=silent.serve_forever, daemon=True).start()
    hole = black_hole()
    with open(sys.argv[1] + ".new", "w") as f:
        f.write("scripted %d\nblackhole %d\ntls_stall %d\n" % (server.server_address[1], hole[0].getsockname()[1],
                                                                   silent.server_address[1]))
    import os
    os.replace(sys.argv[1] + ".new", sys.argv[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
