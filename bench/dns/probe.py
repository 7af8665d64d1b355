#!/usr/bin/env python3
"""Waits until a DNS server answers an A query, and prints how long that took.

usage: probe.py PORT NAME START_EPOCH_SECONDS [TIMEOUT_SECONDS]

Sends the query every 5 ms to 127.0.0.1:PORT; prints the seconds from START to the
first answer, or exits 1 after the time-out.
"""
import socket
import struct
import sys
import time


def query(name):
    header = struct.pack(">HHHHHH", 0x4242, 0x0100, 1, 0, 0, 0)
    labels = b"".join(bytes([len(p)]) + p.encode() for p in name.split("."))
    return header + labels + b"\0" + struct.pack(">HH", 1, 1)


def main():
    port, name, start = int(sys.argv[1]), sys.argv[2], float(sys.argv[3])
    deadline = time.time() + (float(sys.argv[4]) if len(sys.argv) > 4 else 120)
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.settimeout(0.005)
    message = query(name)
    while time.time() < deadline:
        sock.sendto(message, ("127.0.0.1", port))
        try:
            reply = sock.recv(600)
        except socket.timeout:
            continue
        if reply[:2] == message[:2] and struct.unpack(">H", reply[6:8])[0] > 0:
            print(f"{time.time() - start:.3f}")
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
