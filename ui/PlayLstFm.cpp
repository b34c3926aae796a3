#include "ui/PlayLstFm.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <string_view>
#include <QPainter>
#include <QProxyStyle>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "app/EntryKinds.h"
#include "app/StatusLine.h"
#include "engine/LengthReader.h"
#include "engine/PlayListEntry.h"
#include "engine/PlayListFormats.h"
#include "engine/PropertiesFrames.h"
#include "engine/VizmoraPlayer.h"
#include "framework/Clock.h"
#include "framework/DayFractions.h"
#include "framework/FileNames.h"
#include "framework/TimeText.h"
#include "framework/Timer.h"
#include "media/FilterGraph.h"
#include "media/VideoWindow.h"
#include "settings/ProgressBarEx.h"
#include "settings/RegAuto.h"
#include "settings/TrackBarEx.h"
#include "ui/DesignControls.h"
#include "ui/FormPlacement.h"
#include "ui/MessagesDialog.h"
#include "ui/PLEProp.h"
#include "ui/TransitionMenu.h"
#include "ui/vizmoraFM.h"

TPlayLstFm* PlayLstFm = nullptr;
QPointer<TPLEProp> PLEProp;
const char* const ProductPage = VIZMORA_HOMEPAGE;

namespace {
using TActionField = QAction* TPlayLstFm::*;

// An action or a menu item with a handler of its own. Hint nil: the caption is the hint.
struct TActionRow {
  TActionField Field;
  const char* Name;
  const char* Caption;
  const char* Hint;
  int Image;  // in both image lists; -1 for none
  bool Enabled;
  bool AutoCheck;  // checks and unchecks itself on each use
  void (TPlayLstFm::*Execute)();  // nil: the action only carries its check mark
};

// AList, in its order. A caption's "&" marks its mnemonic, underlined in menus and not shown.
const TActionRow Actions[] = {
    {&TPlayLstFm::AddFile, "AddFile", "&Add File...", "Add file to play list", 7, true, false, &TPlayLstFm::AddFileExecute},
    {&TPlayLstFm::Properties, "Properties", "P&roperties...", "Properties", 4, true, false, &TPlayLstFm::PropertiesExecute},
    {&TPlayLstFm::Play, "Play", "&Play", "Play", 3, true, false, &TPlayLstFm::PlayExecute},
    {&TPlayLstFm::Stop, "Stop", "&Stop", "Stop", 0, true, false, &TPlayLstFm::StopExecute},
    {&TPlayLstFm::Pause, "Pause", "Pa&use", "Pause", 2, true, false, &TPlayLstFm::PauseExecute},
    {&TPlayLstFm::SavePL, "SavePL", "&Save Playlist", "Save playlist...", 9, true, false, &TPlayLstFm::SavePLExecute},
    {&TPlayLstFm::LoadPL, "LoadPL", "&Load Playlist", "Load playlist", 8, true, false, &TPlayLstFm::LoadPLExecute},
    {&TPlayLstFm::HidePL, "HidePL", "&Hide Play List", "Hide Play List", -1, true, false, &TPlayLstFm::HidePLExecute},
    {&TPlayLstFm::ShowPL, "ShowPL", "Sh&ow Play List", "Show Play List", -1, false, false, &TPlayLstFm::ShowPLExecute},
    {&TPlayLstFm::FullScreen, "FullScreen", "&Full Screen", "Full Screen ", 1, true, false, &TPlayLstFm::FullScreenExecute},
    {&TPlayLstFm::Restore, "Restore", "&Restore", "Restore", 6, false, false, &TPlayLstFm::RestoreExecute},
    {&TPlayLstFm::DelItem, "DelItem", "&Delete ", "Delete ", 5, true, false, &TPlayLstFm::DelItemExecute},
    {&TPlayLstFm::Aspect, "Aspect", "Keep &Aspect Ratio", nullptr, -1, true, true, &TPlayLstFm::AspectExecute},
    {&TPlayLstFm::SkipBroken, "SkipBroken", "S&kip Entries That Fail", nullptr, -1, true, true, nullptr},
    {&TPlayLstFm::MoveUp, "MoveUp", "Move &Up", "Move the entry up", -1, true, false, &TPlayLstFm::MoveUpExecute},
    {&TPlayLstFm::MoveDown, "MoveDown", "Move Dow&n", "Move the entry down", -1, true, false, &TPlayLstFm::MoveDownExecute},
};

const TActionRow MenuItems[] = {
    {&TPlayLstFm::Exit1, "Exit1", "E&xit ", nullptr, -1, true, false, &TPlayLstFm::Exit1Click},
    {&TPlayLstFm::WWW1, "WWW1", "&WWW", nullptr, -1, true, false, &TPlayLstFm::WWW1Click},
    {&TPlayLstFm::Messages1, "Messages1", "&Messages...", nullptr, -1, true, false, &TPlayLstFm::Messages1Click},
};

// The pictures of both image lists, by index.
const QList<QString> Pictures = {"stop",   "fullscreen", "pause",   "play",         "properties",
                                 "delete", "restore",    "addfile", "loadplaylist", "saveplaylist"};

// Left to right; nil is a separator.
const TActionField ToolButtons[] = {&TPlayLstFm::LoadPL, &TPlayLstFm::AddFile, &TPlayLstFm::DelItem,
                                    &TPlayLstFm::Properties, &TPlayLstFm::SavePL, nullptr,
                                    &TPlayLstFm::Play, &TPlayLstFm::Pause, &TPlayLstFm::Stop, nullptr,
                                    &TPlayLstFm::FullScreen, &TPlayLstFm::Restore};

// The main menu; a menu without a caption puts its items on the bar itself. Nil is a separator
// within a menu.
struct TMenuRow {
  const char* Caption;
  std::vector<TActionField> Items;
};
const TMenuRow MainMenu[] = {
    {"&File", {&TPlayLstFm::AddFile, &TPlayLstFm::Properties, &TPlayLstFm::MoveUp, &TPlayLstFm::MoveDown, nullptr,
              &TPlayLstFm::LoadPL, &TPlayLstFm::SavePL, &TPlayLstFm::Exit1}},
    {"&View", {&TPlayLstFm::HidePL, &TPlayLstFm::Aspect, nullptr, &TPlayLstFm::Messages1}},
    {"&Control", {&TPlayLstFm::Play, &TPlayLstFm::Pause, &TPlayLstFm::Stop, nullptr, &TPlayLstFm::SkipBroken}},
    {nullptr, {&TPlayLstFm::WWW1}},
};

constexpr int SeparatorWidth = 8;
// The room before each row's name for the mark of the entry on screen.
constexpr int MarkWidth = 12;
// How long a note on the status line stays before the position may replace it.
constexpr double NoteHold = 5 / SecsPerDay;
// What stands for a length that is not known.
const char* const NoLength = "--:--:--";

// The mark of the entry on screen: a triangle while it plays, two bars while it is paused.
void DrawPlayMark(QPainter& Canvas, const QRect& Row, bool Paused, const QColor& Colour) {
  const QRectF Box(Row.left() + 3, Row.top() + 3, MarkWidth - 5, Row.height() - 6);
  Canvas.save();
  Canvas.setRenderHint(QPainter::Antialiasing);
  Canvas.setPen(Qt::NoPen);
  Canvas.setBrush(Colour);
  if (Paused) {
    Canvas.drawRect(QRectF(Box.left(), Box.top(), Box.width() / 3, Box.height()));
    Canvas.drawRect(QRectF(Box.right() - Box.width() / 3, Box.top(), Box.width() / 3, Box.height()));
  } else {
    Canvas.drawPolygon(QPolygonF({Box.topLeft(), Box.bottomLeft(), QPointF(Box.right(), Box.center().y())}));
  }
  Canvas.restore();
}

// The row's length: the time text of the entry's, or a stand-in while it is not known.
std::string LengthText(TPlayListEntry& Entry) {
  return TLengthReader::Unknown(Entry).empty() ? TimeText(Entry.GetDuration()) : NoLength;
}

// The tool bar's look with separators of the designed width.
class TToolBarStyle : public QProxyStyle {
public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric Metric, const QStyleOption* Option, const QWidget* Widget) const override {
    if (Metric == PM_ToolBarSeparatorExtent) return SeparatorWidth;
    return QProxyStyle::pixelMetric(Metric, Option, Widget);
  }
};

QFileDialog* CreateFileDialog(QWidget* Parent, const QStringList& Filters, QFileDialog::FileMode Mode,
                              QFileDialog::AcceptMode Accept) {
  auto* Dialog = new QFileDialog(Parent);
  Dialog->setOption(QFileDialog::DontUseNativeDialog);  // driven like any widget
  Dialog->setNameFilters(Filters);
  Dialog->setFileMode(Mode);
  Dialog->setAcceptMode(Accept);
  Dialog->setSizeGripEnabled(true);
  return Dialog;
}

// The open dialog's "All supported" patterns: the designed ones, then every other extension
// an entry kind takes.
QString AllSupported() {
  QStringList Patterns = {"*.jpeg", "*.jpg", "*.avi", "*.bmp", "*.gif", "*.vob"};
  for (const TEntryKind& Kind : EntryKindTable())
    for (const std::string& Ext : Kind.Extensions) {
      const QString Pattern = "*" + QString::fromStdString(Ext).toLower();
      if (!Patterns.contains(Pattern)) Patterns.push_back(Pattern);
    }
  return "All supported (" + Patterns.join(' ') + ")";
}

// Runs the dialog anew: what was chosen last time is no longer selected, or it would be taken
// together with a name typed now. True when the user confirmed.
bool Execute(QFileDialog* Dialog) {
  for (QAbstractItemView* View : Dialog->findChildren<QAbstractItemView*>()) View->clearSelection();
  return Dialog->exec() == QDialog::Accepted;
}

// The first chosen file as the file system names it.
std::string ChosenFile(const QFileDialog* Dialog) {
  const QStringList Files = Dialog->selectedFiles();
  return Files.isEmpty() ? std::string() : QFile::encodeName(Files.first()).toStdString();
}
}  // namespace

TPlayLstFm::TPlayLstFm(QWidget* AOwner) : TForm(AOwner) {}

TPlayLstFm::~TPlayLstFm() {
  if (FListenerKey) PlayList->Listeners.Remove(FListenerKey);
  if (FStatusLine) FStatusLine->SetDisplay({});
  if (PlayLstFm == this) PlayLstFm = nullptr;
}

void TPlayLstFm::ReadResource() {
  setObjectName("PlayLstFm");
  SetCaption("Play List");
  SetBounds(668, 140, 423, 645);
  SetBorderStyle(bsSizeToolWin);
  // A tool window of the video form, which keeps it above the form (also at full screen)
  // wherever the desktop honours that, Wayland included.
  if (vizmoraFM) BelongTo(*this, *vizmoraFM);
  setFont(DesignFont(11));

  ImageList1 = std::make_unique<TImageList>(32, Pictures);
  ImageList2 = std::make_unique<TImageList>(16, Pictures);
  CreateActions();
  CreateMainMenu();
  CreateToolBar();
  CreatePanel();

  LB = new TVirtualListBox(this);
  LB->setObjectName("LB");
  LB->SetItemHeight(16);
  LB->OnData.Bind(this, &TPlayLstFm::LBData);
  LB->OnHint.Bind(this, &TPlayLstFm::LBHint);
  LB->OnDrawItem.Bind(this, &TPlayLstFm::LBDrawItem);
  LB->OnDblClick.Bind(this, &TPlayLstFm::LBDblClick);
  LB->OnMoveRow.Bind(this, &TPlayLstFm::LBMoveRow);
  LB->OnDropFiles.Bind(this, &TPlayLstFm::LBDropFiles);
  LB->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(LB, &QWidget::customContextMenuRequested, this, [this](const QPoint& At) { LBContextPopup(At); });
  CreatePopupMenu();

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setFixedHeight(20);
  MessagesDialog = new TMessagesDialog(this);

  auto* Client = new QVBoxLayout(this);
  Client->setContentsMargins(0, 0, 0, 0);
  Client->setSpacing(0);
  Client->setMenuBar(MainMenu1);
  Client->addWidget(ToolBar1);
  Client->addWidget(Panel1);
  Client->addWidget(LB, 1);
  Client->addWidget(StatusBar1);
  // Narrower, the tool bar would hide its buttons behind its extension.
  setMinimumWidth(ToolBar1->sizeHint().width());

  CreateDialogs();
  PosTimer = CreateTimer();
  PosTimer->SetInterval(500);
  PosTimer->OnTimer.Bind(this, &TPlayLstFm::PosTimerTimer);
  PosTimer->SetEnabled(true);

  RegAuto1 = CreateComponent<TRegAuto>("RegAuto1");
  RegAuto1->SetProps({"Aspect.Checked", "SkipBroken.Checked", "Transition.Text"});
  RegAuto1->SetSaveWindowPlace(true);
  RegAuto1->SetRegPath("Software\\Quorvex Software\\Vizmora");
  RegAuto1->SetIniFile("$HOME/.Vizmora");
  RegAuto1->AfterLoad.Bind(this, &TPlayLstFm::RegAuto1AfterLoad);

  OnCreate.Bind(this, &TPlayLstFm::FormCreate);
  OnClose.Bind(this, &TPlayLstFm::FormClose);
  SetVisible(true);
}

void TPlayLstFm::CreateActions() {
  const auto Create = [this](const TActionRow& Row) {
    auto* Action = new QAction(QString::fromUtf8(Row.Caption), this);  // a direct child, found by name
    Action->setObjectName(QString::fromUtf8(Row.Name));
    if (Row.Hint) Action->setToolTip(QString::fromUtf8(Row.Hint));
    Action->setIcon(IconOf(Row.Image, *ImageList2, *ImageList1));
    Action->setEnabled(Row.Enabled);
    Action->setCheckable(Row.AutoCheck);
    // Triggered, not toggled: a check mark restored at start runs no handler.
    if (Row.Execute) connect(Action, &QAction::triggered, this, [this, Execute = Row.Execute] { (this->*Execute)(); });
    this->*Row.Field = Action;
    return Action;
  };
  for (const TActionRow& Row : Actions) AList.push_back(Create(Row));
  for (const TActionRow& Row : MenuItems) Create(Row);
}

void TPlayLstFm::CreateMainMenu() {
  Transition = new TTransitionMenu(this);
  Transition->setObjectName("Transition");
  Transition->OnChange = [this](const TTransition& Value) {
    if (PlayList) PlayList->SetTransition(Value);
  };
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName("MainMenu1");
  MainMenu1->setNativeMenuBar(false);  // in the window, as designed, also where a desktop offers a global menu
  for (const TMenuRow& Row : MainMenu) {
    QMenu* Menu = Row.Caption ? MainMenu1->addMenu(QString::fromUtf8(Row.Caption)) : nullptr;
    for (const TActionField Item : Row.Items) {
      if (!Menu)
        MainMenu1->addAction(this->*Item);
      else if (Item)
        Menu->addAction(this->*Item);
      else
        Menu->addSeparator();
    }
    if (Row.Caption && std::string_view(Row.Caption) == "&Control") {
      Menu->addSeparator();
      Menu->addMenu(Transition->Menu());
    }
  }
}

// The list's own menu, on the same actions; Play there plays the row clicked.
void TPlayLstFm::CreatePopupMenu() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  PopupMenu1->addActions({Play, Properties, DelItem});
  PopupMenu1->addSeparator();
  PopupMenu1->addActions({MoveUp, MoveDown});
  // The row is let go once the chosen action has run: it runs after the menu hides.
  connect(PopupMenu1, &QMenu::aboutToHide, this,
          [this] { QMetaObject::invokeMethod(this, [this] { FMenuRow = -1; }, Qt::QueuedConnection); });
}

void TPlayLstFm::CreateToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  auto* Style = new TToolBarStyle(style()->name());
  Style->setParent(ToolBar1);
  ToolBar1->setStyle(Style);
  ToolBar1->setFixedHeight(43);
  ToolBar1->setIconSize(QSize(ImageList1->Size(), ImageList1->Size()));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  for (const TActionField Button : ToolButtons) {
    if (!Button) {
      ToolBar1->addSeparator();
      continue;
    }
    ToolBar1->addAction(this->*Button);
    ToolBar1->widgetForAction(this->*Button)->setFixedSize(39, 38);
  }
}

void TPlayLstFm::CreatePanel() {
  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setFixedHeight(33);

  trPos = new TProgressBarEx(Panel1);
  trPos->setObjectName("trPos");
  trPos->setGeometry(3, 6, 250, 19);
  trPos->setMinimumWidth(50);
  trPos->SetSmooth(true);
  trPos->SetStep(1);
  trPos->SetMin(0);
  trPos->SetMax(100);
  trPos->SetCursor(Qt::PointingHandCursor);
  trPos->OnMouseMove.Bind(this, &TPlayLstFm::trPosMouseMove);
  trPos->OnMouseUp.Bind(this, &TPlayLstFm::trPosMouseUp);

  SoundLev = new TTrackBarEx(Panel1);
  SoundLev->setObjectName("SoundLev");
  SoundLev->setGeometry(261, 6, 150, 25);
  SoundLev->SetMax(10000);
  SoundLev->SetFrequency(1000);
  SoundLev->SetPosition(10000);
  SoundLev->SetHint("Volume");
  SoundLev->OnChanged.Bind(this, &TPlayLstFm::SoundLevChanged);

  // As designed at the designed width: the seek bar takes what the window has beyond it, the
  // volume keeps its size at the right.
  auto* Row = new QHBoxLayout(Panel1);
  const int Frame = Panel1->frameWidth();
  Row->setContentsMargins(3 - Frame, 6 - Frame, 423 - 411 - Frame, 0);
  Row->setSpacing(261 - 253);
  Row->addWidget(trPos, 1, Qt::AlignTop);
  trPos->setFixedHeight(19);
  Row->addWidget(SoundLev, 0, Qt::AlignTop);
  SoundLev->setFixedSize(150, 25);
}

void TPlayLstFm::CreateDialogs() {
  OD = CreateFileDialog(this,
                        {"AVI (*.avi)", "JPEG (*.jpg *.jpeg)", "BMP (*.bmp)", "GIF (*.gif)", AllSupported(),
                         "All Files (*)"},
                        QFileDialog::ExistingFiles, QFileDialog::AcceptOpen);
  OD->selectNameFilter(AllSupported());
  // The program's own playlists first, then other players'.
  OLD = CreateFileDialog(this,
                         {"Playlist (*.pll)", "M3U (*.m3u *.m3u8)", "XSPF (*.xspf)",
                          "All playlists (*.pll *.m3u *.m3u8 *.xspf)"},
                         QFileDialog::AnyFile, QFileDialog::AcceptOpen);
  SLD = CreateFileDialog(this, {"Playlist (*.pll)", "M3U8 (*.m3u8)", "XSPF (*.xspf)"}, QFileDialog::AnyFile,
                         QFileDialog::AcceptSave);
  SLD->setDefaultSuffix("pll");
  // A name typed without an extension gets the chosen format's.
  connect(SLD, &QFileDialog::filterSelected, SLD, [this](const QString& Filter) {
    SLD->setDefaultSuffix(Filter.section("*.", 1).section(')', 0, 0));
  });
  SLD->setOption(QFileDialog::DontConfirmOverwrite);
}

// A note stays readable for a while, and whole in the status bar's tool tip and in the messages.
void TPlayLstFm::ShowStatus(const std::string& Text) {
  ShowText(Text);
  FNoteUntil = Now() + NoteHold;
  FNoteState = PlayList ? PlayList->State : esStopped;
  MessagesDialog->Add(QString::fromStdString(TimeText(Now())), QString::fromStdString(Text));
}

void TPlayLstFm::ShowText(const std::string& Text) {
  const QString Line = QString::fromStdString(Text);
  StatusBar1->showMessage(Line);
  StatusBar1->setToolTip(Line);
  StatusBar1->repaint();
}

// While the show stays as it was when the note came; a clock set back lets it go.
bool TPlayLstFm::NoteHeld() const {
  const double Left = FNoteUntil - Now();
  return Left > 0 && Left <= NoteHold && PlayList->State == FNoteState;
}

void TPlayLstFm::DisplayStatusLine(TStatusLine& Line) {
  FStatusLine = &Line;
  Line.SetDisplay([this](const std::string& Text) { ShowStatus(Text); });
}

std::string TPlayLstFm::StatusText() const { return StatusBar1->currentMessage().toStdString(); }

void TPlayLstFm::PlayListChanged() {
  LB->SetCount(PlayList->Count());
  LB->RepaintNow();
}

// --- creation and closing

void TPlayLstFm::FormCreate(QObject*) {
  PlayList = ThePlayer->PlayList;
  PlayList->SetTransition(Transition->Value());
  LB->SetCount(0);
  LengthReader = std::make_unique<TLengthReader>(*PlayList);
  LengthReader->OnLengthRead = [this](TPlayListEntry*) { LB->viewport()->update(); };
  // Rows follow the playlist also when others change it (the desktop's media controls, the
  // command line): once from the event loop for a whole run of changes, so a long load costs
  // no more than before. The volume slider and the seek bar follow the player's volume and a
  // seek made from anywhere.
  FListenerKey = PlayList->Listeners.Add([this](TPlayListChange Change) {
    if (Change == TPlayListChange::pcVolume) SoundLev->SetPosition(PlayList->Player->Volume());
    if (Change == TPlayListChange::pcSeek) ShowPosition();
    if (Change != TPlayListChange::pcEntries) {
      LB->viewport()->update();  // the mark follows the show
      return;
    }
    if (FRowsDue) return;
    FRowsDue = true;
    QMetaObject::invokeMethod(this, [this] {
      FRowsDue = false;
      LB->SetCount(PlayList->Count());
      LB->viewport()->update();
    }, Qt::QueuedConnection);
  });
}

// With nothing restored for either window (a first start), the two stand side by side.
void TPlayLstFm::RegAuto1AfterLoad(QObject*) {
  if (vizmoraFM && AtDesignedBounds(*this) && AtDesignedBounds(*vizmoraFM)) PlaceSideBySide(*vizmoraFM, *this);
}

// The close box hides the window as "Hide Play List" does, so the popup menu brings it back.
void TPlayLstFm::FormClose(QObject*, TCloseAction& Action) {
  Action = caHide;
  ShowList(false);
}

// --- the list

void TPlayLstFm::LBData(QObject*, int Index, std::string& Data) {
  if (Index >= PlayList->Count()) return;
  TPlayListEntry* Entry = PlayList->Items(Index);
  Data = ExtractFileName(Entry->FileName) + std::string(10, ' ') + LengthText(*Entry);
}

// The whole path, and why the length is not shown when it is not.
void TPlayLstFm::LBHint(QObject*, int Index, std::string& Hint) {
  TPlayListEntry* Entry = PlayList->Items(Index);
  if (!Entry) return;
  Hint = Entry->FileName;
  if (const std::string Why = TLengthReader::Unknown(*Entry); !Why.empty()) Hint += "\n" + Why;
}

void TPlayLstFm::LBDrawItem(QObject*, int Index, QPainter& Canvas, const QRect& Rect, TOwnerDrawState State) {
  std::string Name, Length;
  bool OnScreen = false, Paused = false;
  if (TPlayListEntry* Entry = PlayList->Items(Index)) {
    Name = std::to_string(Index) + ". " + ExtractFileName(Entry->FileName);
    Length = LengthText(*Entry);
    LengthReader->ReadFirst(Index);
    Paused = Entry->State == esPaused;
    OnScreen = Index == PlayList->Current && (Entry->State == esPlaying || Paused);
  }
  const bool Selected = State & odSelected;
  const QColor Back = Selected ? QColor(0, 0, 128) : QColor(255, 255, 255);
  const QColor LengthColour = Selected ? QColor(255, 255, 0) : QColor(0, 0, 255);
  Canvas.fillRect(Rect, Back);
  if (OnScreen) DrawPlayMark(Canvas, Rect, Paused, LengthColour);
  Canvas.setBackgroundMode(Qt::OpaqueMode);
  Canvas.setBackground(Back);
  const QFontMetrics Metrics(Canvas.font());
  const int Baseline = Rect.top() + 1 + Metrics.ascent();
  const QString NameText = QString::fromStdString(Name), LengthText = QString::fromStdString(Length);
  Canvas.setPen(Selected ? QColor(255, 255, 255) : QColor(0, 0, 0));
  Canvas.drawText(Rect.left() + 1 + MarkWidth, Baseline, NameText);
  // The right edge is exclusive here, as the design counts it.
  Canvas.setPen(LengthColour);
  Canvas.drawText(Rect.left() + Rect.width() - Metrics.horizontalAdvance(LengthText) - 2, Baseline, LengthText);
}

void TPlayLstFm::LBDblClick(QObject*) {
  if (LB->ItemIndex() != -1) PlayList->PlayIndex(LB->ItemIndex());
}

// Playing goes on untouched: the playlist keeps Current on the entry that moved or was passed.
void TPlayLstFm::LBMoveRow(QObject*, int From, int To) {
  if (From < 0 || From >= PlayList->Count() || To < 0 || To >= PlayList->Count()) return;
  PlayList->Move(From, To);
  LB->SetItemIndex(To);
}

// Media files are appended as "Add File..." appends them, playlist files loaded; what is no
// file (a folder, a device) is skipped as the open dialog would not offer it. A file of no
// known kind is named on the status line.
void TPlayLstFm::LBDropFiles(QObject*, const std::vector<std::string>& Paths) {
  std::vector<std::string> Skipped;
  for (const std::string& Path : Paths) {
    if (!QFileInfo(QFile::decodeName(Path.c_str())).isFile()) continue;
    if (PlayListFormatOf(Path) != TPlayListFormat::pfNone)
      LoadPlayList(Path);
    else if (!AddMediaFile(Path))
      Skipped.push_back(Path + ": not a supported media file, skipped");
  }
  ShowNotes(Skipped);
}

// A right click focuses and selects the row under the pointer before the menu opens, so what
// the menu does to the focused row is done to the row the user sees selected.
void TPlayLstFm::LBContextPopup(const QPoint& At) {
  const QModelIndex Under = LB->indexAt(At);
  FMenuRow = Under.isValid() && Under.row() < PlayList->Count() ? Under.row() : -1;
  if (FMenuRow >= 0) LB->SetItemIndex(FMenuRow);
  PopupMenu1->popup(LB->viewport()->mapToGlobal(At));
}

void TPlayLstFm::MoveFocused(int By) {
  const int From = LB->ItemIndex();
  LBMoveRow(LB, From, From + By);
}

void TPlayLstFm::MoveUpExecute() { MoveFocused(-1); }

void TPlayLstFm::MoveDownExecute() { MoveFocused(1); }

// --- editing the playlist

void TPlayLstFm::AddFileExecute() {
  if (!Execute(OD)) return;
  for (const QString& File : OD->selectedFiles()) AddMediaFile(QFile::encodeName(File).toStdString());
}

bool TPlayLstFm::AddMediaFile(const std::string& Path) {
  if (!Kinds->AddMediaFile(Path)) return false;
  PlayListChanged();
  return true;
}

void TPlayLstFm::LoadPLExecute() {
  if (Execute(OLD)) LoadPlayList(ChosenFile(OLD));
}

// Each entry shows as it comes, so those read before a failure stay in view. What another
// player's playlist held that could not become an entry is told on the status line.
void TPlayLstFm::LoadPlayList(const std::string& Path) {
  std::vector<std::string> Notes;
  Kinds->LoadPlayList(Path, &Notes, [this] { PlayListChanged(); });
  ShowNotes(Notes);
}

void TPlayLstFm::ShowNotes(const std::vector<std::string>& Notes) {
  if (Notes.size() == 1) ShowStatus(Notes.front());
  if (Notes.size() > 1) ShowStatus(Notes.front() + " (and " + std::to_string(Notes.size() - 1) + " more skipped)");
}

void TPlayLstFm::SavePLExecute() {
  if (Execute(SLD)) SavePlayList(ChosenFile(SLD));
}

void TPlayLstFm::SavePlayList(const std::string& Path) { Kinds->SavePlayList(Path); }

// Only the focused row goes, also when several are selected.
void TPlayLstFm::DelItemExecute() {
  const int Index = LB->ItemIndex();
  if (Index >= 0 && Index < PlayList->Count()) PlayList->Remove(PlayList->Items(Index));
  PlayListChanged();
}

void TPlayLstFm::PropertiesExecute() {
  const int Index = LB->ItemIndex();
  if (Index != -1 && Index < PlayList->Count()) ShowProperties(Index);
}

// Not modal: the window stays usable, and any number of dialogs may be open. Each opens above
// the window it was opened from (the video form while this one is hidden).
void TPlayLstFm::ShowProperties(int Index) {
  auto* Dialog = new TPLEProp;
  PLEProp = Dialog;
  TPlayListEntry* Entry = PlayList->Items(Index);
  Dialog->SetFrame(Entry->CreatePropertiesFrame());
  Dialog->SetEntry(Entry);
  Dialog->OnApply = [List = QPointer<TVirtualListBox>(LB)](TPLEProp*) {
    if (List) List->viewport()->update();
  };
  PlaceDialog(*Dialog, isVisible() || !vizmoraFM ? static_cast<QWidget&>(*this) : *vizmoraFM);
  Dialog->show();
}

// --- transport

void TPlayLstFm::PlayExecute() { PlayList->PlayIndex(FMenuRow >= 0 ? FMenuRow : PlayList->Current); }

void TPlayLstFm::PauseExecute() { PlayList->PauseResume(); }

void TPlayLstFm::StopExecute() { PlayList->Stop(); }

void TPlayLstFm::PosTimerTimer(ITimer*) {
  if (PlayList->State != esPlaying) return;
  ShowPosition();
  if (!NoteHeld()) ShowText(TimeText(PlayList->CurrentPosition()) + "/" + TimeText(PlayList->CurrentDuration()));
}

void TPlayLstFm::ShowPosition() {
  const double Length = PlayList->CurrentDuration();
  if (Length != 0) trPos->SetPosition(TruncToInt(PlayList->CurrentExactPosition() * 100 / Length));
}

void TPlayLstFm::FollowMouse(int X) {
  // A bar narrower than its border would divide by zero.
  const int Span = std::max(trPos->width() - 2, 1);
  trPos->SetPosition(TruncToInt(static_cast<double>(X) * 100 / Span));
}

void TPlayLstFm::trPosMouseMove(QObject*, TShiftState Shift, int X, int) {
  if (Shift & ssLeft) FollowMouse(X);
}

void TPlayLstFm::trPosMouseUp(QObject*, TMouseButton Button, TShiftState, int X, int) {
  if (Button != mbLeft) return;
  FollowMouse(X);
  PlayList->Seek(trPos->Position());
}

// The player's volume; it reaches both graphs, and the slider follows it as every view does.
void TPlayLstFm::SoundLevChanged(QObject*) { PlayList->Player->SetVolume(SoundLev->Position()); }

// --- view

void TPlayLstFm::ShowList(bool Value) {
  SetVisible(Value);
  HidePL->setEnabled(Value);
  ShowPL->setEnabled(!Value);
}

void TPlayLstFm::HidePLExecute() { ShowList(false); }

void TPlayLstFm::Messages1Click() {
  MessagesDialog->show();
  MessagesDialog->raise();
}

void TPlayLstFm::ShowPLExecute() { ShowList(true); }

// The window manager's full-screen state, not the design's borderless maximized form: that
// left panels above the video and lost its rectangle.
void TPlayLstFm::SetVideoFullScreen(bool Value) {
  vizmoraFM->SetFullScreen(Value);
  Restore->setEnabled(Value);
  FullScreen->setEnabled(!Value);
  // A window manager keeps this window above its form; without one, it is raised here.
  if (isVisible()) raise();
}

void TPlayLstFm::FullScreenExecute() { SetVideoFullScreen(true); }

void TPlayLstFm::RestoreExecute() { SetVideoFullScreen(false); }

// The check mark has already flipped when this runs.
void TPlayLstFm::AspectExecute() { vizmoraFM->VW->VMROptions()->SetKeepAspectRatio(Aspect->isChecked()); }

void TPlayLstFm::WWW1Click() { QDesktopServices::openUrl(QUrl(QString::fromUtf8(ProductPage))); }

void TPlayLstFm::Exit1Click() { vizmoraFM->close(); }
