#pragma once
// The video window's renderer kinds and the mixing renderer's rendering modes and preferences.
#include <QObject>
#include <cstdint>

namespace VideoTypes {
Q_NAMESPACE

// Which renderer the video window creates: the classic one, drawing into a window of its own,
// or the mixing renderer.
enum TVideoMode { vmNormal = 0, vmVMR = 1 };
Q_ENUM_NS(TVideoMode)

// The mixing renderer's rendering mode.
enum TVMRVideoMode { vmrWindowed = 0, vmrWindowless = 1, vmrRenderless = 2 };
Q_ENUM_NS(TVMRVideoMode)

// A rendering preference, by the bit the renderer takes it as. vpForceMixer is the window's
// own switch (it forces the stream count onto the renderer) and never reaches the renderer.
enum TVMRPreference : std::uint8_t {
  vpForceOffscreen = 1,
  vpForceOverlays = 2,
  vpForceMixer = 4,
  vpDoNotRenderColorKeyAndBorder = 8,
  vpRestrictToInitialMonitor = 16,
  vpPreferAGPMemWhenMixing = 32,
};
// A set of preferences; one byte, so bits the renderer reports beyond the named ones are kept.
Q_DECLARE_FLAGS(TVMRPreferences, TVMRPreference)
Q_FLAG_NS(TVMRPreferences)
}  // namespace VideoTypes

Q_DECLARE_OPERATORS_FOR_FLAGS(VideoTypes::TVMRPreferences)

using VideoTypes::TVideoMode;
using VideoTypes::TVMRPreference;
using VideoTypes::TVMRPreferences;
using VideoTypes::TVMRVideoMode;
using enum VideoTypes::TVideoMode;
using enum VideoTypes::TVMRVideoMode;
using enum VideoTypes::TVMRPreference;
