#include "engine/GIFPLE.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "engine/EntryStreaming.h"
#include "engine/PropertiesFrames.h"
#include "framework/Clock.h"
#include "framework/DayFractions.h"
#include "media/FilterGraph.h"

TGIFPLE::TGIFPLE(TVizmoraPlayer* AOwner) : TPlayListEntry(AOwner) {}

TGIFPLE::~TGIFPLE() {
  FSoundStopTimer.reset();
  FDisplayTimer.reset();
}

ITimer& TGIFPLE::DisplayTimer() {
  if (!FDisplayTimer) {
    FDisplayTimer = CreateTimer();
    FDisplayTimer->OnTimer.Bind(this, &TGIFPLE::DisplayTimeUp);
  }
  return *FDisplayTimer;
}

ITimer& TGIFPLE::SoundStopTimer() {
  if (!FSoundStopTimer) {
    FSoundStopTimer = CreateTimer();
    FSoundStopTimer->OnTimer.Bind(this, &TGIFPLE::StopSound);
  }
  return *FSoundStopTimer;
}

double TGIFPLE::GetDuration() { return DisplayTime / SecsPerDay; }

double TGIFPLE::GetPosition() { return Now() - StartTime; }

void TGIFPLE::Play() {
  switch (MainGraph->GraphState()) {
    case gsNone:
      if (!SoundFile.empty()) {
        SoundGraph->ClearGraph();
        SoundGraph->RenderFile(SoundFile);
        MainGraph->RenderFile(FileName);
        MainGraph->Play();
        SoundGraph->Play();
      }
      break;
    case gsStopped:
    case gsRunning: {
      // A picture prepared ahead is taken over instead of rendered into the cleared graph.
      const bool Prepared = MainGraph->NextPrepared({FileName});
      if (!Prepared) MainGraph->ClearGraph();
      if (!SoundFile.empty() && !ContinueSound) PlayOwnSound();
      if (ContinueSound) SoundStopTimer().SetEnabled(false);
      if (!Prepared || !MainGraph->TakeNext({FileName}, FadeIn)) MainGraph->RenderFile(FileName);
      MainGraph->Play();
      break;
    }
    case gsPaused:
      break;
  }
  // A stored display time below one second, or too large for the timer, is kept as stored but
  // timed within what the timer can count.
  StartDisplayTimer(std::clamp<std::int64_t>(std::int64_t{DisplayTime} * 1000, 1000, INT_MAX));
  StartTime = Now();
  TPlayListEntry::Play();
}

// The sound prepared ahead is taken over, fading in with the picture (and the one it replaces
// fading out), or, when none was, rendered as before.
void TGIFPLE::PlayOwnSound() {
  if (!SoundGraph->TakeNext({SoundFile}, FadeIn)) {
    SoundGraph->ClearGraph();
    SoundGraph->RenderFile(SoundFile);
  }
  SoundGraph->FadeIn(FadeIn);
  SoundGraph->Play();
}

// The picture and its own sound; a failure of either is told once.
void TGIFPLE::Prepare(TPrepareFailed Failed) {
  if (SoundGraph && !SoundFile.empty() && !ContinueSound && !SoundGraph->NextPrepared({SoundFile}))
    SoundGraph->PrepareNext({SoundFile}, Failed);
  if (MainGraph && !MainGraph->NextPrepared({FileName})) MainGraph->PrepareNext({FileName}, std::move(Failed));
}

void TGIFPLE::DropPrepared() {
  if (MainGraph) MainGraph->DropNext();
  if (SoundGraph) SoundGraph->DropNext();
}

void TGIFPLE::Stop() {
  MainGraph->Stop();
  SoundGraph->Abort();  // a sound still opening for this Play is called off with it
  SoundGraph->EndFade();
  SoundStopTimer().SetEnabled(true);
  DisplayTimer().SetEnabled(false);
  TPlayListEntry::Stop();
}

void TGIFPLE::Pause() {
  if (State == esPaused) {
    Resume();
    return;
  }
  FSoundWasRunning = SoundGraph->GraphState() == gsRunning;
  MainGraph->Pause();
  SoundGraph->Pause();
  if (DisplayTimer().Enabled()) {
    const std::int64_t Elapsed = std::llround((Now() - FTimerStarted) * MSecsPerDay);
    FTimerLeft = std::max<std::int64_t>(FTimerLeft - Elapsed, 0);
  }
  DisplayTimer().SetEnabled(false);
  TPlayListEntry::Pause();
}

// The playlist resumes a paused entry by pausing it again: the graphs run on and the display
// timer counts what was left of the display time.
void TGIFPLE::Resume() {
  MainGraph->Play();
  if (FSoundWasRunning) SoundGraph->Play();
  StartDisplayTimer(FTimerLeft);
  TPlayListEntry::Play();
}

void TGIFPLE::StartDisplayTimer(std::int64_t Milliseconds) {
  DisplayTimer().SetEnabled(false);
  DisplayTimer().SetInterval(static_cast<int>(Milliseconds));
  FTimerStarted = Now();
  FTimerLeft = Milliseconds;
  DisplayTimer().SetEnabled(true);
}

void TGIFPLE::DisplayTimeUp(ITimer*) {
  DisplayTimer().SetEnabled(false);
  FTimerLeft = 0;
  State = esStopped;
  OnFinished(this);
}

void TGIFPLE::StopSound(ITimer*) {
  SoundStopTimer().SetEnabled(false);
  SoundGraph->Stop();
}

IPropertiesFrame* TGIFPLE::CreatePropertiesFrame() {
  if (!CreateGIFFrame) return nullptr;
  IGIFFrame* Frame = CreateGIFFrame();
  Frame->SetLabel1Caption(FileName);
  Frame->SetTrackBar1Position(DisplayTime);
  Frame->SetLabel3Caption(std::to_string(DisplayTime));
  Frame->SetEdit1Text(SoundFile);
  Frame->SetCheckBox1Checked(ContinueSound);
  return Frame;
}

// A frame that is not a picture entry's is left alone.
void TGIFPLE::ApplyProperties(IPropertiesFrame* Properties) {
  auto* Frame = dynamic_cast<IGIFFrame*>(Properties);
  if (!Frame) return;
  DisplayTime = Frame->TrackBar1Position();
  Duration = DisplayTime / SecsPerDay;
  SoundFile = Frame->Edit1Text();
  ContinueSound = Frame->CheckBox1Checked();
}

void TGIFPLE::SaveToStream(TStream& Stream) {
  TPlayListEntry::SaveToStream(Stream);
  WriteAnsiString(Stream, SoundFile);
  WriteValue(Stream, static_cast<std::uint8_t>(ContinueSound ? 1 : 0));
  WriteValue(Stream, DisplayTime);
}

void TGIFPLE::LoadFromStream(TStream& Stream) {
  TPlayListEntry::LoadFromStream(Stream);
  ReadAnsiString(Stream, SoundFile);
  std::uint8_t Continue = 0;
  ReadValue(Stream, Continue);
  ContinueSound = Continue != 0;
  ReadValue(Stream, DisplayTime);
}
