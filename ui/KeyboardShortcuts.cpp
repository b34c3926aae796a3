#include "ui/KeyboardShortcuts.h"

#include <QAction>
#include <functional>

#include "app/IPlayerControls.h"
#include "engine/VizmoraPlayList.h"
#include "ui/PlayLstFm.h"

namespace {
constexpr int SeekStep = 5;          // percent of the entry's length
constexpr double VolumeStep = 0.1;  // a tick of the volume slider

// Seeks By percent of the entry's length from where it is.
void SeekBy(IPlayerControls& Controls, int By) {
  if (Controls.CanSeek()) Controls.SeekTo(Controls.Position() + Controls.Length() * By / 100);
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

void InstallShortcuts(TPlayLstFm& Window, QWidget& VideoForm, IPlayerControls& Controls) {
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
  const auto Seek = [&Controls](int By) { return [&Controls, By] { SeekBy(Controls, By); }; };
  const auto Volume = [&Controls](double By) { return [&Controls, By] { Controls.SetVolume(Controls.Volume() + By); }; };
  for (const Qt::Key Enter : {Qt::Key_Return, Qt::Key_Enter})
    AddKey(Window, Enter, Qt::WindowShortcut, {&Window, &VideoForm}, PlayFocused);
  // In the playlist window the arrows seek only from the list: the volume slider keeps its own.
  AddKey(Window, Qt::Key_Left, Qt::WidgetShortcut, {List}, Seek(-SeekStep));
  AddKey(Window, Qt::Key_Right, Qt::WidgetShortcut, {List}, Seek(SeekStep));
  AddKey(Window, Qt::Key_Left, Qt::WindowShortcut, {&VideoForm}, Seek(-SeekStep));
  AddKey(Window, Qt::Key_Right, Qt::WindowShortcut, {&VideoForm}, Seek(SeekStep));
  for (const Qt::Key Up : {Qt::Key_Plus, Qt::Key_Equal})
    AddKey(Window, Up, Qt::WindowShortcut, {&Window, &VideoForm}, Volume(VolumeStep));
  AddKey(Window, Qt::Key_Minus, Qt::WindowShortcut, {&Window, &VideoForm}, Volume(-VolumeStep));
  // The list moves its focus with Up and Down itself; from the video form these keys do it.
  AddKey(Window, Qt::Key_Up, Qt::WindowShortcut, {&VideoForm}, [List] { List->MoveFocus(-1); });
  AddKey(Window, Qt::Key_Down, Qt::WindowShortcut, {&VideoForm}, [List] { List->MoveFocus(1); });
}
