#include "ui/FormPlacement.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "framework/Form.h"
#include "platform/win/WindowPlacement.h"

namespace {
// Room between the client areas of windows side by side, for their borders.
constexpr int Gap = 16;
// Room above a client area for its title bar.
constexpr int TitleRoom = 32;

// The window's frame around its client area; before a window manager has framed it, that of
// Like, framed by the same window manager.
QMargins FrameOf(const QWidget& Window, const QWidget& Like) {
  const QWidget& Framed = Window.frameGeometry() != Window.geometry() ? Window : Like;
  const QRect Outer = Framed.frameGeometry(), Inner = Framed.geometry();
  return QMargins(Inner.left() - Outer.left(), Inner.top() - Outer.top(), Outer.right() - Inner.right(),
                  Outer.bottom() - Inner.bottom());
}
}  // namespace

void BelongTo(QWidget& Window, const QWidget& Owner) {
  Window.winId();
  Window.windowHandle()->setTransientParent(Owner.window()->windowHandle());
}

bool AtDesignedBounds(const TForm& Form) {
  return Form.PlacementStates() == Qt::WindowNoState && Form.NormalGeometry() == Form.DesignedBounds();
}

void PlaceSideBySide(QWidget& Video, QWidget& List) {
  const QRect Area = Video.screen()->availableGeometry();
  const int Width = Video.width() + Gap + List.width();
  const int Height = std::max(Video.height(), List.height());
  const int Left = Area.left() + std::max(0, (Area.width() - Width) / 2);
  const int Top = Area.top() + TitleRoom + std::max(0, (Area.height() - TitleRoom - Height) / 2);
  Video.setGeometry(MovedInside(QRect(Left, Top, Video.width(), Video.height()), Area));
  const QRect Beside(std::min(Left + Video.width() + Gap, Area.left() + Area.width() - List.width()), Top,
                     List.width(), List.height());
  List.setGeometry(MovedInside(Beside, Area));
}

void PlaceDialog(QWidget& Dialog, QWidget& Opener) {
  BelongTo(Dialog, Opener);
  const QScreen* Screen = Opener.screen();
  const QMargins Frame = FrameOf(Dialog, *Opener.window());
  // The designed place is the frame's, counted from the screen's corner.
  const QRect Designed(Dialog.pos() + Screen->geometry().topLeft(), Dialog.size().grownBy(Frame));
  Dialog.setGeometry(MovedInside(Designed, Screen->availableGeometry()).marginsRemoved(Frame));
}
