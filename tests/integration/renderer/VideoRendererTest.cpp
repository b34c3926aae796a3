// The classic video renderer on real GStreamer: a window of its own laid over its owner, found
// among the owner's children by its window class and caption, showing the stream, and taking a
// stream again after one ended.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "support/GstTestSupport.h"
#include "media/TestMedia.h"
#include "platform/com/ClassRegistry.h"
#include "platform/dshow/EventCodes.h"
#include "platform/dshow/Video.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowClasses.h"
#include "support/WaitUntil.h"

namespace {
QWindow* RendererWindowOf(QObject* Owner, const QString& Caption) {
  return qobject_cast<QWindow*>(WindowOf(FindWindowEx(Owner, VideoRendererWindowClass, Caption)));
}

bool IsRed(QRgb P) { return qRed(P) > 195 && qGreen(P) < 60 && qBlue(P) < 60; }

// The centre of what the window shows on the screen, once it is red, within a generous time.
bool ShowsRed(QWindow* Window) {
  return RunUntil([Window] {
    const QImage Shown = QGuiApplication::primaryScreen()->grabWindow(Window->winId()).toImage();
    return !Shown.isNull() && IsRed(Shown.pixel(Shown.width() / 2, Shown.height() / 2));
  });
}
}  // namespace

TEST(VideoRenderer, ShowsItsStreamInAWindowOfItsOwnOverTheOwnerAndTakesANewStreamAfterOneEnded) {
  ASSERT_FALSE(TestMediaPath(TTestMedia::RedClip).empty());
  QWidget Owner;
  Owner.resize(320, 240);
  Owner.show();
  const auto Graph = NewGraph();
  ComPtr<IBaseFilter> Renderer;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IBaseFilter::IID,
                                   Renderer.ReleaseAndGetVoidAddress()));
  ASSERT_EQ(S_OK, Graph->AddFilter(Renderer.Get(), u"VW"));
  ComPtr<IVideoWindow> Window;
  ASSERT_EQ(S_OK, Renderer.As(Window));
  EXPECT_EQ(S_OK, Window->put_Caption(u"VW"));
  EXPECT_EQ(S_OK, Window->put_MessageDrain(HandleOf(&Owner)));
  EXPECT_EQ(S_OK, Window->put_Owner(HandleOf(&Owner)));
  EXPECT_EQ(S_OK, Window->SetWindowPosition(10, 20, 160, 120));

  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
  EXPECT_TRUE(FiltersNamed(Graph, "Video Renderer").empty()) << "the stream went to the renderer in the graph";
  ASSERT_TRUE(SUCCEEDED(As<IMediaControl>(Graph)->Run()));
  QWindow* Own = RendererWindowOf(&Owner, "VW");
  ASSERT_NE(nullptr, Own);
  EXPECT_TRUE(Own->isVisible());
  EXPECT_EQ(QSize(160, 120), Own->size());
  EXPECT_EQ(Owner.geometry().topLeft() + QPoint(10, 20), Own->position());
  EXPECT_TRUE(ShowsRed(Own));

  ASSERT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 15000));
  As<IMediaControl>(Graph)->Stop();
  for (const auto& F : FiltersOf(Graph))
    for (const auto& Pin : PinsOf(F)) Pin->Disconnect();
  for (const auto& F : FiltersOf(Graph))
    if (F.Get() != Renderer.Get()) Graph->RemoveFilter(F.Get());
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
  EXPECT_TRUE(FiltersNamed(Graph, "Video Renderer").empty());
  ASSERT_TRUE(SUCCEEDED(As<IMediaControl>(Graph)->Run()));
  std::vector<LONG> Seen;
  EXPECT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 15000, &Seen));
  EXPECT_EQ(0, std::count(Seen.begin(), Seen.end(), EC_ERRORABORT));

  EXPECT_EQ(S_OK, Window->put_Owner(0));  // unowned: no longer among the owner's children
  EXPECT_EQ(nullptr, RendererWindowOf(&Owner, "VW"));
  As<IMediaControl>(Graph)->Stop();
  for (const auto& F : FiltersOf(Graph)) Graph->RemoveFilter(F.Get());
}
