#pragma once
// The program's two windows as the program assembles them, on real GStreamer under X, with a
// registry of the test's own; and the user's hands: tool bar buttons, menus, the popup menu,
// rows of the list and the file dialogs, driven with QtTest input.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <memory>
#include <sstream>

#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayer.h"
#include "framework/ExceptionReport.h"
#include "main/Program.h"
#include "media/FilterGraph.h"
#include "media/TestMedia.h"
#include "media/VideoWindow.h"
#include "platform/gst/GstPlatform.h"
#include "support/WaitUntil.h"
#include "ui/PlayLstFm.h"
#include "ui/vizmoraFM.h"

class PlayListWindow : public ::testing::Test {
protected:
  void SetUp() override {
    qputenv("VIZMORA_REGISTRY", (Dir.path() + "/registry.reg").toUtf8());
    GstPlatformInitialize();
    Start();
  }
  void TearDown() override {
    Program.reset();
    SetExceptionReporter({});
  }

  // The program with windows, assembled as it runs with Line, its show not started; failures
  // are collected in Reports, the --events lines in Events. Bus: where it offers MPRIS.
  void Start(TCommandLine Line = {}, const QDBusConnection& Bus = QDBusConnection(QStringLiteral("no bus"))) {
    Program = std::make_unique<TProgram>(
        std::move(Line),
        TProgramContext{Events, Errors, [this](const std::string& Message) { Reports.push_back(Message); }, Bus});
    ASSERT_TRUE(Program->Create());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(PlayLstFm));
  }
  // The program ended, its settings saved, and started again.
  void Restart(TCommandLine Line = {}, const QDBusConnection& Bus = QDBusConnection(QStringLiteral("no bus"))) {
    Program.reset();
    Start(std::move(Line), Bus);
  }
  TPlayLstFm& Window() { return *PlayLstFm; }
  TVizmoraPlayList& List() { return *ThePlayer->PlayList; }


  static std::string Media(TTestMedia Kind) {
    const std::string Path = TestMediaPath(Kind);
    EXPECT_FALSE(Path.empty()) << "test media could not be generated";
    return Path;
  }

  // A left click on the tool bar's button for the action.
  void ClickButton(QAction* Action) {
    QTest::mouseClick(Window().ToolBar1->widgetForAction(Action), Qt::LeftButton);
  }
  // Opens a menu of the main menu by a click on its title (as shown, without its mnemonic's
  // "&"), then clicks the item.
  void ChooseMenuItem(const QString& Title, QAction* Item) {
    QMenuBar* Bar = Window().MainMenu1;
    for (QAction* Top : Bar->actions())
      if (QString(Top->text()).remove('&') == Title) {
        QTest::mouseClick(Bar, Qt::LeftButton, {}, Bar->actionGeometry(Top).center());
        QMenu* Menu = Top->menu();
        ASSERT_TRUE(RunUntil([Menu] { return Menu->isVisible(); }, 5000)) << "menu " << Title.toStdString();
        QTest::mouseClick(Menu, Qt::LeftButton, {}, Menu->actionGeometry(Item).center());
        return;
      }
    FAIL() << "no menu " << Title.toStdString();
  }
  // Right-clicks the video window and answers the popup menu that opens.
  QMenu* OpenVideoPopupMenu() {
    QWindow* Video = vizmoraFM->windowHandle();
    QTest::mouseClick(Video, Qt::RightButton, {}, vizmoraFM->VW->geometry().center());
    QMenu* Menu = vizmoraFM->PopupMenu1;
    EXPECT_TRUE(RunUntil([Menu] { return Menu->isVisible(); }, 5000)) << "the popup menu did not open";
    return Menu;
  }

  // The next file dialog to open is answered by typing Names (quoted, for several) into its
  // file name field and pressing Enter; the dialog's folder is Folder.
  void AnswerFileDialog(const QString& Folder, const QString& Names) {
    auto* Poll = new QTimer;
    QObject::connect(Poll, &QTimer::timeout, [Poll, Folder, Names] {
      auto* Dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!Dialog || !Dialog->isVisible()) return;
      // Typed while another window is still the active one, Enter would reach its shortcuts.
      if (QApplication::activeWindow() != Dialog) {
        Dialog->activateWindow();
        return;
      }
      Poll->stop();
      Poll->deleteLater();
      if (Dialog->directory() != QDir(Folder)) Dialog->setDirectory(Folder);
      auto* Edit = Dialog->findChild<QLineEdit*>("fileNameEdit");
      Edit->setCompleter(nullptr);  // its popup, coming and going as it likes, would take keys
      Edit->clear();
      QTest::keyClicks(Edit, Names);
      QTest::keyClick(Edit, Qt::Key_Return);
    });
    Poll->start(50);
  }

  // Adds the file as the window's handlers do, and lets the list show it.
  void Add(TTestMedia Kind) {
    Window().AddMediaFile(Media(Kind));
    ASSERT_TRUE(ShowsEveryRow());
  }
  // The list is repainted at the screen's pace: lets it catch up with the playlist.
  bool ShowsEveryRow() {
    return RunUntil([this] { return Window().LB->model()->rowCount() == List().Count(); }, 5000);
  }

  QRect RowRect(int Index) { return Window().LB->ItemRect(Index); }
  void ClickRow(int Index, Qt::KeyboardModifiers Modifiers = {}) {
    QTest::mouseClick(Window().LB->viewport(), Qt::LeftButton, Modifiers, RowRect(Index).center());
  }
  void DoubleClickRow(int Index) {
    QTest::mouseDClick(Window().LB->viewport(), Qt::LeftButton, {}, RowRect(Index).center());
  }
  // Double-clicks the row and waits until its entry plays with its graph running.
  void PlayRow(int Index) {
    DoubleClickRow(Index);
    ASSERT_TRUE(RunUntil([this, Index] {
      return List().Items(Index)->State == esPlaying && vizmoraFM->FG->GraphState() == gsRunning;
    })) << "row " << Index << " did not start playing";
  }

  // Runs the event loop until the program ends it; 3 when it has not after Ms. The limit goes
  // with the call, so it never ends a later test's loop (or a dialog's).
  static int RunProgram(int Ms) {
    QTimer Limit;
    Limit.setSingleShot(true);
    QObject::connect(&Limit, &QTimer::timeout, [] { QCoreApplication::exit(3); });
    Limit.start(Ms);
    return QCoreApplication::exec();
  }

  // The main graph's playing position in milliseconds.
  static LONGLONG PositionMs() {
    ComPtr<IMediaSeeking> Seeking;
    LONGLONG Position = -1;
    if (SUCCEEDED(vizmoraFM->FG->QueryInterface(Seeking))) Seeking->GetCurrentPosition(&Position);
    return Position / 10000;
  }
  // The volume a graph sets, in hundredths of a decibel; 1 when it has no graph.
  static LONG GraphVolume(TFilterGraph* Graph) {
    ComPtr<IBasicAudio> Audio;
    LONG Volume = 1;
    if (SUCCEEDED(Graph->QueryInterface(Audio))) Audio->get_Volume(&Volume);
    return Volume;
  }

  QTemporaryDir Dir;
  std::vector<std::string> Reports;
  std::ostringstream Events, Errors;
  std::unique_ptr<TProgram> Program;
};
