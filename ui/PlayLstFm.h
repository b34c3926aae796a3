#pragma once
// The playlist window, the player's control panel: a tool window of the video form, above it, that
// lists the player's playlist (index, name and length of each entry) and carries the commands
// that edit, load, save and play it, the seek bar and the volume, the view commands and the one
// status line of the program. It keeps no copy of the playlist: every row is read from it when
// painted. User-interface thread only.
#include <QList>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "engine/EntryState.h"
#include "framework/Form.h"
#include "settings/MouseEvents.h"
#include "ui/ImageList.h"
#include "ui/VirtualListBox.h"

class ITimer;
class QAction;
class QFileDialog;
class QFrame;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;
class TEntryKinds;
class TLengthReader;
class TMessagesDialog;
class TPLEProp;
class TProgressBarEx;
class TRegAuto;
class TStatusLine;
class TTrackBarEx;
class TTransitionMenu;
class TVizmoraPlayList;

class TPlayLstFm : public TForm {
  Q_OBJECT

public:
  explicit TPlayLstFm(QWidget* AOwner = nullptr);
  ~TPlayLstFm() override;

  // --- components, in the order of the resource
  QMenuBar* MainMenu1 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QFrame* Panel1 = nullptr;
  TProgressBarEx* trPos = nullptr;
  TTrackBarEx* SoundLev = nullptr;
  TVirtualListBox* LB = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QMenu* PopupMenu1 = nullptr;  // the list's: Play, Properties, Delete, Move Up, Move Down
  TMessagesDialog* MessagesDialog = nullptr;  // the notes the status line showed
  QFileDialog* OD = nullptr;   // media files
  QFileDialog* OLD = nullptr;  // a playlist to load
  QFileDialog* SLD = nullptr;  // a playlist to save
  std::unique_ptr<TImageList> ImageList1;  // 32 × 32, the tool bar's
  std::unique_ptr<TImageList> ImageList2;  // 16 × 16, the menus'
  std::unique_ptr<ITimer> PosTimer;
  TRegAuto* RegAuto1 = nullptr;

  // --- the action list AList, shared by menus, tool bar and the video form's popup menu
  QAction* AddFile = nullptr;
  QAction* Properties = nullptr;
  QAction* Play = nullptr;
  QAction* Stop = nullptr;
  QAction* Pause = nullptr;
  QAction* SavePL = nullptr;
  QAction* LoadPL = nullptr;
  QAction* HidePL = nullptr;
  QAction* ShowPL = nullptr;
  QAction* FullScreen = nullptr;
  QAction* Restore = nullptr;
  QAction* DelItem = nullptr;
  QAction* Aspect = nullptr;  // checkable; its check mark is kept by RegAuto1
  QAction* SkipBroken = nullptr;  // checkable, kept by RegAuto1; the show runner reads it at each failure
  QAction* MoveUp = nullptr;
  QAction* MoveDown = nullptr;
  QList<QAction*> AList;
  // Menu items with handlers of their own.
  QAction* Exit1 = nullptr;
  QAction* WWW1 = nullptr;
  QAction* Messages1 = nullptr;
  // The Control menu's "Transition" submenu; named "Transition", its text kept by RegAuto1.
  TTransitionMenu* Transition = nullptr;

  TVizmoraPlayList* PlayList = nullptr;  // the player's; not owned
  std::unique_ptr<TLengthReader> LengthReader;  // the rows' lengths, read from the files
  TEntryKinds* Kinds = nullptr;          // the program's, set by it once the window exists; not owned

  // The program's status line: replaces the status bar's text and repaints it at once. The
  // position display leaves the note alone for 5 s while the show stays as it was.
  void ShowStatus(const std::string& Text);
  // Shows the program's status line on the status bar from now until the window goes.
  void DisplayStatusLine(TStatusLine& Line);
  std::string StatusText() const;
  // Sets the row count to the playlist's and repaints at once.
  void PlayListChanged();

  // --- operations of the window's handlers
  // False, and nothing added, for a file of no known kind.
  bool AddMediaFile(const std::string& Path);
  void LoadPlayList(const std::string& Path);
  void SavePlayList(const std::string& Path);
  void ShowProperties(int Index);

  // --- handlers
  void FormCreate(QObject* Sender);
  void FormClose(QObject* Sender, TCloseAction& Action);
  void AddFileExecute();
  void PropertiesExecute();
  void PlayExecute();
  void StopExecute();
  void PauseExecute();
  void SavePLExecute();
  void LoadPLExecute();
  void HidePLExecute();
  void ShowPLExecute();
  void FullScreenExecute();
  void RestoreExecute();
  void DelItemExecute();
  void AspectExecute();
  void MoveUpExecute();
  void MoveDownExecute();
  void Exit1Click();
  void WWW1Click();
  void Messages1Click();
  void LBData(QObject* Control, int Index, std::string& Data);
  void LBHint(QObject* Control, int Index, std::string& Hint);
  void LBContextPopup(const QPoint& At);
  void LBDrawItem(QObject* Control, int Index, QPainter& Canvas, const QRect& Rect, TOwnerDrawState State);
  void LBDblClick(QObject* Sender);
  void LBMoveRow(QObject* Sender, int From, int To);
  void LBDropFiles(QObject* Sender, const std::vector<std::string>& Paths);
  void PosTimerTimer(ITimer* Sender);
  void trPosMouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
  void trPosMouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SoundLevChanged(QObject* Sender);
  void RegAuto1AfterLoad(QObject* Sender);

protected:
  void ReadResource() override;

private:
  void CreateActions();
  void CreateToolBar();
  void CreateMainMenu();
  void CreatePopupMenu();
  void CreatePanel();
  void CreateDialogs();
  // Hides or shows the window, with HidePL and ShowPL following.
  void ShowList(bool Value);
  // The video form full screen or back, with FullScreen and Restore following.
  void SetVideoFullScreen(bool Value);
  // The seek bar at the current entry's position.
  void ShowPosition();
  // The seek bar's position for a mouse at X: percent of the bar's width less its border.
  void FollowMouse(int X);
  // Moves the focused row's entry By places, the focus going with it.
  void MoveFocused(int By);
  // The status text without making it a note.
  void ShowText(const std::string& Text);
  bool NoteHeld() const;
  // Notes of files skipped: the first, and how many more.
  void ShowNotes(const std::vector<std::string>& Notes);

  TStatusLine* FStatusLine = nullptr;  // whose display this window is
  int FListenerKey = 0;  // of the playlist's notice; 0 until FormCreate
  bool FRowsDue = false;  // the rows are to be brought up to the playlist from the event loop
  double FNoteUntil = 0;  // date-time the last note may be replaced from
  TEntryState FNoteState = esStopped;  // the playlist's state when it came
  int FMenuRow = -1;  // the row the list's menu was opened on, until its action has run
};

// Program-wide references: the playlist window, set once at start-up, and the properties
// dialog opened last (nil once it has closed).
extern TPlayLstFm* PlayLstFm;
extern QPointer<TPLEProp> PLEProp;

// The product's web page, opened by "WWW".
extern const char* const ProductPage;
