#!/usr/bin/env python3
"""The remote API of the real program (headless, with --remote) through real HTTP and WebSocket
clients: every route, the token, sessions and CSRF, the throttle, the media folder's rules,
uploads cut or too large or on a full disk, bad input, the OpenAPI document, slow clients.
Usage: remote_test.py VIZMORA"""
import base64
import http.client
import json
import os
import re
import shutil
import socket
import ssl
import stat
import subprocess
import sys
import tempfile
import threading
import time
import unittest

PROGRAM = sys.argv.pop(1) if len(sys.argv) > 1 else "vizmora"
CAP = 120  # seconds: only a guard against a hang, never a measure


def wait_until(check, what):
    end = time.monotonic() + CAP
    while time.monotonic() < end:
        result = check()
        if result:
            return result
        time.sleep(0.1)
    raise AssertionError("gave up waiting for " + what)


def make_media(folder):
    def ffmpeg(*args):
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y", *args], check=True)
    ffmpeg("-f", "lavfi", "-i", "testsrc=size=160x120:rate=25", "-t", "3", "-c:v", "mjpeg", os.path.join(folder, "clip.avi"))
    ffmpeg("-f", "lavfi", "-i", "color=green:size=160x120", "-frames:v", "1", os.path.join(folder, "still.jpg"))


class Program:
    """The program with remote operation, its standard error collected."""

    def __init__(self, media, token_file, extra=(), prefix=(), scheme="http"):
        env = dict(os.environ, VIZMORA_REGISTRY=os.path.join(os.path.dirname(token_file), "registry.reg"))
        self.process = subprocess.Popen(
            [*prefix, PROGRAM, "--headless", "--remote", "127.0.0.1:0", "--remote-token-file", token_file,
             "--media-dir", media, "--remote-timeout", "2", "--upload-limit", "4M", *extra],
            stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env, text=True)
        self.lines = []
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        said = re.compile(scheme + r"://127\.0\.0\.1:(\d+)/")
        url = wait_until(lambda: next((m for m in map(said.search, self.lines) if m), None), "the server's address")
        self.port = int(url.group(1))

    def _read(self):
        for line in self.process.stderr:
            self.lines.append(line)

    def stop(self):
        self.process.terminate()
        self.process.wait(CAP)
        self.reader.join(CAP)
        self.process.stderr.close()


class RemoteTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.top = tempfile.TemporaryDirectory()
        cls.outside = os.path.join(cls.top.name, "outside")
        cls.media = os.path.join(cls.top.name, "media")
        os.mkdir(cls.outside)
        make_media(cls.outside)
        cls.token_file = os.path.join(cls.top.name, "token")
        cls.program = Program(cls.media, cls.token_file)
        with open(cls.token_file) as f:
            cls.token = f.read().strip()
        for name in ("clip.avi", "still.jpg"):
            with open(os.path.join(cls.outside, name), "rb") as f, open(os.path.join(cls.media, name), "wb") as g:
                g.write(f.read())

    @classmethod
    def tearDownClass(cls):
        cls.program.stop()
        cls.top.cleanup()

    def request(self, method, path, body=None, headers=None, token=True):
        connection = http.client.HTTPConnection("127.0.0.1", self.program.port, timeout=CAP)
        headers = dict(headers or {})
        if token:
            headers["Authorization"] = "Bearer " + (token if isinstance(token, str) else self.token)
        if isinstance(body, (dict, list)):
            body = json.dumps(body)
        connection.request(method, path, body=body, headers=headers)
        response = connection.getresponse()
        data = response.read()
        connection.close()
        self.assertNotIn("access-control-allow-origin", {k.lower() for k, _ in response.getheaders()})
        parsed = json.loads(data) if response.getheader("Content-Type", "").startswith("application/json") else data
        return response.status, response, parsed

    def ok(self, method, path, body=None, status=200):
        got, _, data = self.request(method, path, body)
        self.assertEqual(got, status, f"{method} {path}: {data}")
        return data

    def entries(self):
        return self.ok("GET", "/api/playlist")["entries"]

    def clear(self):
        for _ in self.entries():
            self.ok("DELETE", "/api/playlist/entries/0", status=204)

    def outside_names(self):
        return sorted(os.listdir(self.top.name)), sorted(os.listdir(self.outside))

    # --- the token

    def test_token_file_and_login(self):
        self.assertEqual(stat.S_IMODE(os.stat(self.token_file).st_mode), 0o600)
        self.assertTrue(re.fullmatch(r"[0-9a-f]{32}", self.token))
        self.assertTrue(any("remote token: " + self.token in line for line in self.program.lines))
        self.assertEqual(self.request("GET", "/api/status", token=False)[0], 401)
        page = self.request("GET", "/", token=False)[0]
        self.assertIn(page, (200, 404))  # the page's files are resources when present
        # A session: the cookie reads, and changes only with its CSRF token.
        status, response, data = self.request("POST", "/api/login", {"token": self.token}, token=False)
        self.assertEqual(status, 200)
        cookie = response.getheader("Set-Cookie")
        self.assertIn("HttpOnly", cookie)
        self.assertIn("SameSite=Strict", cookie)
        session = {"Cookie": cookie.split(";")[0]}
        self.assertEqual(self.request("GET", "/api/session", headers=session, token=False)[2]["csrf"], data["csrf"])
        self.assertEqual(self.request("GET", "/api/status", headers=session, token=False)[0], 200)
        self.assertEqual(self.request("POST", "/api/control/stop", headers=session, token=False)[0], 403)
        self.assertEqual(self.request("POST", "/api/control/stop", headers={**session, "X-CSRF-Token": data["csrf"]}, token=False)[0], 204)
        self.assertEqual(self.request("POST", "/api/logout", headers={**session, "X-CSRF-Token": data["csrf"]}, token=False)[0], 204)
        self.assertEqual(self.request("GET", "/api/session", headers=session, token=False)[0], 401)

    # --- every route once

    def test_routes(self):
        self.clear()
        self.assertEqual(self.ok("GET", "/api/media")["files"], ["clip.avi", "still.jpg"])
        self.assertEqual(self.ok("POST", "/api/playlist/entries", {"path": "clip.avi"}, 201), {"index": 0})
        with open(os.path.join(self.outside, "still.jpg"), "rb") as f:
            picture = f.read()
        status, _, data = self.request("POST", "/api/playlist/entries", picture,
                                       {"Content-Type": "application/octet-stream", "X-File-Name": "%C3%A9t%C3%A9.jpg"})
        self.assertEqual((status, data), (201, {"index": 1, "path": "été.jpg"}))
        entry = self.ok("PATCH", "/api/playlist/entries/1", {"displayTime": 2, "continueSound": True})
        self.assertEqual((entry["display_time"], entry["continue"]), (2, True))
        entry = self.ok("PATCH", "/api/playlist/entries/0", {"overlay": "still.jpg", "overlayAlpha": 51,
                                                              "overlayRect": {"left": 0.5, "top": 0.5, "right": 1, "bottom": 1}})
        self.assertEqual((entry["additional_file"], entry["alpha"], entry["overlay"]["left"]),
                         (os.path.join(os.path.realpath(self.media), "still.jpg"), 0.2, 0.5))
        moved = self.ok("POST", "/api/playlist/entries/1/move", {"to": 0})["entries"]
        self.assertEqual([e["kind"] for e in moved], ["picture", "video"])
        self.assertEqual(self.ok("POST", "/api/playlist/save", {"path": "show.pll"}), {"path": "show.pll"})
        self.ok("DELETE", "/api/playlist/entries/0", status=204)
        self.assertEqual(len(self.entries()), 1)
        self.ok("POST", "/api/playlist/load", {"path": "show.pll"}, 204)
        self.assertEqual([e["kind"] for e in self.entries()], ["picture", "video"])

        with self.assertRaisesRegex(AssertionError, "403"):
            EventClient(self.program.port, self.token, "Origin: http://elsewhere.example\r\n")
        events = EventClient(self.program.port, self.token, "Origin: http://127.0.0.1:%d\r\n" % self.program.port)
        self.ok("POST", "/api/control/next", status=204)
        wait_until(lambda: self.ok("GET", "/api/status")["state"] == "playing", "playing")
        self.assertIn('"event"', events.next_message())
        events.socket.close()
        for intent in ("pause", "play", "previous", "next", "stop", "play"):
            self.ok("POST", "/api/control/" + intent, status=204)
        self.ok("POST", "/api/control/volume", {"volume": 0.5}, 204)
        self.ok("POST", "/api/control/seek", {"percent": 50}, 204)
        status = self.ok("GET", "/api/status")
        self.assertEqual((status["volume"], status["transition"], status["count"]), (0.5, "cut", 2))
        self.assertGreaterEqual(status["uptime"], 0)
        shot, response, data = self.request("GET", "/api/screenshot?width=64")
        self.assertIn(shot, (200, 404))  # 404: nothing shown yet (a null sink may hold no picture)
        if shot == 200:
            self.assertEqual((response.getheader("Content-Type"), data[:2]), ("image/jpeg", b"\xff\xd8"))
        lines = wait_until(lambda: self.ok("GET", "/api/log?since=0")["lines"], "log lines")
        self.assertTrue(all("time" in line and "event" in line for line in lines))
        self.assertEqual(self.ok("GET", "/api/log?until=1")["lines"], [])

    # --- input that is refused, naming the field and changing nothing

    def test_bad_input(self):
        self.clear()
        self.ok("POST", "/api/playlist/entries", {"path": "still.jpg"}, 201)
        before = self.entries()
        for path, body, field in [
                ("/api/playlist/entries/0", "{not json", "body"),
                ("/api/playlist/entries/0", {"displayTime": "long"}, "displayTime"),
                ("/api/playlist/entries/0", {"displayTime": 5, "continueSound": 1}, "continueSound"),
                ("/api/playlist/entries/0", {"displayTime": 5, "overlayAlpha": 3}, "overlayAlpha"),
                ("/api/playlist/entries/0", {"colour": "red"}, "colour"),
                ("/api/playlist/entries/0", {"sound": "missing.wav"}, "sound")]:
            status, _, data = self.request("PATCH", path, body)
            self.assertEqual((status, data.get("field")), (400, field), data)
        self.assertEqual(self.entries(), before)
        for method, path, body, status, field in [
                ("POST", "/api/control/seek", {"percent": 150}, 400, "percent"),
                ("POST", "/api/control/volume", {"volume": "loud"}, 400, "volume"),
                ("POST", "/api/playlist/entries/0/move", {"to": 1.5}, 400, "to"),
                ("POST", "/api/playlist/entries", {"path": 7}, 400, "path"),
                ("POST", "/api/playlist/entries", {"path": "nothing.avi"}, 404, "path"),
                ("GET", "/api/screenshot?width=0", None, 400, "width"),
                ("GET", "/api/log?since=yesterday", None, 400, "since"),
                ("DELETE", "/api/playlist/entries/9", None, 404, "index")]:
            got, _, data = self.request(method, path, body)
            self.assertEqual((got, data.get("field")), (status, field), f"{method} {path}: {data}")
        self.assertEqual(self.entries(), before)
        # The limits on a request's header and on a JSON body.
        self.assertEqual(self.request("GET", "/api/status", headers={"X-Pad": "a" * (20 << 10)})[0], 431)
        status, _, data = self.request("PATCH", "/api/playlist/entries/0", '{"sound": "%s"}' % ("a" * (2 << 20)))
        self.assertEqual((status, data.get("field")), (413, "body"))
        self.assertEqual(self.request("GET", "/api/nothing")[0], 404)
        self.assertEqual(self.request("PUT", "/api/status")[0], 405)

    # --- the media folder's rules

    def test_confinement(self):
        os.symlink(self.outside, os.path.join(self.media, "link"))
        before = self.outside_names()
        try:
            for body in ({"path": "../outside/clip.avi"}, {"path": os.path.join(self.outside, "clip.avi")},
                         {"path": "link/clip.avi"}):
                status, _, data = self.request("POST", "/api/playlist/entries", body)
                self.assertEqual((status, data["field"]), (400, "path"), data)
            for what in ("save", "load"):
                for path in ("../out.pll", "link/out.pll", "/tmp/out.pll"):
                    self.assertEqual(self.request("POST", "/api/playlist/" + what, {"path": path})[0], 400)
            for name in ("../evil.avi", "/tmp/evil.avi", "..", "link/evil.avi", "%2E%2E%2Fevil.avi"):
                status, _, data = self.request("POST", "/api/playlist/entries", b"x" * 100,
                                               {"Content-Type": "application/octet-stream", "X-File-Name": name})
                self.assertEqual(status, 400, name)
            self.assertEqual(self.outside_names(), before)
            self.assertNotIn("link/clip.avi", self.ok("GET", "/api/media")["files"])
        finally:
            os.unlink(os.path.join(self.media, "link"))

    def test_uploads_that_fail_leave_nothing(self):
        names = set(os.listdir(self.media))
        # Cut halfway.
        s = socket.create_connection(("127.0.0.1", self.program.port))
        s.sendall(("POST /api/playlist/entries HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer %s\r\n"
                   "Content-Type: application/octet-stream\r\nX-File-Name: cut.avi\r\nContent-Length: 1000000\r\n\r\n"
                   % self.token).encode() + b"x" * 500000)
        wait_until(lambda: any(n.startswith(".upload-") for n in os.listdir(self.media)), "the upload to begin")
        s.close()
        wait_until(lambda: set(os.listdir(self.media)) == names, "the cut upload to go")
        # Over the limit, said by its length or found while reading.
        status, _, data = self.request("POST", "/api/playlist/entries", b"x" * (5 << 20),
                                       {"Content-Type": "application/octet-stream", "X-File-Name": "big.avi"})
        self.assertEqual(status, 413)
        # Of no media kind.
        status, _, data = self.request("POST", "/api/playlist/entries", b"text",
                                       {"Content-Type": "application/octet-stream", "X-File-Name": "notes.txt"})
        self.assertEqual(status, 415)
        self.assertEqual(set(os.listdir(self.media)), names)

    def test_full_disk(self):
        if subprocess.run(["unshare", "-rm", "true"], stderr=subprocess.DEVNULL).returncode != 0:
            self.skipTest("no user and mount namespace here to mount a small tmpfs in")
        top = tempfile.TemporaryDirectory()
        media = os.path.join(top.name, "small")
        os.mkdir(media)
        script = 'mount -t tmpfs -o size=1m tmpfs "$1" && shift && exec "$@"'
        program = Program(media, os.path.join(top.name, "token"), prefix=["unshare", "-rm", "sh", "-c", script, "sh", media])
        try:
            with open(os.path.join(top.name, "token")) as f:
                token = f.read().strip()
            connection = http.client.HTTPConnection("127.0.0.1", program.port, timeout=CAP)
            connection.request("POST", "/api/playlist/entries", body=b"x" * (2 << 20), headers={
                "Authorization": "Bearer " + token, "Content-Type": "application/octet-stream", "X-File-Name": "big.avi"})
            self.assertEqual(connection.getresponse().status, 507)
            # The folder as the program sees it, inside its own mounts.
            self.assertEqual(os.listdir("/proc/%d/root%s" % (program.process.pid, media)), [])
        finally:
            program.stop()
            top.cleanup()

    def test_tls(self):
        if not shutil.which("openssl"):
            self.skipTest("no openssl program to make a certificate with")
        top = tempfile.TemporaryDirectory()
        key, cert = os.path.join(top.name, "key.pem"), os.path.join(top.name, "cert.pem")
        made = subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                               "-days", "1", "-subj", "/CN=127.0.0.1"], capture_output=True)
        if made.returncode != 0:
            self.skipTest("openssl could not make a certificate")
        program = Program(os.path.join(top.name, "media"), os.path.join(top.name, "token"),
                          extra=["--remote-cert", cert, "--remote-key", key], scheme="https")
        try:
            with open(os.path.join(top.name, "token")) as f:
                token = f.read().strip()
            context = ssl.create_default_context(cafile=cert)
            context.check_hostname = False
            connection = http.client.HTTPSConnection("127.0.0.1", program.port, timeout=CAP, context=context)
            connection.request("POST", "/api/login", body=json.dumps({"token": token}))
            response = connection.getresponse()
            response.read()
            self.assertEqual(response.status, 200)
            self.assertIn("Secure", response.getheader("Set-Cookie"))
            connection.request("GET", "/api/status", headers={"Authorization": "Bearer " + token})
            self.assertEqual(json.loads(connection.getresponse().read())["state"], "stopped")
            connection.close()
        finally:
            program.stop()
            top.cleanup()

    # --- the OpenAPI document and the routes it names

    def test_openapi(self):
        document = self.ok("GET", "/api/openapi.json")
        self.assertTrue(document["openapi"].startswith("3."))
        for path, operations in document["paths"].items():
            for method in operations:
                # A body no route takes, and an index no entry has: answers, but changes nothing.
                status, _, data = self.request(method.upper(), path.replace("{i}", "99999"), "{")
                self.assertNotIn(status, (405,), f"{method} {path}")
                self.assertFalse(status == 404 and data.get("error") == "no such route", f"{method} {path}")

    # --- slow clients

    def test_slow_client_is_cut_off(self):
        s = socket.create_connection(("127.0.0.1", self.program.port))
        s.settimeout(CAP)

        def dribble():
            for byte in b"GET /api/status HTTP/1.1\r\nHost: x\r\n":
                try:
                    s.send(bytes([byte]))
                except OSError:
                    return
                time.sleep(1)
        threading.Thread(target=dribble, daemon=True).start()
        try:
            self.assertEqual(s.recv(1024), b"")  # closed without an answer
        except ConnectionResetError:
            pass
        s.close()

    # --- last, as it makes this address wait: the throttle on wrong tokens

    def test_zz_wrong_tokens_are_throttled(self):
        self.assertEqual(self.request("GET", "/api/status", token="0" * 32)[0], 401)
        status, response, _ = self.request("GET", "/api/status")
        self.assertEqual(status, 429)
        self.assertGreaterEqual(int(response.getheader("Retry-After")), 1)
        self.assertEqual(self.request("POST", "/api/login", {"token": self.token}, token=False)[0], 429)
        wait_until(lambda: any("wrong bearer token from 127.0.0.1" in line for line in self.program.lines),
                   "the wrong token logged")
        wait_until(lambda: self.request("GET", "/api/status")[0] == 200, "the wait to end")


class EventClient:
    """A WebSocket client of /api/events: the handshake, then the server's text frames."""

    def __init__(self, port, token, more=""):  # more: further header lines
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=CAP)
        key = base64.b64encode(os.urandom(16)).decode()
        self.socket.sendall(("GET /api/events HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                             "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\nAuthorization: Bearer %s\r\n%s\r\n"
                             % (port, key, token, more)).encode())
        self.buffer = b""
        while b"\r\n\r\n" not in self.buffer:
            self.buffer += self.socket.recv(4096)
        head, self.buffer = self.buffer.split(b"\r\n\r\n", 1)
        if not head.startswith(b"HTTP/1.1 101"):
            self.socket.close()
            raise AssertionError(head.decode())

    def _take(self, n):
        while len(self.buffer) < n:
            more = self.socket.recv(65536)
            assert more, "the server closed the WebSocket"
            self.buffer += more
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data

    def next_message(self):
        while True:
            first, second = self._take(2)
            length = second & 0x7F
            if length == 126:
                length = int.from_bytes(self._take(2), "big")
            elif length == 127:
                length = int.from_bytes(self._take(8), "big")
            payload = self._take(length)
            if first & 0x0F == 1:
                return payload.decode()


if __name__ == "__main__":
    unittest.main(verbosity=2)
