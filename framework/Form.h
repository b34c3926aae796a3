#pragma once
// The toolkit's form on QWidget, the base of the program's windows. A form is made in two
// steps: construction, then CreateForm's creation sequence, which applies the derived form's
// resource (ReadResource), ends its components' loading, raises OnCreate, and only then shows a
// form whose resource says visible. Free hides the form, raises OnDestroy and deletes it.
// User-interface thread.
#include <QWidget>
#include <cstdint>
#include <type_traits>

#include "framework/Component.h"
#include "framework/Event.h"
#include "framework/Exception.h"
#include "platform/win/PlacedWindow.h"

enum TFormBorderStyle : int { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TWindowState : int { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };
enum TCloseAction : int { caNone, caHide, caFree, caMinimize };

// Raised when an object is taken as a form that is not one.
class EInvalidCast : public Exception {
public:
  EInvalidCast() : Exception("Invalid class typecast") {}
};

class TForm : public QWidget, public IPlacedWindow {
  Q_OBJECT
  Q_PROPERTY(int Left READ Left WRITE SetLeft)
  Q_PROPERTY(int Top READ Top WRITE SetTop)
  Q_PROPERTY(int Width READ Width WRITE SetWidth)
  Q_PROPERTY(int Height READ Height WRITE SetHeight)
  Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
  Q_PROPERTY(TWindowState WindowState READ WindowState WRITE SetWindowState)

public:
  Q_ENUM(TFormBorderStyle)
  Q_ENUM(TWindowState)

  // Owner: the form that owns this one, or nil for a form the application owns.
  explicit TForm(QWidget* Owner = nullptr);
  ~TForm() override;

  // Constructs the form and runs its creation sequence.
  template <typename Form, typename... Args>
  friend Form* CreateForm(Args&&... A);

  // Hides the form, raises OnDestroy while it still exists, then deletes it.
  void Free();

  // Bounds of the client area in screen coordinates.
  int Left() const { return geometry().x(); }
  int Top() const { return geometry().y(); }
  int Width() const { return geometry().width(); }
  int Height() const { return geometry().height(); }
  void SetLeft(int Value);
  void SetTop(int Value);
  void SetWidth(int Value);
  void SetHeight(int Value);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // The bounds the form's resource gave it.
  QRect DesignedBounds() const { return FDesignedBounds; }

  // While the form is being created, making it visible waits until OnCreate has run.
  bool Visible() const { return isVisible(); }
  void SetVisible(bool Value);
  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& Value) { setWindowTitle(Value); }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  // Full screen counts as maximized; a value outside the three states is ignored. Set while
  // full screen, it is the state the form comes back to.
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  // The window manager's full-screen state: the form covers the whole screen it is on, above
  // panels (on a bare X server, with no window manager, it covers it by itself). Leaving it
  // gives back the state and the normal rectangle the form had before.
  bool FullScreen() const { return FFullScreen; }
  void SetFullScreen(bool Value);

  // --- IPlacedWindow; while full screen, the placement the form comes back to
  QRect NormalGeometry() const override;
  void SetNormalGeometry(const QRect& Rect) override;
  Qt::WindowStates PlacementStates() const override;
  void ShowInStates(Qt::WindowStates States) override;
  void SetShown(bool Shown) override { QWidget::setVisible(Shown); }

  // The native window, created when it does not exist yet; the handle is the widget's address.
  std::uintptr_t Handle();

  // Sender first: the form. OnClose may change the action (default caHide).
  TEvent<QObject*> OnCreate;
  TEvent<QObject*> OnDestroy;
  TEvent<QObject*, TCloseAction&> OnClose;

protected:
  // The derived form's resource: its properties, its components (created with this form as
  // owner and loading begun, see CreateComponent) and the event wiring.
  virtual void ReadResource() {}
  // A component owned by this form, named, with its loading begun when it takes part in it.
  template <typename Component>
  Component* CreateComponent(const char* Name);

  void closeEvent(QCloseEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  friend void FreeForms();
  void Create();
  void ApplyBorderStyle();

  TFormBorderStyle FBorderStyle = bsSizeable;
  QRect FDesignedBounds;
  bool FFullScreen = false;
  QRect FRestoreGeometry;           // while full screen: the normal rectangle before it
  Qt::WindowStates FRestoreStates;  // and whether the form was maximized
  bool FMaximizeWhenRestored = false;  // once back from full screen, where that takes two steps
  bool FCreating = false;
  bool FShowWhenCreated = false;
  bool FDestroying = false;
};

// The form, or EInvalidCast when the object is not one.
TForm& AsForm(QObject* Object);
// Frees every form that still exists, the last created first, as the application does at exit.
void FreeForms();

template <typename Form, typename... Args>
Form* CreateForm(Args&&... A) {
  auto* F = new Form(std::forward<Args>(A)...);
  try {
    static_cast<TForm*>(F)->Create();
  } catch (...) {
    delete F;
    throw;
  }
  return F;
}

template <typename Component>
Component* TForm::CreateComponent(const char* Name) {
  auto* C = new Component(this);
  C->setObjectName(QString::fromUtf8(Name));
  if constexpr (std::is_base_of_v<TComponentLoading, Component>) C->BeginLoading();
  return C;
}
