#!/usr/bin/env python3
"""Four players as a 2x2 video wall, each its own process (--wall 2x2:INDEX), showing a picture of
four coloured quarters: each one's screenshot (through the remote API) is its quarter, filling it.
Usage: wall_test.py VIZMORA"""
import http.client
import os
import subprocess
import tempfile
import unittest

from remote_test import CAP, Program, wait_until

COLOURS = ((255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255))
WIDTH = 64


def ffmpeg(*args, data=None):
    return subprocess.run(["ffmpeg", "-loglevel", "error", "-y", *args], input=data, capture_output=True, check=True).stdout


def screenshot(program, token_file):
    """The picture shown as rows of RGB bytes, or None while none is shown."""
    with open(token_file) as f:
        token = f.read().strip()
    connection = http.client.HTTPConnection("127.0.0.1", program.port, timeout=CAP)
    connection.request("GET", f"/api/screenshot?width={WIDTH}", headers={"Authorization": "Bearer " + token})
    response = connection.getresponse()
    data = response.read()
    connection.close()
    return ffmpeg("-i", "-", "-f", "rawvideo", "-pix_fmt", "rgb24", "-", data=data) if response.status == 200 else None


def at(rgb, x, y):  # the pixel at a part of the width and the height
    height = len(rgb) // (WIDTH * 3)
    i = (int(y * height) * WIDTH + int(x * WIDTH)) * 3
    return tuple(rgb[i:i + 3])


def filled(rgb, colour):
    return rgb is not None and all(all(abs(a - b) < 48 for a, b in zip(at(rgb, x, y), colour))
                                   for x, y in ((0.05, 0.05), (0.95, 0.05), (0.05, 0.95), (0.95, 0.95)))


class WallTest(unittest.TestCase):
    def test_each_player_of_a_wall_shows_its_quarter(self):
        with tempfile.TemporaryDirectory() as top:
            picture = os.path.join(top, "quarters.png")
            ffmpeg(*[a for c in ("red", "lime", "blue", "white") for a in ("-f", "lavfi", "-i", f"color={c}:size=80x60")],
                   "-filter_complex", "xstack=inputs=4:layout=0_0|w0_0|0_h0|w0_h0", "-frames:v", "1", picture)
            players = []
            try:
                for tile in range(4):
                    own = os.path.join(top, str(tile))
                    os.mkdir(own)
                    players.append(Program(top, os.path.join(own, "token"), extra=("--wall", f"2x2:{tile}", picture)))
                for tile, player in enumerate(players):
                    token = os.path.join(top, str(tile), "token")
                    wait_until(lambda: filled(screenshot(player, token), COLOURS[tile]), f"tile {tile} showing its quarter")
            finally:
                for player in players:
                    player.stop()


if __name__ == "__main__":
    unittest.main(verbosity=2)
