#!/usr/bin/env bash
# Generates a small demo show and prints the path of its playlist: two clips (the second with a
# picture-in-picture overlay in its top-right corner), a picture with a sound of its own and a
# picture carrying that sound on. Media is made once, into the user's cache folder.
set -euo pipefail

dir="${XDG_CACHE_HOME:-$HOME/.cache}/vizmora/demo"
mkdir -p "$dir"
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

[ -s "$dir/sunrise.avi" ] || ff -f lavfi -i "testsrc2=size=640x360:rate=25:duration=4" \
  -f lavfi -i "sine=frequency=440:duration=4" -c:v mpeg4 -q:v 4 -c:a pcm_s16le "$dir/sunrise.avi"
[ -s "$dir/ocean.avi" ] || ff -f lavfi -i "rgbtestsrc=size=640x360:rate=25:duration=4" \
  -f lavfi -i "sine=frequency=330:duration=4" -c:v mpeg4 -q:v 4 -c:a pcm_s16le "$dir/ocean.avi"
[ -s "$dir/logo.avi" ] || ff -f lavfi -i "smptebars=size=320x180:rate=25:duration=4" -c:v mjpeg -q:v 5 "$dir/logo.avi"
[ -s "$dir/poster.jpg" ] || ff -f lavfi -i "color=c=0x204080:size=640x360,drawgrid=w=80:h=80:t=4:c=white" \
  -frames:v 1 "$dir/poster.jpg"
[ -s "$dir/banner.gif" ] || ff -f lavfi -i "testsrc=size=320x180:rate=5:duration=2" -loop 0 "$dir/banner.gif"
[ -s "$dir/chime.wav" ] || ff -f lavfi -i "sine=frequency=660:duration=6" "$dir/chime.wav"

# The playlist file: per record a type byte and the entry's body, little-endian.
int32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
text() { int32 "${#1}"; printf '%s' "$1"; }
zero_double='\x00\x00\x00\x00\x00\x00\x00\x00'
video() {  # file, overlay file, then the rectangle and alpha as the bytes of five floats
  printf '\x00'; text "$1"; printf "$zero_double"; text "$2"; printf "$3"
}
picture() {  # file, sound file, continue byte, display time
  printf '\x01'; text "$1"; printf "$zero_double"; text "$2"; printf "$3"; int32 "$4"
}
no_overlay='\x00\x00\x00\x00\x00\x00\x00\x00\xcd\xcc\xcc\x3d\xcd\xcc\xcc\x3d\x00\x00\x80\x3f'
corner='\x9a\x99\x19\x3f\xcd\xcc\x4c\x3d\x33\x33\x73\x3f\xcd\xcc\xcc\x3e\x00\x00\x40\x3f'  # 0.6 0.05 0.95 0.4, alpha 0.75
{
  video "$dir/sunrise.avi" "" "$no_overlay"
  video "$dir/ocean.avi" "$dir/logo.avi" "$corner"
  picture "$dir/poster.jpg" "$dir/chime.wav" '\x00' 3
  picture "$dir/banner.gif" "" '\x01' 3
} > "$dir/demo.pll"
echo "$dir/demo.pll"
