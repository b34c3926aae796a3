#pragma once
// The player's controls over the playlist and the graphs, as the program wires them for the
// views that drive the player from outside its windows. User-interface thread only.
#include <QPointer>
#include <functional>

#include "app/IPlayerControls.h"

class TEntryKinds;
class TFilterGraph;
class TVizmoraPlayList;

// The program's main window as the controls reach it; a missing function: there is none.
struct TMainWindowCommands {
  std::function<bool()> CanRaise;
  std::function<void()> Raise;
  std::function<void()> Close;  // ends the program as the user closing the window does
};

class TPlayerControls : public IPlayerControls {
public:
  TPlayerControls(TVizmoraPlayList& APlayList, TFilterGraph* AMainGraph, TFilterGraph* ASoundGraph,
                  TEntryKinds& AKinds, TMainWindowCommands AMainWindow = {});

  void Play() override;
  void Pause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  bool CanSeek() const override;
  void SeekTo(double Days) override;
  double Volume() const override { return FVolume; }
  void SetVolume(double Value) override;
  bool Open(const std::string& Path) override;
  bool CanRaise() const override;
  void Raise() override;
  void Quit() override;

private:
  TVizmoraPlayList& FPlayList;
  QPointer<TFilterGraph> FMainGraph;
  QPointer<TFilterGraph> FSoundGraph;
  TEntryKinds& FKinds;
  TMainWindowCommands FMainWindow;
  double FVolume = 1;  // the graphs keep the platform's full volume until it is first set
};
