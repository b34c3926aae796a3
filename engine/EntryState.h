#pragma once
#include <cstdint>

// The state of an entry, and of the playlist as a whole (never esIdle there).
enum TEntryState : std::uint8_t { esPlaying = 0, esStopped = 1, esPaused = 2, esIdle = 3 };
