#!/usr/bin/env python3
"""Forwards UDP between clients and a server with a delay of DELAY ms ± JITTER ms on every packet,
each way: a stand-in for netem where the machine does not allow tc. Each client gets an upstream
socket of its own, so replies find their way back.
Usage: udprelay.py LISTEN_PORT SERVER_PORT [DELAY_MS JITTER_MS]"""
import asyncio
import random
import sys

listen, server = int(sys.argv[1]), int(sys.argv[2])
delay, jitter = (float(sys.argv[3]), float(sys.argv[4])) if len(sys.argv) > 4 else (20.0, 10.0)


def later(send, data, addr=None):
    wait = max(0.0, delay + random.uniform(-jitter, jitter)) / 1000
    asyncio.get_running_loop().call_later(wait, lambda: send(data, addr) if addr else send(data))


class Upstream(asyncio.DatagramProtocol):
    def __init__(self, front, client):
        self.front, self.client = front, client

    def connection_made(self, transport):
        self.transport = transport

    def datagram_received(self, data, _):
        later(self.front.transport.sendto, data, self.client)


class Front(asyncio.DatagramProtocol):
    def __init__(self):
        self.upstreams = {}

    def connection_made(self, transport):
        self.transport = transport

    def datagram_received(self, data, client):
        asyncio.ensure_future(self.forward(data, client))

    async def forward(self, data, client):
        if client not in self.upstreams:
            loop = asyncio.get_running_loop()
            _, up = await loop.create_datagram_endpoint(lambda: Upstream(self, client),
                                                        remote_addr=("127.0.0.1", server))
            self.upstreams[client] = up
        later(self.upstreams[client].transport.sendto, data)


async def main():
    loop = asyncio.get_running_loop()
    await loop.create_datagram_endpoint(Front, local_addr=("127.0.0.1", listen))
    await asyncio.Event().wait()


asyncio.run(main())
