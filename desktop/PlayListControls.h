#pragma once
// The player's controls as program start wires them before there is a playlist window: the
// playlist's own operations, the volume of both graphs, and the video form to raise and close.
// User-interface thread only.
#include <QPointer>

#include "desktop/PlayerControls.h"

class QWidget;
class TEntryKinds;
class TFilterGraph;
class TVizmoraPlayList;

class TPlayListControls : public IPlayerControls {
public:
  // MainWindow may be nil: quitting then ends the event loop.
  TPlayListControls(TVizmoraPlayList& APlayList, TFilterGraph* AMainGraph, TFilterGraph* ASoundGraph,
                    TEntryKinds& AKinds, QWidget* AMainWindow);

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
  QPointer<QWidget> FMainWindow;
  double FVolume = 1;  // the graphs keep the platform's full volume until it is first set
};
