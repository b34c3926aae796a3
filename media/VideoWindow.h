#pragma once
// The video window: a native child window that hosts the video renderer of one graph. It is a
// member of its graph (its renderer filter lives there under the window's name) and an observer
// of it; it creates, configures and tears down the renderer around the graph's member
// notifications, keeps the picture fitted to its client area, and answers interface queries on
// the renderer's behalf; the windowless renderer draws into it as its video surface. It never
// activates, runs, pauses or stops the graph.
// User-interface thread only: the graph's notifications reach it on that thread, too.
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "media/FilterGraph.h"
#include "media/GraphMember.h"
#include "media/GraphObserver.h"
#include "media/VMROptions.h"
#include "media/VideoRendererHost.h"
#include "media/VideoTypes.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/Filters.h"
#include "platform/dshow/Video.h"
#include "platform/win/VideoSurface.h"

class QMouseEvent;

// A mouse event: the Qt event, and its X and Y in the window, or the cursor's screen position
// while the renderer's own window covers the screen.
using TVideoMouseEvent = TEvent<QObject* /*Sender*/, const QMouseEvent& /*Event*/, int /*X*/, int /*Y*/>;

class TVideoWindow : public QWidget,
                     public TComponentLoading,
                     public IGraphMember,
                     public IGraphObserver,
                     public IVideoRendererHost,
                     public IVideoSurface {
  Q_OBJECT
  Q_PROPERTY(bool FullScreenTopMost READ FullScreenTopMost WRITE SetFullScreenTopMost)
  Q_PROPERTY(VideoTypes::TVideoMode Mode READ Mode WRITE SetMode)
  Q_PROPERTY(TFilterGraph* FilterGraph READ FilterGraph WRITE SetFilterGraph)
  Q_PROPERTY(qulonglong VideoHandle READ VideoHandleProperty)
  Q_PROPERTY(TVMROptions* VMROptions READ VMROptions)
  Q_PROPERTY(bool FullScreen READ FullScreen WRITE SetFullScreen)
  Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
  Q_PROPERTY(QMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)

public:
  explicit TVideoWindow(QWidget* AOwner = nullptr);
  // Leaves the graph (an active one tears the renderer down), then frees the options.
  ~TVideoWindow() override;
  TVideoWindow(const TVideoWindow&) = delete;
  TVideoWindow& operator=(const TVideoWindow&) = delete;

  // Whether the mixing renderer can be created on this system.
  static bool CanCreateMixingRenderer();

  // --- properties; each setter applies its value on every assignment
  // vmVMR where the mixing renderer cannot be created stores vmNormal. Rebuilds the renderer
  // in an active graph.
  TVideoMode Mode() const { return FMode; }
  void SetMode(TVideoMode Value);
  TVMROptions* VMROptions() const { return FVMROptions.get(); }
  // Joins the graph as member and observer; leaves the previous one. A graph destroyed while
  // joined is forgotten without being told.
  TFilterGraph* FilterGraph() const { return FFilterGraph; }
  void SetFilterGraph(TFilterGraph* Value);
  // Stretches a renderer's own window over the primary screen and back; with the windowless
  // mixing renderer it only changes the context-menu handling.
  bool FullScreen() const { return FFullScreen; }
  void SetFullScreen(bool Value);
  bool FullScreenTopMost() const { return FFullScreenTopMost; }
  void SetFullScreenTopMost(bool Value);
  // Shows or hides a renderer's own window with the control.
  void setVisible(bool Visible) override;
  // The renderer's own window when it has one, else the window's canvas (not a window handle).
  OAHWND VideoHandle() const;
  // The menu a context-menu request pops up; not owned.
  QMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(QMenu* Value) { FPopupMenu = Value; }

  // True while the window belongs to an active graph.
  bool GraphActive() const { return FFilterGraph && FFilterGraph->Active(); }
  // Takes the renderer out of the graph and puts a newly created one in under the same name.
  void RejoinGraph();

  // IVMRWindowlessControl9 while held, the window's own interfaces (IGraphMember and
  // IGraphObserver, handed out without a reference: do not release them), then the renderer's.
  HRESULT QueryInterface(REFIID Iid, void** Object) override;
  template <typename I>
  HRESULT QueryInterface(ComPtr<I>& Out) {
    return QueryInterface(I::IID, Out.ReleaseAndGetVoidAddress());
  }
  // A copy of the picture the windowless renderer shows now, overlay included; null when there
  // is none.
  QImage CurrentImage();

  // --- IGraphMember
  ComPtr<IBaseFilter> QueryMemberFilter() override { return FRenderer; }
  std::string QueryMemberName() override { return ComponentName(this); }
  void MemberNotify(TMemberOperation Operation, LONG Param) override;
  // The windowless mixing renderer only: one made and given its streams, not yet shown.
  ComPtr<IBaseFilter> QueryNextMemberFilter() override;
  // --- IGraphObserver
  void ObserveGraphEvent(LONG Event, LONG_PTR Param1, LONG_PTR Param2) override;
  void ObserveControl(TGraphControl Code, LONG Param) override;
  // --- IVideoSurface: the window's own native window; its black background
  QWindow* SurfaceWindow() override;
  QBrush TakeBackground(bool Take) override;

  TNotifyEvent OnPaint;   // after each paint
  TNotifyEvent OnResize;  // on each size change, before the picture is fitted
  TNotifyEvent OnDblClick;
  TVideoMouseEvent OnMouseDown;  // also for the press of a double click, after OnDblClick
  TVideoMouseEvent OnMouseMove;
  TVideoMouseEvent OnMouseUp;

protected:
  void Loaded() override;
  void resizeEvent(QResizeEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;

private:
  void CreateRenderer();     // moBeforeAdd
  void ConfigureRenderer();  // moAfterAdd
  // The number of streams; before any pin connects.
  void ConfigureStreams(IVMRFilterConfig9* Config);
  // moRetire, moFade and moRetired: the renderer going out shown under the new one.
  void Retire(LONG Kind);
  void Fade(LONG Level);
  void Retired();
  void StopRenderer();       // moBeforeRemove
  void ReleaseRenderer();    // moAfterRemove
  void ApplyRenderPreferences(IVMRFilterConfig9* Config);
  // The options' aspect-ratio mode to a configured windowed or windowless mixing renderer.
  void ApplyAspectRatio();
  // Lays the renderer's window over this one, or the picture over the client area; silent.
  void FitRenderer();
  // Full-screen state, caption and message drain of a renderer's own window, if held.
  void PresentRendererWindow();
  void NameRendererWindow();
  void RaiseMouse(const TVideoMouseEvent& Handler, const QMouseEvent* Event);
  qulonglong VideoHandleProperty() const { return VideoHandle(); }

  TVideoMode FMode = vmNormal;
  std::unique_ptr<TVMROptions> FVMROptions;
  ComPtr<IBaseFilter> FRenderer;               // the renderer filter made for the graph
  ComPtr<IBaseFilter> FNextRenderer;           // the one made for the graph prepared next
  bool FAdopted = false;                       // FRenderer came from the next graph, streams set
  ComPtr<IBaseFilter> FOutgoing;               // the renderer fading out
  LONG FOutgoingKind = 0;
  ComPtr<IVideoWindow> FRendererWindow;        // vmNormal, and vmVMR in vmrWindowed
  ComPtr<IVMRWindowlessControl9> FWindowless;  // vmVMR in vmrWindowless
  bool FFullScreen = false;
  // Not owned; cleared when the graph is destroyed.
  QPointer<TFilterGraph> FFilterGraph;
  // The window's own styles, read when loading has finished; Qt has no style words, so 0.
  LONG FSavedStyle = 0;
  LONG FSavedExStyle = 0;
  bool FFullScreenTopMost = false;
  bool FScreenMouse = false;  // mouse events carry the cursor's screen position
  QPointer<QMenu> FPopupMenu;
};
