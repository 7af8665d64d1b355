#!/usr/bin/env python3
"""Holds COUNT idle TCP connections to 127.0.0.1:PORT until killed.

usage: idle_tcp.py PORT COUNT

A connection the server closes (its idle time-out, or one beyond its bound) is opened
again 100 ms later, so COUNT connections are always asked for.
"""
import select
import socket
import sys
import time


def main():
    port, count = int(sys.argv[1]), int(sys.argv[2])
    reopen_at = {i: 0.0 for i in range(count)}
    sockets = {}
    while True:
        now = time.time()
        for i, due in list(reopen_at.items()):
            if due <= now:
                sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
                try:
                    sock.connect(("127.0.0.1", port))
                    sockets[sock] = i
                    del reopen_at[i]
                except OSError:
                    sock.close()
                    reopen_at[i] = now + 0.1
        readable, _, _ = select.select(list(sockets), [], [], 0.1)
        for sock in readable:
            try:
                data = sock.recv(4096)
            except OSError:
                data = b""
            if not data:
                reopen_at[sockets.pop(sock)] = time.time() + 0.1
                sock.close()


if __name__ == "__main__":
    main()
