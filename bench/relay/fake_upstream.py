#!/usr/bin/env python3
"""A stand-in upstream DNS server for the relay benchmark.

usage: fake_upstream.py ADDRESS DELAY_MS [LOSE_EVERY]

Listens on ADDRESS:53 and answers every A query with 10.0.0.1, each DELAY_MS after it
came, on a timer of its own, so queries wait side by side. With LOSE_EVERY k, every k-th
query (by arrival) gets no answer at all.
"""
import asyncio
import struct
import sys


def question_end(query):
    offset = 12
    while offset < len(query) and query[offset] != 0:
        offset += query[offset] + 1
    return offset + 5


def answer(query):
    end = question_end(query)
    if end > len(query):
        return None
    header = query[:2] + b"\x81\x80" + struct.pack(">HHHH", 1, 1, 0, 0)
    record = b"\xc0\x0c" + struct.pack(">HHIH", 1, 1, 60, 4) + bytes([10, 0, 0, 1])
    return header + query[12:end] + record


class Upstream(asyncio.DatagramProtocol):
    def __init__(self, delay, lose_every):
        self.delay = delay
        self.lose_every = lose_every
        self.seen = 0

    def connection_made(self, transport):
        self.transport = transport

    def datagram_received(self, data, addr):
        self.seen += 1
        if self.lose_every and self.seen % self.lose_every == 0:
            return
        reply = answer(data)
        if reply is not None:
            asyncio.get_running_loop().call_later(self.delay, self.transport.sendto, reply, addr)


async def main():
    address, delay_ms = sys.argv[1], float(sys.argv[2])
    lose_every = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    loop = asyncio.get_running_loop()
    await loop.create_datagram_endpoint(lambda: Upstream(delay_ms / 1000, lose_every),
                                        local_addr=(address, 53))
    print("ready", flush=True)
    await asyncio.Event().wait()


if __name__ == "__main__":
    asyncio.run(main())
