#include "ui/KeyboardShortcuts.h"

#include <QAction>
#include <algorithm>
#include <functional>

#include "engine/VizmoraPlayList.h"
#include "settings/ProgressBarEx.h"
#include "ui/PlayLstFm.h"

namespace {
constexpr int SeekStep = 5;  // percent

// Moves the seek bar By percent and seeks there, as a release on the bar does: the bar, not
// the entry's position (whole seconds), is where repeated keys add up.
void SeekBy(TPlayLstFm& Window, int By) {
  TVizmoraPlayList& PlayList = *Window.PlayList;
  if (PlayList.Current == -1 || PlayList.State == esStopped) return;
  Window.trPos->SetPosition(std::clamp(Window.trPos->Position() + By, 0, 100));
  PlayList.Seek(Window.trPos->Position());
}

// A key with no menu item: an action of the window, reached from the widgets it is added to.
void AddKey(TPlayLstFm& Window, const QKeySequence& Key, Qt::ShortcutContext Context,
            std::initializer_list<QWidget*> On, std::function<void()> Run) {
  auto* Action = new QAction(&Window);
  Action->setShortcut(Key);
  Action->setShortcutContext(Context);
  QObject::connect(Action, &QAction::triggered, &Window, std::move(Run));
  for (QWidget* Widget : On) Widget->addAction(Action);
}
}  // namespace

void InstallShortcuts(TPlayLstFm& Window, QWidget& VideoForm) {
  // The first key of each is the one the menus show. F and F11 toggle: of the pair FullScreen
  // and Restore only one is enabled at a time, so the keys never clash.
  const std::pair<QAction*, QList<QKeySequence>> Keys[] = {
      {Window.Pause, {Qt::Key_Space}},
      {Window.DelItem, {QKeySequence::Delete}},
      {Window.AddFile, {Qt::CTRL | Qt::Key_O}},
      {Window.LoadPL, {Qt::CTRL | Qt::Key_L}},
      {Window.SavePL, {Qt::CTRL | Qt::Key_S}},
      {Window.FullScreen, {Qt::Key_F, Qt::Key_F11}},
      {Window.Restore, {Qt::Key_Escape, Qt::Key_F, Qt::Key_F11}},
      {Window.MoveUp, {Qt::CTRL | Qt::Key_Up}},
      {Window.MoveDown, {Qt::CTRL | Qt::Key_Down}},
      {Window.Exit1, {Qt::CTRL | Qt::Key_Q}},
  };
  for (const auto& [Action, Sequences] : Keys) {
    Action->setShortcuts(Sequences);
    VideoForm.addAction(Action);  // full screen has no playlist window in front
  }

  TVirtualListBox* List = Window.LB;
  const auto PlayFocused = [&Window, List] {
    if (List->ItemIndex() != -1) Window.PlayList->PlayIndex(List->ItemIndex());
  };
  const auto Seek = [&Window](int By) { return [&Window, By] { SeekBy(Window, By); }; };
  for (const Qt::Key Enter : {Qt::Key_Return, Qt::Key_Enter})
    AddKey(Window, Enter, Qt::WindowShortcut, {&Window, &VideoForm}, PlayFocused);
  // In the playlist window the arrows seek only from the list: the volume slider keeps its own.
  AddKey(Window, Qt::Key_Left, Qt::WidgetShortcut, {List}, Seek(-SeekStep));
  AddKey(Window, Qt::Key_Right, Qt::WidgetShortcut, {List}, Seek(SeekStep));
  AddKey(Window, Qt::Key_Left, Qt::WindowShortcut, {&VideoForm}, Seek(-SeekStep));
  AddKey(Window, Qt::Key_Right, Qt::WindowShortcut, {&VideoForm}, Seek(SeekStep));
  // The list moves its focus with Up and Down itself; from the video form these keys do it.
  AddKey(Window, Qt::Key_Up, Qt::WindowShortcut, {&VideoForm}, [List] { List->MoveFocus(-1); });
  AddKey(Window, Qt::Key_Down, Qt::WindowShortcut, {&VideoForm}, [List] { List->MoveFocus(1); });
}
