#include "media/TestMedia.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace {
const std::string& Folder() {
  // Never destroyed: the exit handler that removes the folder runs after static destructors.
  static const std::string* const F = []() -> const std::string* {
    char Template[] = "/tmp/vizmora-media-XXXXXX";
    if (!::mkdtemp(Template)) return new std::string("/tmp");  // and never removed
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return new std::string(Template);
  }();
  return *F;
}

const std::string Video = "-f lavfi -i testsrc=size=160x120:rate=25 ";
std::string Colour(const std::string& Name) { return "-f lavfi -i color=c=" + Name + ":size=160x120:rate=25 "; }
const std::string Tone = "-f lavfi -i sine=frequency=440:sample_rate=44100 ";

bool Ffmpeg(const std::string& Arguments, const std::string& Out) {
  const std::string Command = "ffmpeg -nostdin -loglevel error -y " + Arguments + " '" + Out + "'";
  return std::system(Command.c_str()) == 0;
}

void CopyHead(const std::string& From, const std::string& To, std::size_t Bytes) {
  std::ifstream In(From, std::ios::binary);
  std::string Data(Bytes, '\0');
  In.read(Data.data(), std::streamsize(Bytes));
  std::ofstream(To, std::ios::binary).write(Data.data(), In.gcount());
}

void Concatenate(const std::string& A, const std::string& B, const std::string& To) {
  std::ofstream Out(To, std::ios::binary);
  Out << std::ifstream(A, std::ios::binary).rdbuf() << std::ifstream(B, std::ios::binary).rdbuf();
}

bool Generate(TTestMedia Kind, const std::string& Out) {
  switch (Kind) {
    case TTestMedia::AviMjpegPcm: return Ffmpeg(Video + Tone + "-t 2 -c:v mjpeg -c:a pcm_s16le", Out);
    case TTestMedia::AviMpeg4Mp3: return Ffmpeg(Video + Tone + "-t 2 -c:v mpeg4 -c:a libmp3lame", Out);
    case TTestMedia::AviMpeg4Hd: return Ffmpeg("-f lavfi -i testsrc=size=1280x720:rate=25 -t 1 -c:v mpeg4", Out);
    case TTestMedia::Vob: return Ffmpeg(Video + Tone + "-t 2 -c:v mpeg2video -c:a mp2 -f vob", Out);
    case TTestMedia::VobSizeChange: {
      const std::string Small = Out + ".1.vob", Large = Out + ".2.vob";
      const bool Made = Ffmpeg(Video + Tone + "-t 1 -c:v mpeg2video -c:a mp2 -f vob", Small) &&
                        Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 " + Tone + "-t 1 -c:v mpeg2video -c:a mp2 -f vob", Large);
      if (Made) Concatenate(Small, Large, Out);
      return Made;
    }
    case TTestMedia::Jpeg: return Ffmpeg(Video + "-frames:v 1", Out);
    case TTestMedia::Gif: return Ffmpeg(Video + "-frames:v 1", Out);
    case TTestMedia::AnimatedGif: return Ffmpeg("-f lavfi -i testsrc=size=160x120:rate=10 -t 1", Out);
    case TTestMedia::Wav: return Ffmpeg(Tone + "-t 2", Out);
    case TTestMedia::LowTone: return Ffmpeg("-f lavfi -i sine=frequency=220:sample_rate=44100 -t 10", Out);
    case TTestMedia::Mp3: return Ffmpeg(Tone + "-t 2 -c:a libmp3lame", Out);
    case TTestMedia::NoDecoder: return Ffmpeg(Video + "-t 1 -c:v rawvideo -pix_fmt yuv420p -vtag ZZZZ", Out);
    case TTestMedia::UnknownType: {
      std::ofstream Text(Out);
      for (int I = 0; I < 2000; ++I) Text << "This is a line of plain text, not a picture and not a sound.\n";
      return bool(Text);
    }
    case TTestMedia::RedClip: return Ffmpeg(Colour("red") + Tone + "-t 4 -c:v mjpeg -q:v 2 -c:a pcm_s16le", Out);
    case TTestMedia::BlueClip: return Ffmpeg(Colour("blue") + "-t 2 -c:v mjpeg -q:v 2", Out);
    case TTestMedia::GreenClip: return Ffmpeg(Colour("lime") + Tone + "-t 3 -c:v mjpeg -q:v 2 -c:a pcm_s16le", Out);
    case TTestMedia::GreenJpeg: return Ffmpeg(Colour("lime") + "-frames:v 1 -q:v 2", Out);
    case TTestMedia::Mp4H264Aac: return Ffmpeg(Video + Tone + "-t 2 -c:v libx264 -pix_fmt yuv420p -c:a aac", Out);
    case TTestMedia::WebmVp9Opus:
      return Ffmpeg(Video + Tone + "-t 2 -c:v libvpx-vp9 -deadline realtime -c:a libopus", Out);
    case TTestMedia::Png:
    case TTestMedia::Bmp:
    case TTestMedia::Tiff: return Ffmpeg(Video + "-frames:v 1", Out);
    case TTestMedia::Truncated: {
      const std::string Whole = TestMediaPath(TTestMedia::AviMjpegPcm);
      CopyHead(Whole, Out, 3000);
      return !Whole.empty();
    }
  }
  return false;
}

const char* NameOf(TTestMedia Kind) {
  switch (Kind) {
    case TTestMedia::AviMjpegPcm: return "mjpeg-pcm.avi";
    case TTestMedia::AviMpeg4Mp3: return "mpeg4-mp3.avi";
    case TTestMedia::AviMpeg4Hd: return "mpeg4-720p.avi";
    case TTestMedia::Vob: return "mpeg2.vob";
    case TTestMedia::VobSizeChange: return "size-change.vob";
    case TTestMedia::Jpeg: return "still.jpg";
    case TTestMedia::Gif: return "still.gif";
    case TTestMedia::AnimatedGif: return "animated.gif";
    case TTestMedia::Wav: return "tone.wav";
    case TTestMedia::LowTone: return "low-tone.wav";
    case TTestMedia::Mp3: return "tone.mp3";
    case TTestMedia::NoDecoder: return "no-decoder.avi";
    case TTestMedia::UnknownType: return "text.avi";
    case TTestMedia::Truncated: return "truncated.avi";
    case TTestMedia::RedClip: return "red.avi";
    case TTestMedia::BlueClip: return "blue.avi";
    case TTestMedia::GreenClip: return "green.avi";
    case TTestMedia::GreenJpeg: return "green.jpg";
    case TTestMedia::Mp4H264Aac: return "h264-aac.mp4";
    case TTestMedia::WebmVp9Opus: return "vp9-opus.webm";
    case TTestMedia::Png: return "still.png";
    case TTestMedia::Bmp: return "still.bmp";
    case TTestMedia::Tiff: return "still.tiff";
  }
  return "unknown";
}
}  // namespace

std::string TestMediaPath(TTestMedia Kind) {
  static std::map<TTestMedia, std::string> Made;
  if (const auto It = Made.find(Kind); It != Made.end()) return It->second;
  const std::string Path = Folder() + "/" + NameOf(Kind);
  return Made[Kind] = Generate(Kind, Path) ? Path : std::string();
}

std::string MissingMediaPath() { return Folder() + "/missing.avi"; }
