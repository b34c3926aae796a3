#pragma once
// The playlist entry for still pictures: the picture is rendered into the main graph and kept
// on screen for its display time; a sound may start with it in the sound graph, or the sound
// already playing may carry on. User-interface thread only; both timers fire on it, and are
// made when first needed, as a playlist may hold a million entries.
#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/PlayListEntry.h"
#include "framework/Timer.h"
#include "media/FilterGraph.h"

class TGIFPLE : public TPlayListEntry {
public:
  explicit TGIFPLE(TVizmoraPlayer* AOwner);
  ~TGIFPLE() override;

  double GetDuration() override;
  double GetPosition() override;
  void Play() override;
  void Prepare(TPrepareFailed Failed) override;
  void DropPrepared() override;
  void Stop() override;
  void Pause() override;
  IPropertiesFrame* CreatePropertiesFrame() override;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
  void ApplyProperties(IPropertiesFrame* Frame) override;

  void DisplayTimeUp(ITimer* Sender);
  void StopSound(ITimer* Sender);

  double StartTime = 0;  // wall-clock date-time of the last Play
  QPointer<TFilterGraph> MainGraph;  // not owned
  QPointer<TFilterGraph> SoundGraph;
  std::int32_t DisplayTime = 10;  // seconds
  // Made on first use.
  ITimer& DisplayTimer();
  ITimer& SoundStopTimer();
  bool ContinueSound = false;
  std::string SoundFile;

private:
  // Starts the display timer for Milliseconds, remembering when, so a pause can keep the rest.
  void StartDisplayTimer(std::int64_t Milliseconds);
  void PlayOwnSound();
  void Resume();

  double FTimerStarted = 0;         // date-time the display timer last started counting
  std::int64_t FTimerLeft = 0;      // milliseconds it had to run from then
  bool FSoundWasRunning = false;    // the sound graph ran when the entry paused
  std::unique_ptr<ITimer> FDisplayTimer;
  std::unique_ptr<ITimer> FSoundStopTimer;  // declared last so it is freed first
};
