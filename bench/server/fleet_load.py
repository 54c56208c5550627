#!/usr/bin/env python3
"""A fleet's load on the catalogue service: every screen of a tokens file
reports on its own schedule (its turns spread evenly over the interval, as a
real fleet's are) while the fleet page's /fleet.json is read and catalogue
and picture requests are timed. HTTP/1.1 with kept-alive connections, on
asyncio, so that one process keeps up with thousands of screens.

  fleet_load.py --url URL --tokens FILE --jpeg FILE --password PW [options]
  fleet_load.py --url URL --probe PATH ... --probe-only N

Prints what was sent and how it was answered, and the percentiles.
"""
import argparse
import asyncio
import base64
import json
import time

MAX_REPLY_BYTES = 64 * 1024 * 1024


class Connection:
    """One kept-alive connection; reopened when the server closed it."""

    def __init__(self, host, port):
        self.host, self.port = host, port
        self.reader = self.writer = None

    async def request(self, head, body=b""):
        for attempt in (0, 1):
            fresh = self.writer is None
            if fresh:
                self.reader, self.writer = await asyncio.open_connection(self.host, self.port)
            try:
                self.writer.write(head + body)
                await self.writer.drain()
                return await self.read_reply()
            except (ConnectionError, asyncio.IncompleteReadError):
                self.close()
                if fresh or attempt:
                    raise
        raise ConnectionError("unreachable")

    async def read_reply(self):
        head = await self.reader.readuntil(b"\r\n\r\n")
        lines = head.decode("latin-1").split("\r\n")
        status = int(lines[0].split(" ")[1])
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                headers[name.strip().lower()] = value.strip()
        if headers.get("transfer-encoding", "").lower() == "chunked":
            body = await self.read_chunked()
        else:
            length = int(headers.get("content-length", "0"))
            if length > MAX_REPLY_BYTES:
                raise ConnectionError("reply too large")
            body = await self.reader.readexactly(length)
        if headers.get("connection", "").lower() == "close":
            self.close()
        return status, headers, body

    async def read_chunked(self):
        body = bytearray()
        while True:
            size = int((await self.reader.readuntil(b"\r\n")).split(b";")[0], 16)
            if len(body) + size > MAX_REPLY_BYTES:
                raise ConnectionError("reply too large")
            body += await self.reader.readexactly(size + 2)
            del body[len(body) - 2:]
            if size == 0:
                await self.reader.readuntil(b"\r\n")
                return bytes(body)

    def close(self):
        if self.writer:
            self.writer.close()
        self.reader = self.writer = None


def percentiles(samples):
    if not samples:
        return "no samples"
    ordered = sorted(samples)
    at = lambda q: ordered[min(len(ordered) - 1, int(q * len(ordered)))]
    return "n=%d p50=%.1f ms p99=%.1f ms max=%.1f ms" % (
        len(ordered), at(0.5), at(0.99), ordered[-1])


def get_head(path, extra=""):
    return ("GET %s HTTP/1.1\r\nHost: fleet\r\n%s\r\n" % (path, extra)).encode()


async def timed_get(connection, path, extra=""):
    started = time.monotonic()
    status, _, body = await connection.request(get_head(path, extra))
    return status, body, (time.monotonic() - started) * 1000


async def probe_loop(args, path, samples, stop, pause):
    connection = Connection(args.host, args.port)
    while not stop.is_set():
        try:
            status, _, ms = await timed_get(connection, path)
            samples.append(ms if status == 200 else float("inf"))
        except (OSError, asyncio.IncompleteReadError):
            samples.append(float("inf"))
            connection.close()
        await asyncio.sleep(pause)


async def page_loop(args, samples, last, stop, encoding):
    """Reads /fleet.json every page interval, as a script does (no
    encoding) or as the fleet page in a browser does (compressed)."""
    connection = Connection(args.host, args.port)
    auth = "Authorization: Basic %s\r\n" % base64.b64encode(
        b"fleet:" + args.password.encode()).decode()
    if encoding:
        auth += "Accept-Encoding: %s\r\n" % encoding
    while not stop.is_set():
        started = time.monotonic()
        try:
            status, body, ms = await timed_get(connection, "/fleet.json", auth)
            samples.append(ms if status == 200 else float("inf"))
            if status == 200:
                last["bytes"] = len(body)
                last["body"] = body
        except (OSError, asyncio.IncompleteReadError):
            samples.append(float("inf"))
            connection.close()
        await asyncio.sleep(max(0, args.page_interval - (time.monotonic() - started)))


def report_body(name, thumbnail):
    return json.dumps({
        "name": name, "version": "7.8.12", "lastGood": False,
        "since": "2026-12-10T09:00:00Z", "slide": 3, "address": "http://example.org/",
        "cycleStarted": "2026-12-10T09:40:00Z", "cycleMs": 31000, "fetched": 27,
        "failed": 0, "network": "up", "service": "reachable", "thumbnail": thumbnail,
    }, separators=(",", ":")).encode()


async def send_report(pool, screen, thumbnail, counts, latency, due):
    name, token = screen
    body = report_body(name, thumbnail)
    head = ("POST /fleet/report HTTP/1.1\r\nHost: fleet\r\nAuthorization: Bearer %s\r\n"
            "Content-Type: application/json\r\nContent-Length: %d\r\n\r\n"
            % (token, len(body))).encode()
    connection = await pool.get()
    started = time.monotonic()
    if started - due > 1:
        counts["late"] += 1
    try:
        status, _, _ = await connection.request(head, body)
        counts[status] = counts.get(status, 0) + 1
        latency.append((time.monotonic() - started) * 1000)
    except (OSError, asyncio.IncompleteReadError):
        counts["error"] += 1
        connection.close()
    finally:
        pool.put_nowait(connection)


async def report_schedule(args, screens, thumbnail, counts, latency):
    pool = asyncio.Queue()
    for _ in range(args.connections):
        pool.put_nowait(Connection(args.host, args.port))
    start = time.monotonic()
    total = int(args.duration / args.interval * len(screens))
    tasks = set()
    for j in range(total):
        due = start + (j // len(screens)) * args.interval + \
            (j % len(screens)) * args.interval / len(screens)
        await asyncio.sleep(max(0, due - time.monotonic()))
        counts["sent"] += 1
        task = asyncio.ensure_future(
            send_report(pool, screens[j % len(screens)], thumbnail, counts, latency, due))
        tasks.add(task)
        task.add_done_callback(tasks.discard)
    await asyncio.gather(*tasks)
    return time.monotonic() - start


async def probe_only(args):
    for path in args.probe:
        connection = Connection(args.host, args.port)
        samples = []
        for _ in range(args.probe_only):
            status, _, ms = await timed_get(connection, path)
            samples.append(ms if status == 200 else float("inf"))
        print("  %-34s %s" % (path, percentiles(samples)))


async def run(args):
    screens = [tuple(line.split()) for line in open(args.tokens) if line.strip()]
    thumbnail = base64.b64encode(open(args.jpeg, "rb").read()).decode()
    counts = {"sent": 0, "late": 0, "error": 0}
    report_latency = []
    readers = {"": ([], {}), "gzip, deflate, br": ([], {})}
    probes = {path: [] for path in args.probe}
    stop = asyncio.Event()
    loops = [asyncio.ensure_future(page_loop(args, samples, last, stop, encoding))
             for encoding, (samples, last) in readers.items()]
    loops += [asyncio.ensure_future(probe_loop(args, path, probes[path], stop, 0.2))
              for path in args.probe]
    took = await report_schedule(args, screens, thumbnail, counts, report_latency)
    stop.set()
    await asyncio.gather(*loops)
    refused = sum(n for status, n in counts.items() if isinstance(status, int) and status != 204)
    print("%d screens every %g s for %g s: %d reports sent in %.0f s, %d-byte thumbnails"
          % (len(screens), args.interval, args.duration, counts["sent"], took,
             len(thumbnail)))
    print("  stored (204) %d, refused %d %s, connection errors %d, more than 1 s late %d"
          % (counts.get(204, 0), refused,
             {s: n for s, n in counts.items() if isinstance(s, int) and s != 204},
             counts["error"], counts["late"]))
    print("  report round trip: %s" % percentiles(report_latency))
    plain = readers[""][1]
    listed = len(json.loads(plain["body"])) if "body" in plain else 0
    for encoding, (samples, last) in readers.items():
        print("  /fleet.json every %g s, %s (%d screens, %d bytes): %s"
              % (args.page_interval, "Accept-Encoding: " + encoding if encoding else "plain",
                 listed, last.get("bytes", 0), percentiles(samples)))
    for path, samples in probes.items():
        print("  %-34s %s" % (path, percentiles(samples)))
    return 0 if refused == 0 and counts["error"] == 0 else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--url", required=True, help="http://HOST:PORT of the service or nginx")
    parser.add_argument("--tokens", help="lines of NAME TOKEN")
    parser.add_argument("--jpeg", help="the thumbnail every report carries")
    parser.add_argument("--password", default="", help="the fleet page's password")
    parser.add_argument("--duration", type=float, default=120)
    parser.add_argument("--interval", type=float, default=60)
    parser.add_argument("--connections", type=int, default=32)
    parser.add_argument("--page-interval", type=float, default=1)
    parser.add_argument("--probe", action="append", default=[],
                        help="a path timed every 0.2 s during the run")
    parser.add_argument("--probe-only", type=int, default=0,
                        help="only time N requests of each --probe, one after the other")
    args = parser.parse_args()
    authority = args.url.split("//", 1)[1].rstrip("/")
    args.host, port = authority.rsplit(":", 1)
    args.port = int(port)
    if args.probe_only:
        asyncio.run(probe_only(args))
        return 0
    return asyncio.run(run(args))


if __name__ == "__main__":
    raise SystemExit(main())
