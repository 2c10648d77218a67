#!/usr/bin/env python3
"""A small HTTP server on 127.0.0.1 that answers the way a broken update
server or network would, for the download tests.

usage: fault_server.py PORT_FILE PROXY_USER PROXY_PASSWORD
Binds a free loopback port, writes its number to PORT_FILE and serves:
  /status/N     status N with a short body
  /nolength     200 without a Content-Length header
  /short        Content-Length 100000, then 1000 bytes and the end of the connection
  /reset        the status line, headers and part of the body; once the
                client has taken them, a connection reset
  /slow         Content-Length 10 MB, trickled 512 bytes every 100 ms
  /stall/MS     nothing for MS milliseconds, then 200 with a short body
  /denied       401 with WWW-Authenticate, every time
  /endless/N    status N (401 or 407) with its challenge and a body without
                length that goes on as fast as the client takes it
  /count/PATH   how many requests PATH has had (as text; /count/proxy: as a proxy)
  /run/TAG/PATH served as /PATH, counted as itself: a test's own tag keeps
                its count apart from every other request for PATH
  /echo         the request line and headers as the body
Used as a proxy (a request for an absolute URL), it is a strict one: 407
unless the request carries the given credentials, then 200 with a short body.
Every trickle and endless body stops after 120 s, so that nothing here runs
for ever.
"""
import base64
import collections
import http.server
import socket
import struct
import sys
import threading
import time

TRICKLE_LIMIT_S = 120
# How long /reset waits for the client to take what it was sent.
TAKEN_LIMIT_S = 10
CHALLENGES = {401: "WWW-Authenticate", 407: "Proxy-Authenticate"}
counts = collections.Counter()
counts_lock = threading.Lock()
proxy_credentials = ""


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path.startswith("http://"):
            self.act_as_proxy()
            return
        path = self.path.split("?", 1)[0]
        with counts_lock:
            counts[path] += 1
        if path.startswith("/run/"):
            path = "/" + path.split("/", 3)[3] if path.count("/") >= 3 else "/"
        if path.startswith("/count/"):
            with counts_lock:
                body = str(counts["/" + path[len("/count/"):]]).encode()
            self.answer(200, body)
        elif path == "/echo":
            self.answer(200, (self.requestline + "\r\n" + str(self.headers)).encode("latin-1"))
        elif path.startswith("/status/"):
            status = int(path[len("/status/"):])
            self.answer(status, b"status %d\n" % status)
        elif path == "/nolength":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(b"x" * 1000)
            self.close_connection = True
        elif path == "/short":
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(b"s" * 1000)
            self.wfile.flush()
            self.close_connection = True
        elif path == "/reset":
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.wfile.write(b"r" * 100)
            self.wfile.flush()
            # A reset that comes before the client has read the headers takes
            # them with it, and the request fails instead of the body.
            self.wait_until_taken()
            self.reset()
        elif path.startswith("/stall/"):
            time.sleep(int(path[len("/stall/"):]) / 1000)
            self.answer(200, b"late\n")
        elif path == "/slow":
            self.send_response(200)
            self.send_header("Content-Length", str(10 * 1024 * 1024))
            self.end_headers()
            self.stream(b"t" * 512, 0.1)
        elif path == "/denied":
            self.answer(401, b"denied\n", [("WWW-Authenticate", 'Basic realm="fault"')])
        elif path.startswith("/endless/"):
            status = int(path[len("/endless/"):])
            self.send_response(status)
            self.send_header(CHALLENGES[status], 'Basic realm="endless"')
            self.send_header("Connection", "close")
            self.end_headers()
            self.stream(b"e" * 16384, 0)
        else:
            self.answer(404, b"not found\n")

    def stream(self, chunk, pause_s):
        """Writes chunk after chunk until the client goes or the time is up."""
        started = time.monotonic()
        try:
            while time.monotonic() - started < TRICKLE_LIMIT_S:
                self.wfile.write(chunk)
                self.wfile.flush()
                time.sleep(pause_s)
        except OSError:
            pass
        self.close_connection = True

    def wait_until_taken(self):
        """Waits until what was sent has reached the client and the client has
        read it. The kernel's table of TCP sockets shows both, the client being
        on this machine: first the send queue of our end, then the receive
        queue of the client's (the other order could find data on its way in
        neither)."""
        ours = self.connection.getsockname()[1]
        theirs = self.client_address[1]
        deadline = time.monotonic() + TAKEN_LIMIT_S
        for local, remote, queue in ((ours, theirs, 0), (theirs, ours, 1)):
            while time.monotonic() < deadline and tcp_queues(local, remote)[queue]:
                time.sleep(0.01)

    def reset(self):
        """Ends the connection with a reset rather than an orderly close."""
        # SO_LINGER with a zero time-out makes the close send a reset. The
        # socket goes at once: the server's own close would shut it down
        # first, and the client would see an orderly end before the reset.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.rfile.close()
        self.connection.close()
        self.close_connection = True

    def act_as_proxy(self):
        with counts_lock:
            counts["/proxy"] += 1
        if self.headers.get("Proxy-Authorization") == "Basic " + proxy_credentials:
            self.answer(200, b"proxied\n")
        else:
            self.answer(407, b"credentials needed\n", [("Proxy-Authenticate", 'Basic realm="strict"')])


def tcp_queues(local_port, remote_port):
    """The send and receive queues, in bytes, of the loopback socket from
    local_port to remote_port ((0, 0) when there is none)."""
    with open("/proc/net/tcp") as table:
        for line in table.readlines()[1:]:
            fields = line.split()
            local, remote, queues = fields[1], fields[2], fields[4]
            if int(local.split(":")[1], 16) == local_port and int(remote.split(":")[1], 16) == remote_port:
                return tuple(int(queue, 16) for queue in queues.split(":"))
    return 0, 0


def main():
    global proxy_credentials
    proxy_credentials = base64.b64encode(f"{sys.argv[2]}:{sys.argv[3]}".encode()).decode()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    with open(sys.argv[1], "w") as port_file:
        port_file.write(str(server.server_address[1]))
    server.serve_forever()


if __name__ == "__main__":
    main()
