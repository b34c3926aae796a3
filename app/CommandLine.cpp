#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "app/EntryKinds.h"
#include "engine/PlayListFormats.h"

bool IsPlayListPath(const std::string& Path) { return PlayListFormatOf(Path) != TPlayListFormat::pfNone; }

TCommandLine TCommandLine::Parse(const std::vector<std::string>& Arguments) {
  TCommandLine C;
  auto Fail = [&C](const std::string& Why) {
    if (C.Error.empty()) C.Error = Why;
  };
  for (size_t I = 0; I < Arguments.size(); ++I) {
    const std::string& A = Arguments[I];
    auto Value = [&](const char* Option) -> std::string {
      if (I + 1 >= Arguments.size()) {
        Fail(std::string(Option) + " needs a value");
        return {};
      }
      return Arguments[++I];
    };
    if (A == "--headless") {
      C.Headless = true;
    } else if (A == "--events") {
      C.Events = true;
    } else if (A == "--loops") {
      const std::string V = Value("--loops");
      int N = 0;
      const auto [End, Err] = std::from_chars(V.data(), V.data() + V.size(), N);
      if (Err != std::errc() || End != V.data() + V.size() || N < 1)
        Fail("--loops needs a whole number of at least 1, not \"" + V + "\"");
      else
        C.Loops = N;
    } else if (A == "--fullscreen") {
      C.FullScreen = true;
    } else if (A == "--hide-playlist") {
      C.HidePlayList = true;
    } else if (A == "--skip-broken") {
      C.SkipBroken = true;
    } else if (A == "--resume") {
      C.Resume = true;
    } else if (A == "--log") {
      C.LogFile = Value("--log");
    } else if (A == "--list") {
      C.ListFile = Value("--list");
    } else if (A == "--save") {
      C.SaveFile = Value("--save");
    } else if (A == "--help" || A == "-h") {
      C.Help = true;
    } else if (A == "--version") {
      C.Version = true;
    } else if (A == "--") {
      C.Files.insert(C.Files.end(), Arguments.begin() + static_cast<long>(I) + 1, Arguments.end());
      break;
    } else if (A.size() > 1 && A[0] == '-') {
      Fail("unknown option " + A);
    } else {
      C.Files.push_back(A);
    }
  }
  return C;
}

namespace {
// A line for each entry kind with the extensions it takes, from the kinds' table.
std::string WhatPlays() {
  std::string Text = "Plays media files and playlists (.pll, and other players' .m3u .m3u8 .xspf) as one\nendless show:\n";
  for (const TEntryKind& Kind : EntryKindTable()) {
    std::string Line = "  " + std::string(Kind.Name) + "s";
    Line.resize(12, ' ');
    for (std::string Ext : Kind.Extensions) {
      std::transform(Ext.begin(), Ext.end(), Ext.begin(), [](unsigned char C) { return std::tolower(C); });
      Line += " " + Ext;
    }
    Text += Line + "\n";
  }
  return Text;
}
}  // namespace

std::string TCommandLine::Usage() {
  return "Usage: vizmora [OPTION]... [FILE | PLAYLIST]...\n" + WhatPlays() +
         "\n"
         "  --headless        run without a display; video goes to a null sink at real speed\n"
         "  --loops N         end after the playlist has wrapped round N times\n"
         "  --events          print one JSON line per entry that starts, finishes or fails\n"
         "  --fullscreen      start with the video full screen\n"
         "  --hide-playlist   start with the playlist window hidden\n"
         "  --skip-broken     pass over entries that fail instead of stopping the show\n"
         "                    (entries that stall too); wait longer between rounds that all fail\n"
         "  --resume          start at the entry this same show played last\n"
         "  --log FILE        append one JSON line per show event to FILE (rotated at 10 MB)\n"
         "  --list PLAYLIST   print each entry of a playlist file as a JSON line and exit\n"
         "  --save OUT.pll    write the playlist built from the other arguments and exit\n"
         "                    (as M3U8 or XSPF when OUT ends in .m3u8, .m3u or .xspf)\n"
         "  --help            show this help and exit\n"
         "  --version         show the version and exit\n";
}
