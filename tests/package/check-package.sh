#!/usr/bin/env bash
# Builds the Debian package from a finished build, checks its control fields and contents and
# the desktop files, installs the project into a DESTDIR tree as `make install` does, and runs
# the installed program there: --version, and a short headless show.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_line() {  # expect_line TEXT PATTERN WHAT
  grep -qE -- "$2" <<<"$1" || fail "$3 (no line matching '$2')"
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
(cd "$build" && cpack -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; exit 1; }
deb=$(ls "$work"/pkg/*.deb)
[ "$(basename "$deb")" = "vizmora_${version}_amd64.deb" ] || fail "package file name $(basename "$deb")"

# Control fields: the runtime libraries from dpkg-shlibdeps and the plugins loaded at run time.
info=$(dpkg-deb -I "$deb")
expect_line "$info" "^ Package: vizmora$" "package name"
expect_line "$info" "^ Version: ${version}$" "version"
expect_line "$info" "^ Architecture: amd64$" "architecture"
expect_line "$info" "^ Section: video$" "section"
expect_line "$info" "^ Maintainer: .+<.+@.+>$" "maintainer"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libc6 libstdc\\+\\+6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libgstreamer1.0-0 \
           libgstreamer-plugins-base1.0-0 gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
           gstreamer1.0-plugins-bad gstreamer1.0-libav gstreamer1.0-x qt6-qpa-plugins; do
  expect_line "$(tr ',' '\n' <<<"$depends" | sed 's/^ *//')" "^$dep( |$)" "Depends names $dep"
done
grep -q "build" <<<"$depends" && fail "Depends names a build package: $depends"

# Contents: what the desktop needs to list, open and show the program.
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort)
expected=(/usr/bin/vizmora /usr/bin/vizmora-graphs /usr/share/applications/vizmora.desktop
          /usr/share/mime/packages/vizmora.xml /usr/share/metainfo/com.quorvex.Vizmora.metainfo.xml
          /usr/share/man/man1/vizmora.1.gz /usr/share/icons/hicolor/scalable/apps/vizmora.svg
          /usr/lib/systemd/user/vizmora-kiosk.service)
for size in 16 22 24 32 48 64 128 256; do expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/vizmora.png"); done
for f in "${expected[@]}"; do grep -qx -- "$f" <<<"$contents" || fail "package lacks $f"; done
[ "$(wc -l <<<"$contents")" -eq "${#expected[@]}" ] || fail "package holds other files: $contents"

# The same tree installed into a DESTDIR, as `make install DESTDIR=... PREFIX=/usr` does it.
root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; }
installed=$(cd "$root" && find . -type f | sed 's|^\.||' | sort)
[ "$installed" = "$contents" ] || fail "make install and the package differ: $(diff <(echo "$installed") <(echo "$contents"))"

desktop-file-validate "$root/usr/share/applications/vizmora.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.quorvex.Vizmora.metainfo.xml" >"$work/as.log" 2>&1 ||
  { cat "$work/as.log"; fail "appstreamcli validate"; }
update-mime-database "$root/usr/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q "application/x-vizmora-playlist:\*\.pll" "$root/usr/share/mime/globs2" || fail "no *.pll glob in the MIME database"
expect_line "$(zcat "$root/usr/share/man/man1/vizmora.1.gz")" 'headless' "man page names the options"
expect_line "$(readelf -d "$root/usr/bin/vizmora")" "NEEDED" "installed binary is dynamic"
grep -qE "R(UN)?PATH" <<<"$(readelf -d "$root/usr/bin/vizmora")" && fail "installed binary keeps a run path"

# The installed program runs: its version, and a headless show of one short clip.
bin="$root/usr/bin/vizmora"
[ "$("$bin" --version)" = "vizmora $version" ] || fail "installed --version says $("$bin" --version)"
ffmpeg -loglevel error -f lavfi -i testsrc=size=160x120:rate=25 -t 1 -c:v mjpeg "$work/clip.avi"
events=$(cd "$work" && env -u DBUS_SESSION_BUS_ADDRESS VIZMORA_REGISTRY="$work/registry.reg" \
  timeout 120 "$bin" --headless --loops 1 --events clip.avi 2>"$work/show.err") || { cat "$work/show.err"; fail "installed show"; }
expect_line "$events" '"event":"started".*"index":0' "installed show started its entry"
expect_line "$events" '"event":"finished".*"index":0' "installed show finished its entry"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the package failed"
  exit 1
fi
echo "package $(basename "$deb"): control fields, contents, desktop files and the installed program checked"
