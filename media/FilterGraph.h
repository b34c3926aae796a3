#pragma once
// The graph component: owns one filter graph while active, renders files into it, runs,
// pauses, stops and clears it, reports its state and length, hands out the graph's
// interfaces, publishes it for inspection, sends its log to a file, and turns its event queue
// into typed events. Members keep their filters in the graph; observers see every event and
// control step first. User-interface thread only; the graph's own threads only post to the
// notification window.
//
// A render runs on the graph's own thread where the graph offers one, and RenderFile waits for
// it in the event loop: windows paint, timers fire and input is handled meanwhile. Whatever
// else drives the graph then (a control call, clearing, deactivation, the loop's end) first
// calls the render off, and the waiting RenderFile raises EAbort.
//
// The component's one graph may have a next one: the graph of the entry that follows, built,
// rendered and paused on its first frame ahead of its turn, with the members' next filters,
// not shown. At the hand-over it becomes the component's graph. With a fade, the graph it
// replaces plays on while it fades out (its members' filters with it), then goes. A graph's sound
// may also fade in or out on its own, with no graph taking over or going.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "media/GraphEvents.h"
#include "media/GraphMember.h"
#include "media/GraphObserver.h"
#include "media/GraphTypes.h"
#include "media/Transition.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/Control.h"
#include "platform/dshow/Filters.h"

class QEventLoop;
class TGraphFader;
class TGraphNotifyWindow;

class TFilterGraph : public QObject, public TComponentLoading, public TGraphEvents {
  Q_OBJECT
  Q_PROPERTY(QString LogFile READ LogFileProperty WRITE SetLogFileProperty)
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(bool AutoCreate READ AutoCreate WRITE SetAutoCreate)
  Q_PROPERTY(GraphTypes::TGraphMode Mode READ Mode WRITE SetMode)
  Q_PROPERTY(bool GraphEdit READ GraphEdit WRITE SetGraphEdit)

public:
  explicit TFilterGraph(QObject* AOwner = nullptr);
  ~TFilterGraph() override;  // deactivates, then destroys the notification window
  TFilterGraph(const TFilterGraph&) = delete;
  TFilterGraph& operator=(const TFilterGraph&) = delete;

  // --- properties; each setter applies its value on every assignment
  // The file receiving the graph's diagnostic log while active; a path that cannot be created
  // keeps the previous value and leaves logging off.
  const std::string& LogFile() const { return FLogFile; }
  void SetLogFile(const std::string& Path);
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // Become active when loading has finished.
  bool AutoCreate() const { return FAutoCreate; }
  void SetAutoCreate(bool Value) { FAutoCreate = Value; }
  // A change rebuilds an active graph.
  TGraphMode Mode() const { return FMode; }
  void SetMode(TGraphMode Value);
  // Publish the graph in the running object table while active.
  bool GraphEdit() const { return FGraphEdit; }
  void SetGraphEdit(bool Value);

  TNotifyEvent OnActivate;  // raised at the end of activation

  // --- control; these need an active graph and answer False (nobody told) without one
  bool Play();   // True for any success code of Run
  bool Pause();  // True only for S_OK
  bool Stop();   // True only for S_OK
  // S_FALSE without a graph; otherwise the success code of rendering; a failure raises
  // EDirectShowException after gcBeforeRender and before gcAfterRender, a render called off
  // raises EAbort.
  HRESULT RenderFile(const std::u16string& Path);
  HRESULT RenderFile(const std::string& Path);  // the path widened to UTF-16
  // Calls off a render that RenderFile waits for; nothing without one.
  void Abort();
  // --- the next graph (see above); gmNormal only
  // Begins preparing Files (rendered in turn into a graph of their own, then paused), dropping
  // what was prepared before. Nothing when inactive or when a member offers no next filter.
  // A render that fails calls Failed once, from the event loop, with the words TakeNext would
  // raise; not once the preparation is dropped.
  void PrepareNext(const std::vector<std::string>& Files, std::function<void(const std::string& Why)> Failed = {});
  void DropNext();
  // Whether Files are prepared or being prepared.
  bool NextPrepared(const std::vector<std::string>& Files) const;
  // Runs the next graph ahead of its hand-over, at once or once rendered (on a shared clock its
  // frames wait for their time, not shown until it is taken). False when none is prepared or a
  // render failed.
  bool RunNext();
  // The hand-over: the next graph, prepared for Files, becomes the graph (waiting in the event
  // loop while its render still runs); the graph it replaces is stopped and released or, with
  // Fade, plays on fading out for Fade.Ms. A failed render raises as RenderFile would, the
  // failing graph in place. False, changing nothing, when Files are not what was prepared.
  bool TakeNext(const std::vector<std::string>& Files, TTransition Fade = {});
  // Ends a fade at once, the graph going out stopped and released; nothing without one.
  void EndFade();
  // The graph's sound rising from silence with Fade's curve, alone (no graph going out); nothing
  // for a cut or while a fade runs.
  void FadeIn(TTransition Fade);
  // The graph itself going out: its sound falling with Fade's curve, then the graph stopped; one
  // going out already goes on. A cut, or a graph not running, stops at once.
  void FadeOut(TTransition Fade);
  bool Fading() const;
  // How far the fade under way is, 0 to 1: the level its last step set.
  float FadeLevel() const { return FFadeLevel; }
  // Raised once the graph going out is gone, at the fade's end or when it was cut short.
  TNotifyEvent OnFadeEnded;
  // How many next graphs were taken at a hand-over; for the tests and the bench.
  int NextTaken() const { return FNextTaken; }

  // Disconnects every pin of every filter.
  void DisconnectAll();
  // Stops, disconnects and removes every filter but the members'.
  void ClearGraph();
  // 10000 is full volume, 0 silence; not clamped. Kept and applied again to every graph built
  // later, so a volume set once outlasts the graph rebuilt for the next file.
  void SetVolume(LONG Value);
  TGraphState GraphState();
  LONG Duration();  // milliseconds; 0 without a graph

  // The component's own interfaces (none), then, while active, the graph's by mode.
  virtual HRESULT QueryInterface(REFIID Iid, void** Object);
  template <typename I>
  HRESULT QueryInterface(ComPtr<I>& Out) {
    return QueryInterface(I::IID, Out.ReleaseAndGetVoidAddress());
  }

  // Registration order is kept; the lists neither own nor keep alive, duplicates are allowed.
  void AddMember(IGraphMember* Member);
  void RemoveMember(IGraphMember* Member);
  void AddObserver(IGraphObserver* Observer);
  void RemoveObserver(IGraphObserver* Observer);

  // --- event dispatch
  // Drains the event queue: run by the notification window for each notification.
  void HandleGraphEvents();
  // A render has ended: run by the notification window for WM_GRAPHRENDERED.
  void GraphRendered();

protected:
  void Loaded() override;
  // Observers, then OnDSEvent, then the typed event of the code.
  virtual void DoGraphEvent(LONG Event, LONG_PTR Param1, LONG_PTR Param2);

private:
  void Activate();
  void Deactivate();
  // Deactivation that leaves the graph and its members' filters playing, for a fade.
  ComPtr<IGraphBuilder> Retire(TTransitionKind Kind);
  // The next graph's work: the render of its next file begun, or, all rendered, the pause.
  void AdvanceNext();
  void TellNextFailed();
  // Waits in the event loop while Operation runs; EAbort when called off.
  HRESULT Wait(const ComPtr<IRenderOperation>& Operation);
  void BeginFade(TTransition Fade);
  void FadeStep(TTransitionKind Kind, float Level);
  // The volume a fade rises to and falls from: the one set, or full.
  LONG FadeTop() const { return FVolume ? *FVolume - 10000 : 0; }
  // Runs or pauses the fade's clock, and the graph going out, with the graph.
  void PauseFade(bool Running);
  // Deactivation's end, after the members' filters were dealt with.
  void ReleaseGraph();
  void SendMembers(TMemberOperation Operation, LONG Param);
  // RenderFile's work: on the graph's thread, waiting in the event loop, where it can.
  HRESULT Render(const std::u16string& Path);
  void BuildGraph();
  void ApplyVolume();
  void SendControl(TGraphControl Code, LONG Param);
  void AddMemberFilter(IGraphMember* Member);
  void RemoveMemberFilter(IGraphMember* Member);
  void AddToRot();
  void RemoveFromRot();
  void StopLog();
  QString LogFileProperty() const { return QString::fromStdString(FLogFile); }
  void SetLogFileProperty(const QString& Path) { SetLogFile(Path.toStdString()); }
  void DispatchDvdEvent(LONG Event, LONG_PTR Param1, LONG_PTR Param2);
  void RaiseStreamLanguage(LONG Event, LONG_PTR Stream);

  std::string FLogFile;
  bool FActive = false;
  bool FAutoCreate = false;
  TGraphMode FMode = gmNormal;
  bool FGraphEdit = false;
  std::optional<LONG> FVolume;  // the last volume set; none: the platform's default

  std::unique_ptr<TGraphNotifyWindow> NotifyWindow;  // from construction to destruction
  ComPtr<IGraphBuilder> InnerGraph;                   // the filter graph; none while inactive
  ComPtr<ICaptureGraphBuilder2> CaptureBuilder;       // gmCapture only
  ComPtr<IDvdGraphBuilder> DvdBuilder;                // gmDVD only
  ComPtr<IMediaEventEx> EventSource;                  // the graph's event queue while active
  std::vector<IGraphMember*> Members;
  std::vector<IGraphObserver*> Observers;
  DWORD RotCookie = 0;  // running object table registration; 0 = not registered
  int LogStream = -1;   // the open log file's descriptor while logging
  ComPtr<IRenderOperation> FRender;     // the render RenderFile waits for
  QEventLoop* FRenderLoop = nullptr;   // where it waits

  struct TNext {
    std::vector<std::string> Files;
    ComPtr<IGraphBuilder> Graph;
    ComPtr<IRenderOperation> Render;  // the render under way, if any
    std::size_t Rendered = 0;         // files rendered so far
    HRESULT Result = S_OK;            // a failed render's code; the rest is not rendered
    bool Paused = false;              // all rendered, and asked to pause (or to run)
    bool RunsAhead = false;           // to run once rendered, not pause
    std::function<void(const std::string&)> Failed;  // told of a failed render, once
  };
  // A failed next graph's message, as a failed RenderFile gives it.
  static std::string NextFailure(const TNext& Next);
  std::unique_ptr<TNext> FNext;
  ComPtr<IGraphBuilder> FAdopt;  // the next graph the activation under way takes
  int FNextTaken = 0;
  bool FPreparedPause = false;  // the pause of a graph taken over is still to come from its queue
  ComPtr<IGraphBuilder> FOutgoing;      // the graph fading out
  std::unique_ptr<TGraphFader> FFader;  // while a fade runs
  bool FGoesOut = false;                // the fade takes the graph itself out
  float FFadeLevel = 0;
};
