// The graph component's next graph and its fades (see FilterGraph.h).
#include <QTimer>
#include <cmath>
#include <utility>

#include "framework/Exception.h"
#include "media/DirectShowException.h"
#include "media/FilterGraph.h"
#include "media/GraphFader.h"
#include "media/GraphNotifyWindow.h"
#include "platform/win/Messages.h"
#include "platform/com/ClassRegistry.h"

namespace {
std::u16string Widen(const std::string& Text) { return QString::fromStdString(Text).toStdU16String(); }

// Volume Base (hundredths of a decibel) with the amplitude scaled by Gain.
LONG Scaled(LONG Base, float Gain) {
  if (Gain <= 0.0001f) return -10000;
  return std::max<LONG>(-10000, Base + static_cast<LONG>(std::lround(2000.0 * std::log10(Gain))));
}

void Control(IGraphBuilder* Graph, HRESULT (IMediaControl::*Step)()) {
  ComPtr<IMediaControl> Control;
  if (Graph && SUCCEEDED(Graph->QueryInterface(IMediaControl::IID, Control.ReleaseAndGetVoidAddress())))
    (Control.Get()->*Step)();
}
}  // namespace

void TFilterGraph::SendMembers(TMemberOperation Operation, LONG Param) {
  for (std::size_t Index = 0; Index < Members.size(); ++Index) Members[Index]->MemberNotify(Operation, Param);
}

void TFilterGraph::PrepareNext(const std::vector<std::string>& Files, std::function<void(const std::string&)> Failed) {
  DropNext();
  if (!FActive || FMode != gmNormal || Files.empty()) return;
  auto Next = std::make_unique<TNext>();
  Next->Files = Files;
  Next->Failed = std::move(Failed);
  IFilterGraph2* Graph = nullptr;
  CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IFilterGraph2::IID, reinterpret_cast<void**>(&Graph));
  Next->Graph = ComPtr<IGraphBuilder>::Attach(Graph);
  if (!Next->Graph) return;
  for (IGraphMember* Member : Members) {
    const ComPtr<IBaseFilter> Filter = Member->QueryNextMemberFilter();
    if (!Filter) {
      SendMembers(moDropNext, 0);  // a member that cannot be prepared: the hand-over renders as before
      return;
    }
    Next->Graph->AddFilter(Filter.Get(), Widen(Member->QueryMemberName()).c_str());
  }
  ComPtr<IBasicAudio> Audio;
  if (FVolume && SUCCEEDED(Next->Graph.As(Audio))) Audio->put_Volume(*FVolume - 10000);
  FNext = std::move(Next);
  AdvanceNext();
}

void TFilterGraph::AdvanceNext() {
  if (!FNext || FNext->Paused) return;
  if (FNext->Render) {
    HRESULT Result = S_OK;
    if (FNext->Render->GetResult(&Result) != S_OK) return;  // still under way
    FNext->Render.Reset();
    if (FAILED(Result)) {
      FNext->Result = Result;
      return TellNextFailed();
    }
    ++FNext->Rendered;
  }
  if (FAILED(FNext->Result)) return;
  if (FNext->Rendered < FNext->Files.size()) {
    const std::u16string Path = Widen(FNext->Files[FNext->Rendered]);
    ComPtr<IGraphBuilderAsync> Async;
    if (Path.find(u'\0') != std::u16string::npos)
      FNext->Result = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    else if (FAILED(FNext->Graph.As(Async)))
      FNext->Result = FNext->Graph->RenderFile(Path.c_str(), nullptr);
    else
      FNext->Result = Async->BeginRenderFile(Path.c_str(), HandleOf(NotifyWindow.get()), WM_GRAPHRENDERED, 0,
                                             FNext->Render.ReleaseAndGetAddressOf());
    if (FAILED(FNext->Result)) return TellNextFailed();
    if (FNext->Render) return;
    ++FNext->Rendered;
    return AdvanceNext();
  }
  FNext->Paused = true;  // on its first frame, not shown
  Control(FNext->Graph.Get(), FNext->RunsAhead ? &IMediaControl::Run : &IMediaControl::Pause);
}

bool TFilterGraph::RunNext() {
  if (!FNext || FAILED(FNext->Result)) return false;
  FNext->RunsAhead = true;
  if (FNext->Paused) Control(FNext->Graph.Get(), &IMediaControl::Run);
  return true;
}

std::string TFilterGraph::NextFailure(const TNext& Next) {
  return GraphFailureText(Next.Result, Next.Files[Next.Rendered], GraphErrorWords(Next.Graph.Get()));
}

// From the event loop, so whoever prepared it is not called back inside its own PrepareNext.
void TFilterGraph::TellNextFailed() {
  QTimer::singleShot(0, this, [this, Next = FNext.get()] {
    if (FNext.get() != Next || SUCCEEDED(FNext->Result) || !FNext->Failed) return;
    std::exchange(FNext->Failed, {})(NextFailure(*FNext));
  });
}

void TFilterGraph::DropNext() {
  if (!FNext) return;
  if (FNext->Render) {
    if (FRender.Get() == FNext->Render.Get()) Abort();  // a hand-over waiting for it is called off
    FNext->Render->Abort();
  }
  const std::unique_ptr<TNext> Next = std::move(FNext);
  SendMembers(moDropNext, 0);
  Control(Next->Graph.Get(), &IMediaControl::Stop);
}

bool TFilterGraph::NextPrepared(const std::vector<std::string>& Files) const { return FNext && FNext->Files == Files; }

bool TFilterGraph::TakeNext(const std::vector<std::string>& Files, TTransition Fade) {
  if (!FActive || !NextPrepared(Files)) return false;
  while (FNext && FNext->Render) {
    const ComPtr<IRenderOperation> Render = FNext->Render;
    Wait(Render);
    AdvanceNext();
  }
  if (!FNext) throw EAbort();  // dropped while it was waited for
  const std::unique_ptr<TNext> Next = std::move(FNext);
  ++FNextTaken;
  const bool Fades = Fade.Fades() && Fade.Ms > 0 && SUCCEEDED(Next->Result) && GraphState() == gsRunning;
  EndFade();
  ComPtr<IGraphBuilder> Outgoing;
  if (Fades) {
    Outgoing = Retire(Fade.Kind);
  } else {
    Stop();
    SetActive(false);
  }
  FAdopt = Next->Graph;
  SetActive(true);
  FPreparedPause = Next->Paused;
  // Events it queued while prepared (its first frame) were posted to nobody.
  QTimer::singleShot(0, this, [this] { HandleGraphEvents(); });
  // Its renders happened ahead; one that failed fails the hand-over as it would have failed then.
  if (FAILED(Next->Result)) throw EDirectShowException(NextFailure(*Next), Next->Result);
  if (Fades) {
    FOutgoing = std::move(Outgoing);
    BeginFade(Fade);
  }
  return true;
}

void TFilterGraph::FadeIn(TTransition Fade) {
  if (Fade.Fades() && Fade.Ms > 0 && !FFader) BeginFade(Fade);
}

void TFilterGraph::FadeOut(TTransition Fade) {
  if (!Fade.Fades() || Fade.Ms <= 0 || GraphState() != gsRunning) {
    Stop();
    return;
  }
  if (FGoesOut) return;  // going out already
  EndFade();
  FGoesOut = true;
  BeginFade(Fade);
}

void TFilterGraph::BeginFade(TTransition Fade) {
  FFader = std::make_unique<TGraphFader>(Fade.Ms, [this, Kind = Fade.Kind](float Level) { FadeStep(Kind, Level); });
  FadeStep(Fade.Kind, 0);
}

void TFilterGraph::FadeStep(TTransitionKind Kind, float Level) {
  FFadeLevel = Level;
  SendMembers(moFade, static_cast<LONG>(std::lround(Level * 1000)));
  // The sounds follow the pictures' curve.
  const float Out = Kind == tkThroughBlack ? std::max(0.0f, 1 - 2 * Level) : 1 - Level;
  const float In = Kind == tkThroughBlack ? std::max(0.0f, 2 * Level - 1) : Level;
  const LONG Base = FadeTop();
  ComPtr<IBasicAudio> Audio;
  if (FOutgoing && SUCCEEDED(FOutgoing.As(Audio))) Audio->put_Volume(Scaled(Base, Out));
  if (SUCCEEDED(QueryInterface(Audio))) Audio->put_Volume(Scaled(Base, FGoesOut ? Out : In));
  if (Level >= 1)
    QTimer::singleShot(0, this, [this] {
      if (FFader && FFader->Done()) EndFade();
    });
}

bool TFilterGraph::Fading() const { return static_cast<bool>(FFader); }

void TFilterGraph::PauseFade(bool Running) {
  if (!FFader) return;
  FFader->SetRunning(Running);
  if (FOutgoing) Control(FOutgoing.Get(), Running ? &IMediaControl::Run : &IMediaControl::Pause);
}

void TFilterGraph::EndFade() {
  if (!FFader) return;
  FFader.reset();
  if (const ComPtr<IGraphBuilder> Outgoing = std::move(FOutgoing)) {
    Control(Outgoing.Get(), &IMediaControl::Stop);
    SendMembers(moRetired, 0);
  }
  if (std::exchange(FGoesOut, false)) Stop();
  // The top even where no volume was set: a sound rendered into this graph later is not silent.
  ComPtr<IBasicAudio> Audio;
  if (SUCCEEDED(QueryInterface(Audio))) Audio->put_Volume(FadeTop());
  OnFadeEnded(this);
}
