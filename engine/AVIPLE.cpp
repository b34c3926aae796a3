#include "engine/AVIPLE.h"

#include <utility>

#include "engine/EntryStreaming.h"
#include "engine/PropertiesFrames.h"
#include "framework/DayFractions.h"
#include "media/VideoRendererHost.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/Control.h"
#include "platform/dshow/ReferenceTime.h"

TAVIPLE::TAVIPLE(TVizmoraPlayer* AOwner) : TPlayListEntry(AOwner) {}

TAVIPLE::~TAVIPLE() {
  if (MainGraph && MainGraph->OnGraphComplete.BoundTo(this)) MainGraph->OnGraphComplete.Clear();
}

double TAVIPLE::GetDuration() { return Duration; }

namespace {
// The main graph's position in 100-ns units; 0 when it has none.
LONGLONG GraphPosition(TFilterGraph* Graph) {
  LONGLONG Position = 0;
  ComPtr<IMediaSeeking> Seeking;
  if (SUCCEEDED(Graph->QueryInterface(IMediaSeeking::IID, Seeking.ReleaseAndGetVoidAddress())))
    Seeking->GetCurrentPosition(&Position);
  return Position;
}
}  // namespace

double TAVIPLE::GetPosition() { return static_cast<double>(GraphPosition(MainGraph) / UnitsPerSecond) / SecsPerDay; }

double TAVIPLE::GetExactPosition() {
  return static_cast<double>(GraphPosition(MainGraph)) / UnitsPerSecond / SecsPerDay;
}

void TAVIPLE::Play() {
  // A picture's sound never runs on into a video: it stops, or fades out with the picture (a
  // pause holding that fade).
  if (State == esPaused && SoundGraph->Fading())
    SoundGraph->Play();
  else
    SoundGraph->FadeOut(FadeIn);
  if (State == esPaused)
    MainGraph->Play();
  else
    Reload();
  // A graph that cannot tell its length just now (resuming, say) leaves the one known.
  if (const LONG Length = MainGraph->Duration(); Length > 0) Duration = Length / MSecsPerDay;
  MainGraph->OnGraphComplete.Bind(this, &TAVIPLE::GraphCompleted);
  TPlayListEntry::Play();
}

std::vector<std::string> TAVIPLE::Files() const {
  if (AdditionalFile.empty()) return {FileName};
  return {FileName, AdditionalFile};
}

void TAVIPLE::Prepare(TPrepareFailed Failed) {
  if (MainGraph && !MainGraph->NextPrepared(Files())) MainGraph->PrepareNext(Files(), std::move(Failed));
}

void TAVIPLE::DropPrepared() {
  if (MainGraph) MainGraph->DropNext();
}

// Deactivating and reactivating the graph gives the video window a fresh renderer; a graph
// prepared ahead comes with one, and only takes over.
void TAVIPLE::Reload() {
  if (MainGraph->TakeNext(Files(), FadeIn)) {
    if (!AdditionalFile.empty()) MixOverlay();
    MainGraph->Play();
    return;
  }
  MainGraph->Stop();
  MainGraph->SetActive(false);
  MainGraph->ClearGraph();
  MainGraph->SetActive(true);
  MainGraph->RenderFile(FileName);
  if (!AdditionalFile.empty()) {
    MainGraph->RenderFile(AdditionalFile);
    MixOverlay();
  }
  MainGraph->Play();
}

// Stream 1, the additional file, over stream 0; after both are rendered, before the run.
void TAVIPLE::MixOverlay() {
  auto* Host = dynamic_cast<IVideoRendererHost*>(VideoWindow.data());
  ComPtr<IVMRMixerControl9> Mixer;
  if (!Host || FAILED(Host->QueryInterface(IVMRMixerControl9::IID, Mixer.ReleaseAndGetVoidAddress()))) return;
  Mixer->SetOutputRect(1, &OverlayRect);
  Mixer->SetAlpha(1, OverlayAlpha);
  Mixer->SetZOrder(1, 0);
  Mixer->SetAlpha(0, 1.0f);
}

void TAVIPLE::Pause() {
  if (State != esPlaying) {
    Play();  // from esPaused this resumes; from esStopped or esIdle it starts over
    return;
  }
  MainGraph->Pause();
  if (SoundGraph->Fading()) SoundGraph->Pause();
  TPlayListEntry::Pause();
}

void TAVIPLE::Stop() {
  MainGraph->Stop();
  SoundGraph->EndFade();
  TPlayListEntry::Stop();
}

void TAVIPLE::Seek(int Percent) {
  TPlayListEntry::Seek(Percent);
  MainGraph->EndFade();
  SoundGraph->EndFade();
  ComPtr<IMediaSeeking> Seeking;
  if (FAILED(MainGraph->QueryInterface(IMediaSeeking::IID, Seeking.ReleaseAndGetVoidAddress()))) return;
  LONGLONG StopPosition = 0;
  if (FAILED(Seeking->GetStopPosition(&StopPosition))) return;
  const TGraphState Was = MainGraph->GraphState();
  LONGLONG Target = StopPosition / 100 * Percent;
  Seeking->SetPositions(&Target, AM_SEEKING_AbsolutePositioning, &StopPosition, AM_SEEKING_NoPositioning);
  if (!AdditionalFile.empty() && Was == gsRunning) {
    // The mixed graph is restarted so both streams go on together.
    MainGraph->Stop();
    MainGraph->Play();
  }
}

// The graph stays hooked to a stopped entry until another video plays; a completion that
// arrives while this entry is not playing (a picture's graph ending after it) is not ours.
void TAVIPLE::GraphCompleted(QObject*, HRESULT, IBaseFilter*) {
  if (State != esPlaying) return;
  State = esIdle;
  OnFinished(this);
}

IPropertiesFrame* TAVIPLE::CreatePropertiesFrame() { return FillAVIFrame(*this); }

void TAVIPLE::ApplyProperties(IPropertiesFrame* Frame) { ReadAVIFrame(*this, Frame); }

void TAVIPLE::SaveToStream(TStream& Stream) {
  TPlayListEntry::SaveToStream(Stream);
  WriteAnsiString(Stream, AdditionalFile);
  WriteValue(Stream, OverlayRect.left);
  WriteValue(Stream, OverlayRect.top);
  WriteValue(Stream, OverlayRect.right);
  WriteValue(Stream, OverlayRect.bottom);
  WriteValue(Stream, OverlayAlpha);
}

void TAVIPLE::LoadFromStream(TStream& Stream) {
  TPlayListEntry::LoadFromStream(Stream);
  ReadAnsiString(Stream, AdditionalFile);
  ReadValue(Stream, OverlayRect.left);
  ReadValue(Stream, OverlayRect.top);
  ReadValue(Stream, OverlayRect.right);
  ReadValue(Stream, OverlayRect.bottom);
  ReadValue(Stream, OverlayAlpha);
}
