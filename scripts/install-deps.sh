#!/usr/bin/env bash
# Installs the Debian 12 packages Vizmora builds and tests with, only those that are missing.
# Safe to run twice; runs apt-get update only when something must be installed.
# Usage: install-deps.sh [--bench | --fuzz]   (--bench adds the peers the benchmarks compare
# against: mpv and gst-play-1.0, the X damage headers of the benchmarks' frame counters, xrestop
# and xdotool; --fuzz adds clang and its libFuzzer runtime for make fuzz)
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav gstreamer1.0-x gstreamer1.0-tools
  libgtest-dev xvfb xauth
  libxcb1-dev libx11-dev libxi-dev qt6-wayland
  openbox icewm fluxbox weston x11-utils
  ffmpeg
  libboost-dev libssl-dev
  dbus-daemon libglib2.0-bin playerctl
  dpkg-dev file help2man librsvg2-bin desktop-file-utils appstream python3
  chromium nodejs
)
# The page test's npm ci; a Node.js from elsewhere (NodeSource) brings its own npm.
command -v npm > /dev/null || packages+=(npm)
if [ "${1:-}" = "--bench" ]; then
  packages+=(mpv gstreamer1.0-plugins-base-apps libxdamage-dev xrestop xdotool)
fi
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
