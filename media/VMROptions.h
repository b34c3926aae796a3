#pragma once
// The options of a video window's mixing renderer: input streams, rendering preferences,
// rendering mode and aspect-ratio mode. Each video window owns one and listens to it; the
// options know nothing of the window. No setter compares the new value with the old one.
// User-interface thread only.
#include <QObject>

#include "media/GraphEvents.h"
#include "media/VideoTypes.h"
#include "platform/com/ComTypes.h"

class TVMROptions : public QObject {
  Q_OBJECT
  Q_PROPERTY(VideoTypes::TVMRVideoMode Mode READ Mode WRITE SetMode)
  Q_PROPERTY(uint Streams READ Streams WRITE SetStreams)
  Q_PROPERTY(VideoTypes::TVMRPreferences Preferences READ Preferences WRITE SetPreferences)
  Q_PROPERTY(bool KeepAspectRatio READ KeepAspectRatio WRITE SetKeepAspectRatio)

public:
  // The number of input streams to ask the renderer for: 1..16; any other value stores 1.
  DWORD Streams() const { return FStreams; }
  void SetStreams(DWORD Value);
  TVMRPreferences Preferences() const { return FPreferences; }
  void SetPreferences(TVMRPreferences Value);
  TVMRVideoMode Mode() const { return FMode; }
  void SetMode(TVMRVideoMode Value);
  // True letter-boxes the picture inside the window, False stretches it.
  bool KeepAspectRatio() const { return FKeepAspectRatio; }
  void SetKeepAspectRatio(bool Value);

  // What a configured renderer reports, stored without raising anything.
  void StoreReportedStreams(DWORD Value) { FStreams = ClampStreams(Value); }
  void StoreReportedPreferences(TVMRPreferences Value) { FPreferences = Value; }

  // The stream count rule: Value when within 1..16, else 1.
  static DWORD ClampStreams(DWORD Value) { return Value >= 1 && Value <= 16 ? Value : 1; }

  // After Streams, Preferences or Mode was set: a mixing renderer in an active graph is rebuilt.
  TNotifyEvent OnRendererChange;
  // After KeepAspectRatio was set: a configured renderer takes the new aspect-ratio mode.
  TNotifyEvent OnAspectChange;

private:
  DWORD FStreams = 4;
  TVMRPreferences FPreferences = vpForceMixer;
  TVMRVideoMode FMode = vmrWindowed;
  bool FKeepAspectRatio = true;
};
