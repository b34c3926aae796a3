#pragma once
// The program's command line: media files and playlists to load, and the switches for
// unattended and scripted runs.
#include <cstdint>
#include <string>
#include <vector>

struct TCommandLine {
  std::vector<std::string> Files;  // media files and playlists, in the order given
  bool Headless = false;           // no display: offscreen platform, video to a null sink
  int Loops = 0;                   // end after the playlist wrapped round this often; 0: never
  bool Events = false;             // one JSON line per entry started, finished or failed
  bool FullScreen = false;         // the video form starts full screen
  bool HidePlayList = false;       // the playlist window starts hidden
  bool SkipBroken = false;         // entries that fail are passed over instead of halting the show
  bool Resume = false;             // start at the entry this show played last, and keep saving it
  std::string LogFile;             // --log: one JSON line per show event appended here
  std::string ListFile;            // --list: print the entries of this playlist and exit
  std::string SaveFile;            // --save: write the playlist built from Files and exit
  std::string SyncServe;           // --sync-serve: [ADDR:]PORT to publish the show clock at
  std::string SyncClock;           // --sync-clock: HOST:PORT, ptp[:DOMAIN] or system
  std::int64_t SyncEpochNs = 946684800000LL * 1000000;  // --sync-epoch, since 1970; 2000-01-01T00:00:00Z
  // The show runs in step with other players, on a shared clock.
  bool Synced() const { return !SyncServe.empty() || !SyncClock.empty(); }
  // --wall COLSxROWS:INDEX and --wall-bezel PX: this screen's tile of a video wall; 1x1: none.
  int WallCols = 1, WallRows = 1, WallIndex = 0, WallBezel = 0;
  bool Help = false;
  bool Version = false;
  std::string Error;               // non-empty when the arguments could not be understood

  static TCommandLine Parse(const std::vector<std::string>& Arguments);
  static std::string Usage();
};

// True for a path whose extension names a playlist format (.pll, .m3u, .m3u8, .xspf), letter
// case ignored.
bool IsPlayListPath(const std::string& Path);
