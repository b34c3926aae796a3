#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>

#include "platform/dshow/EventCodes.h"
#include "unit/media/videowindow/VideoWindowFixture.h"

namespace {
class VideoWindowScreenTest : public VideoWindowFixture {
protected:
  // Requests the context menu of the window, as a right click at (5, 5) does.
  void RequestMenu() {
    QContextMenuEvent Event(QContextMenuEvent::Mouse, QPoint(5, 5), VW->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(VW.get(), &Event);
  }
  // The coordinates OnMouseDown reports for a press at (5, 5).
  QPoint PressAt() {
    QPoint Reported(-1, -1);
    VW->OnMouseDown = [&](QObject*, const QMouseEvent&, int X, int Y) { Reported = QPoint(X, Y); };
    QMouseEvent Press(QEvent::MouseButtonPress, QPointF(5, 5), VW->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(VW.get(), &Press);
    return Reported;
  }
};

TEST_F(VideoWindowScreenTest, EachResizeFitsTheWindowlessPictureToTheClientArea) {
  JoinMixing();
  FG->SetActive(true);
  Log.Take();
  int Resized = 0;
  VW->OnResize = [&](QObject* Sender) {
    EXPECT_EQ(Sender, VW.get());
    EXPECT_TRUE(Log.Calls.empty());  // raised before the picture is fitted
    ++Resized;
  };
  VW->resize(640, 480);
  EXPECT_EQ(Resized, 1);
  EXPECT_EQ(RendererCalls(), TCalls{"VMR2 SetVideoPosition 0,0,640,480"});
}

TEST_F(VideoWindowScreenTest, WindowlessFullScreenIsOnlyAFlagThatTakesTheContextMenu) {
  JoinMixing();
  FG->SetActive(true);
  Log.Take();

  RequestMenu();  // not full screen, no menu of its own: the form's
  EXPECT_EQ(Form.MenuRequests, 1);

  VW->SetFullScreen(true);
  EXPECT_TRUE(VW->FullScreen());
  FG->Play();  // the play step re-applies the flag only
  Graphs.Latest()->Queue(EC_PALETTE_CHANGED);
  FG->HandleGraphEvents();
  EXPECT_EQ(RendererCalls(), TCalls{});

  RequestMenu();  // full screen without a menu: dropped
  EXPECT_EQ(Form.MenuRequests, 1);

  QMenu Menu;
  Menu.addAction("Play");
  VW->setProperty("PopupMenu", QVariant::fromValue(&Menu));
  ASSERT_EQ(VW->PopupMenu(), &Menu);
  const QPoint Cursor = QGuiApplication::primaryScreen()->geometry().center();
  QCursor::setPos(Cursor);
  RequestMenu();
  EXPECT_TRUE(Menu.isVisible());
  EXPECT_EQ(Menu.pos(), QCursor::pos());
  EXPECT_EQ(Form.MenuRequests, 1);
  Menu.hide();
}

TEST_F(VideoWindowScreenTest, TheClassicRendererGoesFullScreenAndComesBackWithTheSavedStyles) {
  VW->EndLoading();  // reads the (empty) style words
  VW->SetFilterGraph(FG.get());
  FG->SetActive(true);
  Log.Take();
  const std::string Window = Handle(VW.get());
  const QSize Screen = QGuiApplication::primaryScreen()->size();
  const std::string ScreenSize = std::to_string(Screen.width()) + "," + std::to_string(Screen.height());
  const TCalls Back{"VR1 put_Owner " + Handle(&Form), "VR1 put_WindowStyle $44000000", "VR1 put_WindowStyleEx $0",
                    "VR1 SetWindowPosition 10,20,320,240"};

  // Playing lays the renderer's window over ours and names it.
  FG->Play();
  EXPECT_EQ(RendererCalls(), (Back + TCalls{"VR1 put_Caption VW", "VR1 put_MessageDrain " + Window}));

  VW->SetFullScreen(true);
  EXPECT_EQ(RendererCalls(), (TCalls{"VR1 put_Owner 0", "VR1 put_WindowStyle $0", "VR1 put_WindowStyleEx $0",
                                     "VR1 SetWindowPosition 0,0," + ScreenSize}));
  QCursor::setPos(QPoint(30, 40));
  EXPECT_EQ(PressAt(), QCursor::pos());  // the cursor's screen position
  VW->resize(400, 300);                  // the screen-filling window stays put
  EXPECT_EQ(RendererCalls(), TCalls{});
  VW->SetFullScreenTopMost(true);
  EXPECT_EQ(RendererCalls()[2], "VR1 put_WindowStyleEx $8");

  VW->resize(320, 240);
  VW->SetFullScreen(false);
  EXPECT_EQ(RendererCalls(), Back);
  EXPECT_EQ(PressAt(), QPoint(5, 5));
  VW->resize(330, 250);
  EXPECT_EQ(RendererCalls(), TCalls{"VR1 SetWindowPosition 10,20,330,250"});

  // Hiding the control hides the renderer's window; the video handle is not the canvas.
  VW->hide();
  EXPECT_EQ(RendererCalls(), TCalls{"VR1 put_Visible 0"});
  EXPECT_EQ(VW->VideoHandle(), OAHWND{0});  // no renderer window among the form's children
}

TEST_F(VideoWindowScreenTest, TheVideoHandleOfTheWindowlessRendererIsTheCanvas) {
  JoinMixing();
  FG->SetActive(true);
  const OAHWND Canvas = VW->VideoHandle();
  EXPECT_NE(Canvas, OAHWND{0});
  EXPECT_NE(Canvas, HandleOf(VW.get()));
  EXPECT_EQ(Canvas, reinterpret_cast<OAHWND>(static_cast<QPaintDevice*>(VW.get())));
}

TEST_F(VideoWindowScreenTest, PaintAndDoubleClickRaiseTheirEvents) {
  TCalls Events;
  VW->OnPaint = [&](QObject*) { Events.push_back("paint"); };
  VW->OnDblClick = [&](QObject*) { Events.push_back("dblclick"); };
  VW->OnMouseDown = [&](QObject*, const QMouseEvent&, int X, int Y) {
    Events.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
  };
  QPaintEvent Paint(VW->rect());
  QCoreApplication::sendEvent(VW.get(), &Paint);
  QMouseEvent Double(QEvent::MouseButtonDblClick, QPointF(7, 8), VW->mapToGlobal(QPointF(7, 8)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(VW.get(), &Double);
  EXPECT_EQ(Events, (TCalls{"paint", "dblclick", "down 7,8"}));
}
}  // namespace
