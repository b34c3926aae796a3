# The media of the long runs, made once in WORK: a 0.2-second clip with sound, a picture and a
# chime. Sourced by longrun.sh and kioskrun.sh; needs $work.
ff() { ffmpeg -loglevel error -y "$@"; }
[ -s "$work/short.avi" ] || ff -f lavfi -i "testsrc=size=640x360:rate=25:duration=0.2" \
  -f lavfi -i "sine=frequency=660:sample_rate=44100:duration=0.2" -c:v mpeg4 -q:v 5 -c:a pcm_s16le -shortest "$work/short.avi"
[ -s "$work/still.jpg" ] || ff -f lavfi -i "color=c=0x204080:size=640x360" -frames:v 1 "$work/still.jpg"
[ -s "$work/chime.wav" ] || ff -f lavfi -i "sine=frequency=880:sample_rate=44100:duration=0.5" "$work/chime.wav"
