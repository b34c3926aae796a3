#include "framework/Form.h"

#include <QCloseEvent>
#include <QScreen>
#include <vector>

#include "framework/ExceptionReport.h"
#include "platform/win/WindowManager.h"

namespace {
// Every form that exists, in creation order. User-interface thread.
std::vector<TForm*>& Forms() {
  static std::vector<TForm*> List;
  return List;
}

constexpr Qt::WindowStates SizeStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
constexpr Qt::WindowStates PlacedStates = Qt::WindowMinimized | Qt::WindowMaximized;

// An event handler of the form's own creation or destruction: what escapes it is reported and
// the form goes on.
void RaiseGuarded(TForm* Form, const TEvent<QObject*>& Event) {
  try {
    Event(Form);
  } catch (...) {
    ApplicationHandleException(Form);
  }
}
}  // namespace

TForm::TForm(QWidget* Owner) : QWidget(Owner, Qt::Window) { Forms().push_back(this); }

TForm::~TForm() { std::erase(Forms(), this); }

void TForm::Create() {
  FCreating = true;
  ReadResource();
  FDesignedBounds = geometry();
  EndLoadingComponents(this);
  RaiseGuarded(this, OnCreate);
  FCreating = false;
  if (FShowWhenCreated) show();
}

void TForm::Free() {
  if (FDestroying) return;
  FDestroying = true;
  hide();
  RaiseGuarded(this, OnDestroy);
  const QList<TForm*> Owned = findChildren<TForm*>(Qt::FindDirectChildrenOnly);
  for (auto It = Owned.rbegin(); It != Owned.rend(); ++It) (*It)->Free();
  delete this;
}

void FreeForms() {
  for (;;) {
    TForm* Last = nullptr;
    for (TForm* F : Forms())
      if (!F->FDestroying && !F->parentWidget()) Last = F;
    if (!Last) return;
    Last->Free();
  }
}

TForm& AsForm(QObject* Object) {
  auto* Form = qobject_cast<TForm*>(Object);
  if (!Form) throw EInvalidCast();
  return *Form;
}

void TForm::SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
void TForm::SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
void TForm::SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
void TForm::SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) { setGeometry(ALeft, ATop, AWidth, AHeight); }

void TForm::SetVisible(bool Value) {
  if (FCreating)
    FShowWhenCreated = Value;
  else
    setVisible(Value);
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
  FBorderStyle = Value;
  ApplyBorderStyle();
}

void TForm::ApplyBorderStyle() {
  Qt::WindowFlags Flags = windowFlags() & ~(Qt::WindowType_Mask | Qt::FramelessWindowHint);
  switch (FBorderStyle) {
    case bsNone: Flags |= Qt::Window | Qt::FramelessWindowHint; break;
    case bsDialog: Flags |= Qt::Dialog; break;
    case bsToolWindow:
    case bsSizeToolWin: Flags |= Qt::Tool; break;
    case bsSingle:
    case bsSizeable: Flags |= Qt::Window; break;
  }
  // Changing the flags of a shown window hides it.
  const bool WasVisible = isVisible();
  setWindowFlags(Flags);
  if (WasVisible) show();
}

TWindowState TForm::WindowState() const {
  // Asked for, full screen holds also where no window manager answers for the state.
  if (FFullScreen) return wsMaximized;
  const Qt::WindowStates State = windowState();
  if (State & Qt::WindowMinimized) return wsMinimized;
  if (State & (Qt::WindowMaximized | Qt::WindowFullScreen)) return wsMaximized;
  return wsNormal;
}

void TForm::SetWindowState(TWindowState Value) {
  Qt::WindowStates State;
  switch (Value) {
    case wsNormal: break;
    case wsMinimized: State = Qt::WindowMinimized; break;
    case wsMaximized: State = Qt::WindowMaximized; break;
    default: return;
  }
  if (FFullScreen)
    FRestoreStates = State;
  else
    setWindowState((windowState() & ~SizeStates) | State);
}

void TForm::SetFullScreen(bool Value) {
  if (Value == FFullScreen) return;
  const bool Honoured = FullScreenStateHonoured();
  if (Value) {
    FRestoreGeometry = NormalGeometry();
    FRestoreStates = PlacementStates() & Qt::WindowMaximized;
    FMaximizeWhenRestored = false;
    FFullScreen = true;
    setWindowState((windowState() & ~PlacedStates) | Qt::WindowFullScreen);
    if (!Honoured) setGeometry(screen()->geometry());
    return;
  }
  FFullScreen = false;
  if ((FRestoreStates & Qt::WindowMaximized) && MaximizesAfterLeavingFullScreen()) {
    FMaximizeWhenRestored = true;
    setWindowState(windowState() & ~SizeStates);
    return;
  }
  setWindowState((windowState() & ~SizeStates) | FRestoreStates);
  // The window manager gives a maximized window back its own normal rectangle when it is
  // restored later; without one the form was never really maximized.
  if (!(FRestoreStates & Qt::WindowMaximized) || !Honoured) setGeometry(FRestoreGeometry);
}

QRect TForm::NormalGeometry() const {
  if (FFullScreen) return FRestoreGeometry;
  const QRect Normal = normalGeometry();
  return Normal.isValid() ? Normal : geometry();
}

void TForm::SetNormalGeometry(const QRect& Rect) {
  if (FFullScreen) {
    FRestoreGeometry = Rect;
    return;
  }
  // Qt keeps the normal geometry of a maximized window to itself: leave the state, set the
  // geometry, and enter the state again, which records it as the normal geometry.
  const Qt::WindowStates State = windowState();
  if (State & PlacedStates) {
    setWindowState(State & ~PlacedStates);
    setGeometry(Rect);
    setWindowState(State);
  } else {
    setGeometry(Rect);
  }
}

Qt::WindowStates TForm::PlacementStates() const {
  if (FFullScreen) return FRestoreStates;
  return FMaximizeWhenRestored ? Qt::WindowMaximized : windowState() & PlacedStates;
}

void TForm::ShowInStates(Qt::WindowStates States) {
  if (FFullScreen)
    FRestoreStates = States & PlacedStates;
  else
    setWindowState((windowState() & ~SizeStates) | (States & PlacedStates));
  QWidget::setVisible(true);
}

std::uintptr_t TForm::Handle() {
  winId();
  return reinterpret_cast<std::uintptr_t>(static_cast<QObject*>(this));
}

// The compositor's answer to leaving full screen is the form's new size.
void TForm::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  if (!FMaximizeWhenRestored) return;
  FMaximizeWhenRestored = false;
  setWindowState(windowState() | Qt::WindowMaximized);
}

void TForm::closeEvent(QCloseEvent* Event) {
  TCloseAction Action = caHide;
  OnClose(this, Action);
  switch (Action) {
    case caNone: Event->ignore(); break;
    case caHide: Event->accept(); break;
    case caMinimize:
      Event->ignore();
      showMinimized();
      break;
    case caFree:
      Event->accept();
      // Freed once the close has been carried out, as a posted release.
      QMetaObject::invokeMethod(this, &TForm::Free, Qt::QueuedConnection);
      break;
  }
}
