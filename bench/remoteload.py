#!/usr/bin/env python3
"""B11's load on the remote server, for a number of seconds, measuring the player meanwhile.

Usage: remoteload.py PID BASE_URL TOKEN_FILE SECONDS MODE
  MODE none   no load: only measures
       busy   200 GET /api/status a second (over keep-alive connections) and 50 WebSocket
              clients on /api/events
       idle   1,000 TCP connections that send nothing (one closed by the server is opened again)
Prints one line: "cpu_s wall_s requests failed p50_ms p99_ms messages held reopened", where
cpu_s is the player's user + system time over the phase (from /proc/PID/stat).
"""
import asyncio
import base64
import os
import resource
import sys
import time
from urllib.parse import urlsplit

STATUS_PER_S = 200
STATUS_CONNECTIONS = 4
WS_CLIENTS = 50
IDLE_CONNECTIONS = 1000


def player_cpu_s(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


async def read_body(reader, header):
    """Reads a response's body, sized by Content-Length or sent in chunks."""
    lines = header.lower().split(b"\r\n")
    if b"transfer-encoding: chunked" in lines:
        while size := int((await reader.readuntil(b"\r\n")).strip(), 16):
            await reader.readexactly(size + 2)
        await reader.readuntil(b"\r\n")
        return
    length = next((int(line.split(b":")[1]) for line in lines if line.startswith(b"content-length:")), 0)
    await reader.readexactly(length)


class Load:
    def __init__(self, base, token, seconds):
        address = urlsplit(base)
        self.host, self.port = address.hostname, address.port
        self.token = token
        self.end = time.monotonic() + seconds
        self.latencies = []
        self.failed = 0
        self.messages = 0
        self.held = 0
        self.reopened = 0

    async def open(self):
        return await asyncio.open_connection(self.host, self.port)

    def head(self, target, extra=""):
        return (f"GET {target} HTTP/1.1\r\nHost: {self.host}:{self.port}\r\n"
                f"Authorization: Bearer {self.token}\r\n{extra}\r\n").encode()

    async def status_client(self, offset):
        """Asks for the status every STATUS_CONNECTIONS / STATUS_PER_S seconds, at a fixed pace."""
        period = STATUS_CONNECTIONS / STATUS_PER_S
        due = time.monotonic() + offset * period / STATUS_CONNECTIONS
        reader = writer = None
        while due < self.end:
            await asyncio.sleep(max(0.0, due - time.monotonic()))
            due += period
            try:
                if writer is None:
                    reader, writer = await self.open()
                sent = time.monotonic()
                writer.write(self.head("/api/status"))
                header = await reader.readuntil(b"\r\n\r\n")
                await read_body(reader, header)
                if not header.startswith(b"HTTP/1.1 200"):
                    self.failed += 1
                self.latencies.append(time.monotonic() - sent)
                if b"connection: close" in header.lower():
                    writer.close()
                    writer = None
            except (OSError, asyncio.IncompleteReadError, asyncio.LimitOverrunError):
                self.failed += 1
                writer = None
        if writer:
            writer.close()

    async def websocket_client(self):
        """Holds one /api/events WebSocket and counts its messages (answers pings)."""
        key = base64.b64encode(os.urandom(16)).decode()
        try:
            reader, writer = await self.open()
            writer.write(self.head("/api/events", "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                                   f"Sec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n"))
            header = await reader.readuntil(b"\r\n\r\n")
            if not header.startswith(b"HTTP/1.1 101"):
                self.failed += 1
                return
            self.held += 1
            while True:
                left = self.end - time.monotonic()
                if left <= 0:
                    break
                try:
                    first, size = await asyncio.wait_for(reader.readexactly(2), left)
                except asyncio.TimeoutError:
                    break
                size &= 0x7F
                if size >= 126:
                    size = int.from_bytes(await reader.readexactly(2 if size == 126 else 8), "big")
                payload = await reader.readexactly(size)
                opcode = first & 0x0F
                if opcode in (1, 2):
                    self.messages += 1
                elif opcode == 9:  # ping: a masked pong with the same payload (short ones only)
                    mask = os.urandom(4)
                    writer.write(bytes([0x8A, 0x80 | len(payload)]) + mask +
                                 bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))
                elif opcode == 8:
                    break
            writer.close()
        except (OSError, asyncio.IncompleteReadError, asyncio.LimitOverrunError):
            self.failed += 1

    async def idle_client(self):
        """Keeps one connection open without a byte sent; opens it again if the server closes it."""
        first = True
        while time.monotonic() < self.end:
            try:
                reader, writer = await self.open()
            except OSError:
                self.failed += 1
                await asyncio.sleep(1)
                continue
            if first:
                self.held += 1
                first = False
            else:
                self.reopened += 1
            try:
                await asyncio.wait_for(reader.read(), max(0.0, self.end - time.monotonic()))
            except (asyncio.TimeoutError, OSError):
                pass
            writer.close()

    async def run(self, mode):
        if mode == "busy":
            jobs = [self.status_client(i) for i in range(STATUS_CONNECTIONS)]
            jobs += [self.websocket_client() for _ in range(WS_CLIENTS)]
        elif mode == "idle":
            jobs = [self.idle_client() for _ in range(IDLE_CONNECTIONS)]
        else:
            jobs = [asyncio.sleep(max(0.0, self.end - time.monotonic()))]
        await asyncio.gather(*jobs)


def percentile(values, share):
    if not values:
        return -1
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))] * 1000


def main():
    pid, base, token_file, seconds, mode = sys.argv[1:6]
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, min(hard, 4096)), hard))
    with open(token_file) as f:
        load = Load(base, f.read().strip(), float(seconds))
    cpu, wall = player_cpu_s(pid), time.monotonic()
    asyncio.run(load.run(mode))
    cpu, wall = player_cpu_s(pid) - cpu, time.monotonic() - wall
    print(f"{cpu:.3f} {wall:.3f} {len(load.latencies)} {load.failed} "
          f"{percentile(load.latencies, 0.5):.1f} {percentile(load.latencies, 0.99):.1f} "
          f"{load.messages} {load.held} {load.reopened}")


if __name__ == "__main__":
    main()
