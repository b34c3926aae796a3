#include "media/VideoWindow.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "framework/Exception.h"
#include "framework/ExceptionReport.h"
#include "media/DirectShowException.h"
#include "media/FloatingPointGuard.h"
#include "media/PinList.h"
#include "platform/com/ClassRegistry.h"
#include "platform/dshow/EventCodes.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowClasses.h"

namespace {
// Window styles a renderer's own window loses in full screen.
constexpr LONG FullScreenStyleMask = static_cast<LONG>(0xFF3BFFFFu);  // without WS_CAPTION, WS_THICKFRAME
// WS_EX_DLGMODALFRAME, WS_EX_WINDOWEDGE, WS_EX_CLIENTEDGE, WS_EX_STATICEDGE.
constexpr LONG FullScreenClearedExStyle = 0x20301;

constexpr DWORD MixingRendererContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;

DWORD RenderingModeOf(TVMRVideoMode Mode) {
  switch (Mode) {
    case vmrWindowed: return VMR9Mode_Windowed;
    case vmrWindowless: return VMR9Mode_Windowless;
    case vmrRenderless: break;
  }
  return VMR9Mode_Renderless;
}

// Runs First, then Then, also when First raises.
template <typename F, typename G>
void ThenAlways(F&& First, G&& Then) {
  try {
    First();
  } catch (...) {
    Then();
    throw;
  }
  Then();
}
}  // namespace

TVideoWindow::TVideoWindow(QWidget* AOwner) : QWidget(AOwner), FVMROptions(std::make_unique<TVMROptions>()) {
  FVMROptions->OnRendererChange = [this](QObject*) {
    if (FMode == vmVMR && GraphActive()) RejoinGraph();
  };
  FVMROptions->OnAspectChange = [this](QObject*) { ApplyAspectRatio(); };
  // The renderer draws into a window of the platform's own, over the black background.
  setAttribute(Qt::WA_NativeWindow);
  resize(160, 120);
  QPalette Colours = palette();
  Colours.setColor(QPalette::Window, Qt::black);
  setPalette(Colours);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::TabFocus);
  setMouseTracking(true);  // moves arrive with no button held, too
}

TVideoWindow::~TVideoWindow() {
  try {
    SetFilterGraph(nullptr);
  } catch (...) {
    // A teardown that raises must not end the program; the window has left the graph anyway.
    ApplicationHandleException(this);
  }
  FVMROptions.reset();
}

bool TVideoWindow::CanCreateMixingRenderer() {
  const TFloatingPointGuard Guard;
  ComPtr<IBaseFilter> Filter;
  return CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, MixingRendererContext, IBaseFilter::IID,
                          Filter.ReleaseAndGetVoidAddress()) == S_OK;
}

void TVideoWindow::Loaded() {
  // Reading the styles creates the native window if it does not exist yet.
  winId();
  FSavedStyle = 0;
  FSavedExStyle = 0;
}

// --- joining and leaving a graph

void TVideoWindow::SetFilterGraph(TFilterGraph* Value) {
  if (Value == FFilterGraph) return;
  // The window's record follows the graph's lists at every step, so a teardown or renderer
  // creation that raises leaves no registration behind that the window does not know of.
  if (TFilterGraph* Old = FFilterGraph) {
    FFilterGraph = nullptr;
    ThenAlways([&] { Old->RemoveMember(this); }, [&] { Old->RemoveObserver(this); });
  }
  if (Value) {
    FFilterGraph = Value;
    ThenAlways([&] { Value->AddMember(this); }, [&] { Value->AddObserver(this); });
  }
}

void TVideoWindow::RejoinGraph() {
  FFilterGraph->RemoveMember(this);
  FFilterGraph->AddMember(this);
}

void TVideoWindow::SetMode(TVideoMode Value) {
  FMode = Value == vmVMR && !CanCreateMixingRenderer() ? vmNormal : Value;
  if (GraphActive()) RejoinGraph();
}

// --- the renderer's life in the graph

void TVideoWindow::MemberNotify(TMemberOperation Operation, LONG Param) {
  switch (Operation) {
    case moBeforeAdd: CreateRenderer(); break;
    case moAfterAdd: ConfigureRenderer(); break;
    case moBeforeRemove: StopRenderer(); break;
    case moAfterRemove: ReleaseRenderer(); break;
    case moDropNext: FNextRenderer.Reset(); break;
    case moRetire: Retire(Param); break;
    case moFade: Fade(Param); break;
    case moRetired: Retired(); break;
  }
}

ComPtr<IBaseFilter> TVideoWindow::QueryNextMemberFilter() {
  if (FMode != vmVMR || FVMROptions->Mode() != vmrWindowless) return {};
  if (FNextRenderer) return FNextRenderer;
  const TFloatingPointGuard Guard;
  ComPtr<IBaseFilter> Renderer;
  CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, MixingRendererContext, IBaseFilter::IID,
                   Renderer.ReleaseAndGetVoidAddress());
  ComPtr<IVMRFilterConfig9> Config;
  if (!Renderer || FAILED(Renderer.As(Config)) || FAILED(Config->SetRenderingMode(VMR9Mode_Windowless))) return {};
  ConfigureStreams(Config.Get());
  FNextRenderer = Renderer;
  return FNextRenderer;
}

void TVideoWindow::Retire(LONG Kind) {
  // The renderer going out plays on but no longer paints; the new one paints both.
  if (FWindowless) FWindowless->SetVideoClippingWindow(0);
  FOutgoing = FRenderer;
  FOutgoingKind = Kind;
  ReleaseRenderer();
}

void TVideoWindow::Fade(LONG Level) {
  ComPtr<IVMRTransition9> Transition;
  if (FOutgoing && SUCCEEDED(QueryInterface(Transition))) Transition->SetTransitionLevel(static_cast<float>(Level) / 1000);
}

void TVideoWindow::Retired() {
  ComPtr<IVMRTransition9> Transition;
  if (SUCCEEDED(QueryInterface(Transition))) Transition->SetTransitionSource(nullptr, 0);
  FOutgoing.Reset();
}

void TVideoWindow::CreateRenderer() {
  FAdopted = static_cast<bool>(FNextRenderer);
  if (FAdopted) {
    FRenderer = std::move(FNextRenderer);
    return;
  }
  if (FMode == vmNormal) {
    CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IBaseFilter::IID,
                     FRenderer.ReleaseAndGetVoidAddress());
    return;
  }
  // Rendering without a window needs a surface allocator from the host; none can be given.
  if (FVMROptions->Mode() == vmrRenderless) throw Exception("Allocator class not set.");
  const TFloatingPointGuard Guard;
  CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, MixingRendererContext, IBaseFilter::IID,
                   FRenderer.ReleaseAndGetVoidAddress());
  // The rendering mode is fixed now, before the graph adds the filter and any pin connects.
  ComPtr<IVMRFilterConfig9> Config;
  if (SUCCEEDED(FRenderer.As(Config))) CheckGraphResult(Config->SetRenderingMode(RenderingModeOf(FVMROptions->Mode())));
}

void TVideoWindow::ConfigureRenderer() {
  if (!FRenderer) return;  // none could be created: nothing to configure
  if (FMode == vmNormal) {
    // Caption, message drain, owner and position follow on the play step.
    CheckGraphResult(FRenderer.As(FRendererWindow));
    return;
  }
  TVMROptions& Options = *FVMROptions;
  {
    ComPtr<IVMRFilterConfig9> Config;
    if (CheckGraphResult(FRenderer.As(Config)) != S_OK) return;
    if (!FAdopted) ConfigureStreams(Config.Get());
    switch (Options.Mode()) {
      case vmrWindowed:
        CheckGraphResult(FRenderer.As(FRendererWindow));
        ApplyRenderPreferences(Config.Get());
        break;
      case vmrWindowless:
        CheckGraphResult(FRenderer.As(FWindowless));
        CheckGraphResult(FWindowless->SetVideoClippingWindow(HandleOf(this)));
        ApplyRenderPreferences(Config.Get());
        FitRenderer();
        break;
      case vmrRenderless: break;
    }
  }
  ApplyAspectRatio();
  ComPtr<IVMRTransition9> Transition;
  if (FOutgoing && SUCCEEDED(QueryInterface(Transition))) Transition->SetTransitionSource(FOutgoing.Get(), static_cast<DWORD>(FOutgoingKind));
}

void TVideoWindow::ConfigureStreams(IVMRFilterConfig9* Config) {
  TVMROptions& Options = *FVMROptions;
  // With 4 streams and no forcing the renderer's own default stands.
  if (Options.Streams() != 4 || Options.Preferences().testFlag(vpForceMixer)) {
    CheckGraphResult(Config->SetNumberOfStreams(Options.Streams()));
    DWORD Reported = 0;
    CheckGraphResult(Config->GetNumberOfStreams(&Reported));
    Options.StoreReportedStreams(Reported);
  }
}

void TVideoWindow::ApplyRenderPreferences(IVMRFilterConfig9* Config) {
  const TVMRPreferences Preferences = FVMROptions->Preferences();
  CheckGraphResult(Config->SetRenderingPrefs(static_cast<DWORD>(Preferences.toInt()) & ~DWORD{vpForceMixer}));
  DWORD Reported = 0;
  CheckGraphResult(Config->GetRenderingPrefs(&Reported));
  TVMRPreferences Stored = TVMRPreferences::fromInt(Reported & 0xFF);
  if (Preferences.testFlag(vpForceMixer)) Stored |= vpForceMixer;
  FVMROptions->StoreReportedPreferences(Stored);
}

void TVideoWindow::ApplyAspectRatio() {
  if (FVMROptions->Mode() == vmrRenderless) return;
  // Without a mixing renderer the value waits for the next configuration.
  ComPtr<IVMRAspectRatioControl9> Aspect;
  if (FAILED(QueryInterface(Aspect))) return;
  CheckGraphResult(Aspect->SetAspectRatioMode(FVMROptions->KeepAspectRatio() ? VMR9ARMode_LetterBox : VMR9ARMode_None));
}

void TVideoWindow::StopRenderer() {
  if (!FRenderer) return;
  CheckGraphResult(FRenderer->Stop());
  const TPinList Pins(FRenderer.Get());
  for (int Index = 0; Index < Pins.Count(); ++Index) CheckGraphResult(Pins.PinAt(Index)->Disconnect());
}

void TVideoWindow::ReleaseRenderer() {
  FRendererWindow.Reset();
  FWindowless.Reset();
  FRenderer.Reset();
}

QImage TVideoWindow::CurrentImage() {
  ComPtr<IVMRWindowlessControl9> Windowless;
  std::uint8_t* Bits = nullptr;
  LONG Width = 0, Height = 0;
  if (FAILED(QueryInterface(Windowless)) || !Windowless || Windowless->GetCurrentImage(&Bits, &Width, &Height) != S_OK ||
      !Bits)
    return {};
  const std::unique_ptr<std::uint8_t[]> Owned(Bits);
  // 32-bit BGRA top-down: Qt's ARGB32 on a little-endian machine.
  return QImage(Bits, Width, Height, static_cast<qsizetype>(Width) * 4, QImage::Format_ARGB32).copy();
}

HRESULT TVideoWindow::QueryInterface(REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  *Object = nullptr;
  if (Iid == IVMRWindowlessControl9::IID && FWindowless) {
    FWindowless->AddRef();
    *Object = FWindowless.Get();
    return S_OK;
  }
  if (Iid == IGraphMember::IID) *Object = static_cast<IGraphMember*>(this);
  if (Iid == IGraphObserver::IID) *Object = static_cast<IGraphObserver*>(this);
  if (*Object) return S_OK;
  return FRenderer ? FRenderer->QueryInterface(Iid, Object) : E_NOINTERFACE;
}

// --- graph events and control steps

void TVideoWindow::NameRendererWindow() {
  // The caption makes the renderer's window findable; the drain routes its input to us.
  CheckGraphResult(FRendererWindow->put_Caption(objectName().toStdU16String().c_str()));
  CheckGraphResult(FRendererWindow->put_MessageDrain(HandleOf(this)));
}

void TVideoWindow::PresentRendererWindow() {
  if (!FRendererWindow) return;
  SetFullScreen(FFullScreen);
  NameRendererWindow();
}

void TVideoWindow::ObserveGraphEvent(LONG Event, LONG_PTR, LONG_PTR) {
  if (Event == EC_PALETTE_CHANGED)
    PresentRendererWindow();
  else if (Event == EC_VMR_RENDERDEVICE_SET && FVMROptions->Mode() == vmrWindowed && FRendererWindow)
    NameRendererWindow();
}

void TVideoWindow::ObserveControl(TGraphControl Code, LONG) {
  if (Code != gcPlay) return;
  if (FMode == vmNormal)
    PresentRendererWindow();
  else
    SetFullScreen(FFullScreen);
}

// --- full screen, visibility, the video handle

void TVideoWindow::SetFullScreen(bool Value) {
  // The renderer's own window leaves the parent and covers the primary screen; the parent
  // itself is never changed.
  if (FRendererWindow) {
    if (Value) {
      LONG ExStyle = FSavedExStyle & ~FullScreenClearedExStyle;
      if (FFullScreenTopMost) ExStyle |= WS_EX_TOPMOST;
      const QScreen* Screen = QGuiApplication::primaryScreen();
      const QSize Size = Screen ? Screen->size() : QSize();
      CheckGraphResult(FRendererWindow->put_Owner(0));
      CheckGraphResult(FRendererWindow->put_WindowStyle(FSavedStyle & FullScreenStyleMask));
      CheckGraphResult(FRendererWindow->put_WindowStyleEx(ExStyle));
      CheckGraphResult(FRendererWindow->SetWindowPosition(0, 0, Size.width(), Size.height()));
      FScreenMouse = true;
    } else {
      CheckGraphResult(FRendererWindow->put_Owner(HandleOf(parentWidget())));
      CheckGraphResult(FRendererWindow->put_WindowStyle(FSavedStyle | WS_CHILD | WS_CLIPSIBLINGS));
      CheckGraphResult(FRendererWindow->put_WindowStyleEx(FSavedExStyle));
      CheckGraphResult(FRendererWindow->SetWindowPosition(x(), y(), width(), height()));
      FScreenMouse = false;
    }
  }
  if (FWindowless) FScreenMouse = false;
  FFullScreen = Value;
}

void TVideoWindow::SetFullScreenTopMost(bool Value) {
  FFullScreenTopMost = Value;
  if (FFullScreen) SetFullScreen(true);
}

void TVideoWindow::setVisible(bool Visible) {
  QWidget::setVisible(Visible);
  if (FRendererWindow) CheckGraphResult(FRendererWindow->put_Visible(Visible ? OATRUE : OAFALSE));
}

OAHWND TVideoWindow::VideoHandle() const {
  if (!FRendererWindow) return reinterpret_cast<OAHWND>(static_cast<const QPaintDevice*>(this));
  // The renderer's window: a child of our parent, named by its caption.
  return FindWindowEx(parent(), VideoRendererWindowClass, objectName());
}

// --- the surface the windowless renderer draws into

QWindow* TVideoWindow::SurfaceWindow() {
  winId();  // made at once if it does not exist yet
  return windowHandle();
}

QBrush TVideoWindow::TakeBackground(bool Take) {
  if (!Take) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    return {};
  }
  if (!autoFillBackground() || testAttribute(Qt::WA_OpaquePaintEvent)) return {};
  setAttribute(Qt::WA_OpaquePaintEvent);
  return palette().brush(backgroundRole());
}

// --- resize, paint, mouse and context menu

void TVideoWindow::FitRenderer() {
  if (FRendererWindow) {
    if (!FFullScreen) FRendererWindow->SetWindowPosition(x(), y(), width(), height());
  } else if (FWindowless) {
    const RECT Destination{0, 0, width(), height()};
    FWindowless->SetVideoPosition(nullptr, &Destination);
  }
}

void TVideoWindow::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  OnResize(this);
  FitRenderer();
}

void TVideoWindow::paintEvent(QPaintEvent* Event) {
  QWidget::paintEvent(Event);
  OnPaint(this);
}

void TVideoWindow::RaiseMouse(const TVideoMouseEvent& Handler, const QMouseEvent* Event) {
  const QPoint At = FScreenMouse ? QCursor::pos() : Event->position().toPoint();
  Handler(this, *Event, At.x(), At.y());
}

void TVideoWindow::mousePressEvent(QMouseEvent* Event) { RaiseMouse(OnMouseDown, Event); }

void TVideoWindow::mouseMoveEvent(QMouseEvent* Event) { RaiseMouse(OnMouseMove, Event); }

void TVideoWindow::mouseReleaseEvent(QMouseEvent* Event) { RaiseMouse(OnMouseUp, Event); }

void TVideoWindow::mouseDoubleClickEvent(QMouseEvent* Event) {
  OnDblClick(this);
  RaiseMouse(OnMouseDown, Event);
}

void TVideoWindow::contextMenuEvent(QContextMenuEvent* Event) {
  // Full screen: our own menu at the cursor, or nothing; the request goes no further.
  if (FFullScreen) {
    if (FPopupMenu) FPopupMenu->popup(QCursor::pos());
    Event->accept();
    return;
  }
  // Otherwise as any control: its own menu where asked for, else the parent's.
  if (FPopupMenu) {
    FPopupMenu->popup(Event->globalPos());
    Event->accept();
    return;
  }
  QWidget::contextMenuEvent(Event);
}
