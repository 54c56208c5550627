#!/bin/sh
# What a few abusive requests cost the service:
#   ranges  one request for a picture with RANGES (default 2000) ranges "0-":
#           the bytes that come back, against the picture's own size;
#   bodies  HOLDERS (default 80) connections each sending a POST head that
#           announces 60,000 bytes it never sends, reopened 100 ms after
#           each close;
#           meanwhile a picture is asked for every 250 ms over HOLD_SECONDS
#           (default 6): its median and worst latency.
#
#   bench/server/abusive-requests.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/../.."
. bench/server/lib.sh

need_tools python3
start_service "${1:-}"
echo "service at $SERVICE_URL; loopback, $(nproc) cores"
RANGES=${RANGES:-2000} HOLDERS=${HOLDERS:-80} SECONDS_=${HOLD_SECONDS:-6} \
    python3 - "$SERVICE_AUTHORITY" <<'PY'
import os, socket, statistics, sys, threading, time

host, port = sys.argv[1].rsplit(":", 1)
port = int(port)
PICTURE = b"/site/maps/europe_pressure.jpg"


def ask(extra=b""):
    """Bytes of the whole answer and the seconds it took."""
    started = time.monotonic()
    with socket.create_connection((host, port), timeout=60) as sock:
        sock.sendall(b"GET " + PICTURE + b" HTTP/1.1\r\nHost: bench\r\nConnection: close\r\n"
                     + extra + b"\r\n")
        answer = b""
        while chunk := sock.recv(1 << 20):
            answer += chunk
    return answer, time.monotonic() - started


whole, _ = ask()
size = len(whole) - whole.index(b"\r\n\r\n") - 4
ranges = int(os.environ["RANGES"])
answer, took = ask(b"Range: bytes=" + b",".join([b"0-"] * ranges) + b"\r\n")
print("ranges: picture %d bytes; %d x '0-' -> %s, %d bytes (%.1f x) in %.2f s"
      % (size, ranges, answer.split(b"\r\n")[0].decode(), len(answer), len(answer) / size, took))

holders = int(os.environ["HOLDERS"])
seconds = float(os.environ["SECONDS_"])
stop = time.monotonic() + seconds
reopened = 0


def hold():
    global reopened
    while time.monotonic() < stop:
        try:
            with socket.create_connection((host, port), timeout=5) as sock:
                sock.sendall(b"POST " + PICTURE + b" HTTP/1.1\r\nHost: bench\r\n"
                             b"Content-Length: 60000\r\n\r\n")
                sock.settimeout(max(0.01, stop - time.monotonic()))
                while sock.recv(4096):
                    pass
        except OSError:
            pass
        reopened += 1
        time.sleep(0.1)


threads = [threading.Thread(target=hold) for _ in range(holders)]
for t in threads:
    t.start()
time.sleep(0.2)
latencies = []
while time.monotonic() < stop - 0.25:
    answer, took = ask()
    latencies.append(took * 1000)
    time.sleep(0.25)
for t in threads:
    t.join()
print("bodies: %d holders (%d connections in all); %d pictures: median %.1f ms, worst %.1f ms"
      % (holders, reopened, len(latencies), statistics.median(latencies), max(latencies)))
PY
