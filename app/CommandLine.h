#pragma once
// The program's command line: media files and playlists to load, and the switches for
// unattended and scripted runs.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "media/Transition.h"

struct TCommandLine {
  std::vector<std::string> Files;  // media files and playlists, in the order given
  bool Headless = false;           // no display: offscreen platform, video to a null sink
  int Loops = 0;                   // end after the playlist wrapped round this often; 0: never
  bool Events = false;             // one JSON line per entry started, finished or failed
  bool FullScreen = false;         // the video form starts full screen
  bool HidePlayList = false;       // the playlist window starts hidden
  bool SkipBroken = false;         // entries that fail are passed over instead of halting the show
  bool Resume = false;             // start at the entry this show played last, and keep saving it
  bool NoPreload = false;          // open each entry only once the one before has ended
  std::optional<TTransition> Transition;  // --transition; none: as saved
  std::string LogFile;             // --log: one JSON line per show event appended here
  std::string ListFile;            // --list: print the entries of this playlist and exit
  std::string SaveFile;            // --save: write the playlist built from Files and exit
  // Remote operation (--remote [ADDR:]PORT): off while RemotePort is -1.
  std::string RemoteAddress = "127.0.0.1";
  int RemotePort = -1;             // 0: any free port
  std::string RemoteTokenFile;     // empty: the token is kept in the settings
  std::string RemoteCert, RemoteKey;  // TLS when given (both or neither)
  std::string MediaDir;            // empty: ~/Videos/vizmora
  std::uint64_t UploadLimit = std::uint64_t(2) << 30;
  int RemoteTimeout = 30;          // seconds a read or write of a request may take
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
