#pragma once
// Media files for the tests, generated with ffmpeg on first use into a folder of this run.
#include <string>

enum class TTestMedia {
  AviMjpegPcm,   // 2 s, 160x120 at 25 frames/s, MJPEG video and PCM audio
  AviMpeg4Mp3,   // 2 s, MPEG-4 Part 2 video and MP3 audio
  AviMpeg4Hd,    // 1 s, 1280x720 MPEG-4 Part 2 video
  Vob,           // 2 s, MPEG-2 program stream with MPEG audio
  VobSizeChange, // 1 s at 160x120 followed by 1 s at 320x240
  Jpeg,
  Gif,           // one picture
  AnimatedGif,   // 1 s at 10 frames/s
  Wav,           // 2 s
  LowTone,       // 10 s at 220 Hz, WAV: a picture's sound that outlasts pictures
  Mp3,           // 2 s
  NoDecoder,     // AVI whose video codec nothing decodes
  UnknownType,   // text in a file named .avi
  Truncated,     // the first 3000 bytes of an AVI
  RedClip,       // 4 s, 160x120 (4:3) pure red at 25 frames/s, MJPEG with PCM audio
  BlueClip,      // 2 s, 160x120 pure blue, MJPEG
  GreenClip,     // 3 s, 160x120 pure green at 25 frames/s, MJPEG with PCM audio
  GreenJpeg,     // 160x120 pure green
  Mp4H264Aac,    // 2 s, H.264 video and AAC audio in MP4
  WebmVp9Opus,   // 2 s, VP9 video and Opus audio in WebM
  Png,           // one picture
  Bmp,           // one picture
  Tiff,          // one picture
};

// The path of the file; generated the first time it is asked for. Empty if ffmpeg failed.
std::string TestMediaPath(TTestMedia Kind);
// A path in the folder of this run that holds no file.
std::string MissingMediaPath();
