#pragma once
// The player's controls over the player and its playlist, for the views that drive it from
// outside its windows (MPRIS, the keys). User-interface thread only.
#include <functional>

#include "app/IPlayerControls.h"

class TEntryKinds;
class TVizmoraPlayer;

// The program's main window as the controls reach it; a missing function: there is none.
struct TMainWindowCommands {
  std::function<bool()> CanRaise;
  std::function<void()> Raise;
  std::function<void()> Close;  // ends the program as the user closing the window does
};

class TPlayerControls : public IPlayerControls {
public:
  TPlayerControls(TVizmoraPlayer& APlayer, TEntryKinds& AKinds, TMainWindowCommands AMainWindow = {});

  TEntryState PlayState() const override;
  TPlayListEntry* CurrentEntry() const override;
  double Position() const override;
  double Length() const override;
  double Volume() const override;
  bool CanSeek() const override;
  bool CanRaise() const override;

  void Play() override;
  void Pause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  void SeekTo(double Days) override;
  void SetVolume(double Value) override;
  bool Open(const std::string& Path) override;
  void Raise() override;
  void Quit() override;

private:
  TVizmoraPlayer& FPlayer;
  TEntryKinds& FKinds;
  TMainWindowCommands FMainWindow;
};
