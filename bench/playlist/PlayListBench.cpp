// Times saving or loading one playlist file of N entries through the engine, in a process of
// its own so the peak resident size belongs to that one operation.
// Usage: playlist_bench save|load N FILE
//        playlist_bench show N FILE CLIP PICTURE SOUND OVERLAY   (writes a show of N entries:
//        the clip and the picture by turns, the picture shown 1 s, every fourth of each with
//        the overlay or the sound)
//        playlist_bench overlay FILE CLIP OVERLAY   (writes one video entry: the clip with the
//        overlay in the lower right quarter at half opacity)
//        playlist_bench list FILE SECONDS MEDIA...   (writes the media in order, each picture
//        shown SECONDS)
// Prints: op N bytes seconds MB/s rss_before_kB rss_peak_kB bytes_of_peak_per_entry
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/EntryKinds.h"
#include "bench/FileReport.h"
#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayList.h"
#include "engine/VizmoraPlayer.h"

namespace {

// A 60-character path that differs from entry to entry.
std::string PathFor(const char* Prefix, int Index, const char* Ext) {
  char Buffer[64];
  std::snprintf(Buffer, sizeof Buffer, "/srv/media/show/%s/clip-%010d-%s", Prefix, Index, Ext);
  std::string Path = Buffer;
  Path.resize(60, 'x');
  return Path;
}

// Alternates the two kinds; every fourth entry of each kind carries an overlay or a sound.
void Fill(TEntryKinds& Kinds, TVizmoraPlayList& PlayList, int Count) {
  for (int I = 0; I < Count; ++I) {
    if (I % 2 == 0) {
      auto* Video = static_cast<TAVIPLE*>(Kinds.CreateEntry(ecVideoEntry));
      Video->FileName = PathFor("video", I, ".avi");
      if (I % 8 == 0) {
        Video->AdditionalFile = PathFor("logos", I, ".avi");
        Video->OverlayRect = {0.7f, 0.7f, 0.95f, 0.95f};
        Video->OverlayAlpha = 0.5f;
      }
      PlayList.Add(Video);
    } else {
      auto* Picture = static_cast<TGIFPLE*>(Kinds.CreateEntry(ecPictureEntry));
      Picture->FileName = PathFor("stills", I, ".png");
      Picture->DisplayTime = 5;
      if (I % 8 == 1) {
        Picture->SoundFile = PathFor("sounds", I, ".mp3");
        Picture->ContinueSound = true;
      }
      PlayList.Add(Picture);
    }
  }
}

// A playable show for the long run.
void FillShow(TEntryKinds& Kinds, TVizmoraPlayList& PlayList, int Count, char** Files) {
  for (int I = 0; I < Count; ++I) {
    if (I % 2 == 0) {
      auto* Video = static_cast<TAVIPLE*>(Kinds.CreateEntry(ecVideoEntry));
      Video->FileName = Files[0];
      if (I % 8 == 0) Video->AdditionalFile = Files[3];
      PlayList.Add(Video);
    } else {
      auto* Picture = static_cast<TGIFPLE*>(Kinds.CreateEntry(ecPictureEntry));
      Picture->FileName = Files[1];
      Picture->DisplayTime = 1;
      if (I % 8 == 1) Picture->SoundFile = Files[2];
      PlayList.Add(Picture);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool Show = argc == 8 && std::string(argv[1]) == "show";
  const bool Overlay = argc == 5 && std::string(argv[1]) == "overlay";
  const bool List = argc >= 5 && std::string(argv[1]) == "list";
  if (argc != 4 && !Show && !Overlay && !List) {
    std::fprintf(stderr,
                 "usage: playlist_bench save|load N FILE | show N FILE CLIP PICTURE SOUND OVERLAY | overlay FILE CLIP OVERLAY"
                 " | list FILE SECONDS MEDIA...\n");
    return 2;
  }
  QCoreApplication App(argc, argv);
  if (List) {
    TVizmoraPlayer Player;
    TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
    for (int I = 4; I < argc; ++I) {
      if (!Kinds.AddMediaFile(argv[I])) {
        std::fprintf(stderr, "not a medium: %s\n", argv[I]);
        return 1;
      }
      if (auto* Picture = dynamic_cast<TGIFPLE*>(Player.PlayList->Items(I - 4))) Picture->DisplayTime = std::atoi(argv[3]);
    }
    Kinds.SavePlayList(argv[2]);
    return 0;
  }
  if (Overlay) {
    TVizmoraPlayer Player;
    TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
    auto* Video = static_cast<TAVIPLE*>(Kinds.CreateEntry(ecVideoEntry));
    Video->FileName = argv[3];
    Video->AdditionalFile = argv[4];
    Video->OverlayRect = {0.5f, 0.5f, 1.0f, 1.0f};
    Video->OverlayAlpha = 0.5f;
    Player.PlayList->Add(Video);
    Kinds.SavePlayList(argv[2]);
    return 0;
  }
  const std::string Op = argv[1];
  const int Count = std::atoi(argv[2]);
  const std::string File = argv[3];

  TVizmoraPlayer Player;
  TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
  if (Show) {
    FillShow(Kinds, *Player.PlayList, Count, argv + 4);
    Kinds.SavePlayList(File);
    return 0;
  }
  const long RssBefore = PeakRssKb();
  using Clock = std::chrono::steady_clock;
  double Seconds = 0;
  if (Op == "save") {
    Fill(Kinds, *Player.PlayList, Count);
    const auto Start = Clock::now();
    Kinds.SavePlayList(File);
    Seconds = std::chrono::duration<double>(Clock::now() - Start).count();
  } else {
    const auto Start = Clock::now();
    Kinds.LoadPlayList(File);
    Seconds = std::chrono::duration<double>(Clock::now() - Start).count();
    if (Player.PlayList->Count() != Count) {
      std::fprintf(stderr, "loaded %d entries, expected %d\n", Player.PlayList->Count(), Count);
      return 1;
    }
  }
  PrintFileReport(Op, Count, File, Seconds, RssBefore);
  return 0;
}
