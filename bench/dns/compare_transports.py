#!/usr/bin/env python3
"""Asks 127.0.0.1:53 the same query over UDP and over TCP for each route, and through
glibc's getaddrinfo a name whose answer does not fit a datagram.

usage: compare_transports.py

Expects Nimbrel with ads.example named, passed.example passed with no server for passed
names, and truncating_upstream.py as its upstream for the rest.
"""
import socket
import struct

ROUTES = [("local A", "img.ads.example", 1), ("local PTR", "1.0.0.127.in-addr.arpa", 12),
          ("empty answer", "ads.example", 28), ("relayed", "www.example", 1),
          ("refused", "passed.example", 1), ("SERVFAIL after silence", "silent.example", 1),
          ("too big for UDP", "big.example", 1)]


def query(query_id, name, qtype):
    header = struct.pack(">HHHHHH", query_id, 0x0100, 1, 0, 0, 0)
    labels = b"".join(bytes([len(p)]) + p.encode() for p in name.split("."))
    return header + labels + b"\0" + struct.pack(">HH", qtype, 1)


def over_udp(message):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.settimeout(3)
    sock.sendto(message, ("127.0.0.1", 53))
    return sock.recv(65536)


def over_tcp(message):
    sock = socket.create_connection(("127.0.0.1", 53), timeout=3)
    sock.sendall(struct.pack(">H", len(message)) + message)
    received = b""
    while len(received) < 2 or len(received) - 2 < struct.unpack(">H", received[:2])[0]:
        data = sock.recv(65536)
        if not data:
            return None
        received += data
    return received[2:]


def describe(reply):
    return "none" if reply is None else "rcode %d%s, %d bytes" % (
        reply[3] & 15, " TC" if reply[2] & 2 else "", len(reply))


def main():
    for family in (socket.AF_INET, socket.AF_UNSPEC):
        found = {entry[4][0] for entry in socket.getaddrinfo("big.example", None, family)}
        print("getaddrinfo big.example, %s: %d addresses" % (family.name, len(found)))
    for number, (route, name, qtype) in enumerate(ROUTES):
        message = query(0x100 + number, name, qtype)
        udp, tcp = over_udp(message), over_tcp(message)
        print("%-24s UDP %-24s TCP %-24s %s" % (route, describe(udp), describe(tcp),
                                                "same bytes" if udp == tcp else "differ"))


if __name__ == "__main__":
    main()
