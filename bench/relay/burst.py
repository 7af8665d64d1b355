#!/usr/bin/env python3
"""Asks a DNS server on 127.0.0.1:53 for many distinct names at once, as a page load does.

usage: burst.py COUNT TAG [LISTED_NAME]

Sends COUNT A queries for distinct names (qN.TAG.relay.example) back to back from one
socket, then, with LISTED_NAME, one query for that name from a socket of its own once
the burst has had 100 ms to reach the upstream server (its relays are waiting). Waits
up to 5 s and prints: answered (NOERROR) count, median and last NOERROR answer in ms from
the first send, and the listed name's answer time in ms (or -).
"""
import select
import socket
import statistics
import struct
import sys
import time


def query(qid, name):
    header = struct.pack(">HHHHHH", qid, 0x0100, 1, 0, 0, 0)
    labels = b"".join(bytes([len(p)]) + p.encode() for p in name.split("."))
    return header + labels + b"\0" + struct.pack(">HH", 1, 1)


def main():
    count, tag = int(sys.argv[1]), sys.argv[2]
    listed = sys.argv[3] if len(sys.argv) > 3 else None
    server = ("127.0.0.1", 53)
    burst = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    burst.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 20)
    side = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    start = time.perf_counter()
    for i in range(count):
        burst.sendto(query(i, f"q{i}.{tag}.relay.example"), server)
    listed_sent = None
    if listed:
        time.sleep(0.1)
        listed_sent = time.perf_counter()
        side.sendto(query(0xFFFF, listed), server)
    answered = {}
    listed_ms = None
    deadline = start + 5
    while len(answered) < count or (listed and listed_ms is None):
        left = deadline - time.perf_counter()
        if left <= 0:
            break
        ready, _, _ = select.select([burst, side], [], [], left)
        now = time.perf_counter()
        for sock in ready:
            reply = sock.recv(4096)
            qid, flags = struct.unpack(">HH", reply[:4])
            if sock is side:
                listed_ms = (now - listed_sent) * 1000
            elif flags & 0x000F == 0 and qid not in answered:
                answered[qid] = (now - start) * 1000
    times = sorted(answered.values())
    median = statistics.median(times) if times else float("nan")
    last = times[-1] if times else float("nan")
    print(len(times), f"{median:.1f}", f"{last:.1f}",
          f"{listed_ms:.3f}" if listed_ms is not None else "-")


if __name__ == "__main__":
    main()
