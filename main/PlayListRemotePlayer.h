#pragma once
// The remote API's view of the player: reads and changes go through the player's controls, the
// playlist and the entry kinds, as the window's and MPRIS's do; the screenshot is the video
// window's current composited picture. User-interface thread only.
#include "app/remote/IRemotePlayer.h"

class TEntryKinds;
class TPlayerControls;
class TVideoWindow;
class TVizmoraPlayer;

class TPlayListRemotePlayer : public IRemotePlayer {
public:
  TPlayListRemotePlayer(TVizmoraPlayer& APlayer, TPlayerControls& AControls, TEntryKinds& AKinds, TVideoWindow* AWindow);

  TEntryState PlayState() const override;
  int CurrentIndex() const override;
  double PositionSeconds() const override;
  double LengthSeconds() const override;
  double Volume() const override;
  std::string Transition() const override;
  int Count() const override;
  QJsonObject Entry(int Index) const override;

  int Add(const std::string& Path, int Index) override;
  void Change(int Index, const TEntryChanges& Changes) override;
  void Remove(int Index) override;
  void Move(int From, int To) override;
  std::string Save(const std::string& Path) override;
  std::string Load(const std::string& Path) override;

  std::string Control(const std::string& Intent) override;
  void Seek(double Percent) override;
  void SetVolume(double Value) override;
  std::string Screenshot(int Width) override;

private:
  TVizmoraPlayer& FPlayer;
  TPlayerControls& FControls;
  TEntryKinds& FKinds;
  TVideoWindow* FWindow;
};
