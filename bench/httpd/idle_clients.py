#!/usr/bin/env python3
"""Clients that hold connections to the image server on 127.0.0.1:PORT without making
progress, and the figures of what the server does with them:

  - IDLE connections that never send, then one normal GET: how long its reply takes;
  - how long after they were opened the idle connections are closed by the server;
  - a reader of the large image that takes it a little at a time, one that stops for
    PAUSE seconds half-way, and one that stops for 15 s: how much of it each one gets.

  idle_clients.py PORT IDLE IMAGE_BYTES PAUSE
"""
import select
import socket
import sys
import threading
import time

port, idle_count, image_bytes, pause = (int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]),
                                        float(sys.argv[4]))
REQUEST = b"GET / HTTP/1.0\r\n\r\n"


def connect(receive_buffer=0):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    if receive_buffer:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, receive_buffer)
    s.connect(("127.0.0.1", port))
    return s


def read_to_end(s, chunk=65536, every=0.0, pause_at=None, pause_for=0.0):
    got, reset = 0, False
    while True:
        if pause_at is not None and got >= pause_at:
            time.sleep(pause_for)
            pause_at = None
        try:
            data = s.recv(chunk)
        except ConnectionResetError:
            reset = True
            break
        if not data:
            break
        got += len(data)
        if every:
            time.sleep(every)
    return got, reset


idle = [connect() for _ in range(idle_count)]
opened = time.monotonic()
time.sleep(0.5)  # let the server accept them
start = time.monotonic()
probe = connect()
probe.sendall(REQUEST)
first = len(probe.recv(65536))
first_ms = (time.monotonic() - start) * 1000
rest, _ = read_to_end(probe)
print(f"GET beside {idle_count} idle connections: first bytes after {first_ms:.1f} ms, "
      f"all {first + rest} bytes after {(time.monotonic() - start) * 1000:.1f} ms")

closed_after = []
pending = list(idle)
while pending:
    ready, _, _ = select.select(pending, [], [], 30)
    if not ready:
        break
    for s in ready:
        try:
            s.recv(1)
        except ConnectionResetError:
            pass
        closed_after.append(time.monotonic() - opened)
        pending.remove(s)
        s.close()
if closed_after:
    print(f"idle connections closed by the server: {len(closed_after)} of {idle_count}, "
          f"after {min(closed_after):.2f} s to {max(closed_after):.2f} s")
print(f"idle connections still open after 30 s more: {len(pending)}")

# The readers start together; each reads with a small receive buffer,
# so that the reply waits in the server's send queue.
whole = image_bytes + 46
results = {}


def reader(name, **how):
    s = connect(receive_buffer=4096)
    s.sendall(REQUEST)
    begin = time.monotonic()
    got, reset = read_to_end(s, **how)
    results[name] = (got, reset, time.monotonic() - begin)


readers = [
    threading.Thread(target=reader, args=("slow (a receive every 10 ms)",),
                     kwargs={"chunk": 16384, "every": 0.01}),
    threading.Thread(target=reader, args=(f"stops {pause:g} s half-way",),
                     kwargs={"pause_at": whole // 2, "pause_for": pause}),
    threading.Thread(target=reader, args=("stops 15 s after 64 KB",),
                     kwargs={"pause_at": 65536, "pause_for": 15}),
]
for t in readers:
    t.daemon = True
    t.start()
for t in readers:
    t.join()
for name, (got, reset, seconds) in sorted(results.items()):
    print(f"reader {name}: {got} of {whole} bytes in {seconds:.1f} s"
          f"{', reset' if reset else ''}")
