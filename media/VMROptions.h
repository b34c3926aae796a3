#pragma once
// The options of a video window's mixing renderer: input streams, rendering preferences,
// rendering mode and aspect-ratio mode. Each video window owns one. The setters of the first
// three rebuild the window's renderer while it is mixing in an active graph; none compares the
// new value with the old one. User-interface thread only.
#include <QObject>

#include "media/VideoTypes.h"
#include "platform/com/ComTypes.h"

class TVideoWindow;

class TVMROptions : public QObject {
  Q_OBJECT
  Q_PROPERTY(VideoTypes::TVMRVideoMode Mode READ Mode WRITE SetMode)
  Q_PROPERTY(uint Streams READ Streams WRITE SetStreams)
  Q_PROPERTY(VideoTypes::TVMRPreferences Preferences READ Preferences WRITE SetPreferences)
  Q_PROPERTY(bool KeepAspectRatio READ KeepAspectRatio WRITE SetKeepAspectRatio)

public:
  // AWindow owns the options and outlives them.
  explicit TVMROptions(TVideoWindow* AWindow);

  // The number of input streams to ask the renderer for: 1..16; any other value stores 1.
  DWORD Streams() const { return FStreams; }
  void SetStreams(DWORD Value);
  TVMRPreferences Preferences() const { return FPreferences; }
  void SetPreferences(TVMRPreferences Value);
  TVMRVideoMode Mode() const { return FMode; }
  void SetMode(TVMRVideoMode Value);
  // True letter-boxes the picture inside the window, False stretches it. Reaches a configured
  // windowed or windowless renderer at once, otherwise its next configuration; never rebuilds.
  bool KeepAspectRatio() const { return FKeepAspectRatio; }
  void SetKeepAspectRatio(bool Value);

  // The stream count rule: Value when within 1..16, else 1.
  static DWORD ClampStreams(DWORD Value) { return Value >= 1 && Value <= 16 ? Value : 1; }

private:
  // The window stores what its renderer reports without rebuilding it.
  friend class TVideoWindow;

  void RejoinIfMixing();

  TVideoWindow* FWindow;  // the owner
  DWORD FStreams = 4;
  TVMRPreferences FPreferences = vpForceMixer;
  TVMRVideoMode FMode = vmrWindowed;
  bool FKeepAspectRatio = true;
};
