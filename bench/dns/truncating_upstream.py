#!/usr/bin/env python3
"""A stand-in upstream DNS server whose answer to big.example does not fit a datagram.

usage: truncating_upstream.py ADDRESS

Listens on ADDRESS:53, UDP and TCP. An A query for a name holding "big" gets 40 records
(10.0.0.1 to 10.0.0.40): over UDP only the header and question with TC set, over TCP the
whole answer. Other A queries get one record, other types an empty answer, and names holding
"silent" no reply at all. Prints one line per reply.
"""
import socket
import struct
import sys
import threading

RECORD = b"\xc0\x0c\x00\x01\x00\x01\x00\x00\x00\x3c\x00\x04"


def question(query):
    offset = 12
    while query[offset] != 0:
        offset += query[offset] + 1
    return offset + 5, struct.unpack(">H", query[offset + 1:offset + 3])[0]


def full_answer(query):
    if b"silent" in query:
        return None
    end, qtype = question(query)
    count = (40 if b"big" in query else 1) if qtype == 1 else 0
    records = b"".join(RECORD + bytes([10, 0, 0, k + 1]) for k in range(count))
    return query[:2] + b"\x81\x80" + struct.pack(">HHHH", 1, count, 0, 0) + query[12:end] + records


def datagram_answer(query):
    answer = full_answer(query)
    if answer is None or len(answer) <= 512:
        return answer
    end, _ = question(query)
    return query[:2] + b"\x83\x80" + struct.pack(">HHHH", 1, 0, 0, 0) + query[12:end]


def serve_connection(connection):
    received = b""
    while True:
        data = connection.recv(65536)
        if not data:
            return
        received += data
        while len(received) >= 2 and len(received) - 2 >= struct.unpack(">H", received[:2])[0]:
            length = struct.unpack(">H", received[:2])[0]
            query, received = received[2:2 + length], received[2 + length:]
            answer = full_answer(query)
            if answer is not None:
                connection.sendall(struct.pack(">H", len(answer)) + answer)
                print("tcp", len(answer), flush=True)


def serve_tcp(listener):
    while True:
        connection, _ = listener.accept()
        threading.Thread(target=serve_connection, args=(connection,), daemon=True).start()


def main():
    address = sys.argv[1]
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind((address, 53))
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((address, 53))
    listener.listen(16)
    threading.Thread(target=serve_tcp, args=(listener,), daemon=True).start()
    while True:
        query, sender = udp.recvfrom(4096)
        answer = datagram_answer(query)
        if answer is not None:
            udp.sendto(answer, sender)
            print("udp", len(answer), flush=True)


if __name__ == "__main__":
    main()
