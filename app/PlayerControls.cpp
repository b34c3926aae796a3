#include "app/PlayerControls.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <iostream>

#include "app/CommandLine.h"
#include "app/EntryKinds.h"
#include "engine/AVIPLE.h"
#include "engine/VizmoraPlayList.h"
#include "media/FilterGraph.h"

TPlayerControls::TPlayerControls(TVizmoraPlayList& APlayList, TFilterGraph* AMainGraph, TFilterGraph* ASoundGraph,
                                 TEntryKinds& AKinds, TMainWindowCommands AMainWindow)
    : FPlayList(APlayList),
      FMainGraph(AMainGraph),
      FSoundGraph(ASoundGraph),
      FKinds(AKinds),
      FMainWindow(std::move(AMainWindow)) {}

void TPlayerControls::Play() {
  const TPlayListEntry* Entry = FPlayList.Items(FPlayList.Current);
  if (!Entry) return;
  if (Entry->State == esPaused)
    FPlayList.PauseResume();
  else if (Entry->State != esPlaying)
    FPlayList.PlayIndex(FPlayList.Current);
}

void TPlayerControls::Pause() {
  const TPlayListEntry* Entry = FPlayList.Items(FPlayList.Current);
  if (Entry && Entry->State == esPlaying) FPlayList.PauseResume();
}

void TPlayerControls::Stop() { FPlayList.Stop(); }

void TPlayerControls::Next() {
  if (FPlayList.Count() > 0) FPlayList.PlayIndex((FPlayList.Current + 1) % FPlayList.Count());
}

void TPlayerControls::Previous() {
  if (FPlayList.Count() > 0) FPlayList.PlayIndex(FPlayList.Current <= 0 ? FPlayList.Count() - 1 : FPlayList.Current - 1);
}

bool TPlayerControls::CanSeek() const {
  const TPlayListEntry* Entry = FPlayList.Items(FPlayList.Current);
  return dynamic_cast<const TAVIPLE*>(Entry) && (Entry->State == esPlaying || Entry->State == esPaused) &&
         FPlayList.CurrentDuration() > 0;
}

// The entry seeks by whole percents; a move asked for goes at least one percent its way, so
// small steps in a long entry are not lost.
void TPlayerControls::SeekTo(double Days) {
  const double Length = FPlayList.CurrentDuration();
  if (Length <= 0) return;
  const double From = FPlayList.CurrentPosition() / Length * 100;
  const double To = std::clamp(Days / Length * 100, 0.0, 100.0);
  long Percent = std::lround(To);
  if (Percent == std::lround(From) && std::abs(To - From) > 1e-9) Percent += To > From ? 1 : -1;
  FPlayList.Seek(static_cast<int>(std::clamp(Percent, 0L, 100L)));
}

// The same scale as the playlist window's volume slider: 0..10000, linear in its position.
void TPlayerControls::SetVolume(double Value) {
  FVolume = std::isnan(Value) ? FVolume : std::clamp(Value, 0.0, 1.0);
  const auto Level = static_cast<LONG>(std::lround(FVolume * 10000));
  if (FMainGraph) FMainGraph->SetVolume(Level);
  if (FSoundGraph) FSoundGraph->SetVolume(Level);
}

bool TPlayerControls::Open(const std::string& Path) {
  const int Before = FPlayList.Count();
  if (IsPlayListPath(Path)) {
    std::vector<std::string> Notes;
    FKinds.LoadPlayList(Path, &Notes);
    for (const std::string& Note : Notes) std::cerr << "vizmora: " << Note << "\n";
  } else {
    FKinds.AddMediaFile(Path);
  }
  if (FPlayList.Count() == Before) return false;
  FPlayList.PlayIndex(Before);
  return true;
}

bool TPlayerControls::CanRaise() const { return FMainWindow.CanRaise && FMainWindow.CanRaise(); }

void TPlayerControls::Raise() {
  if (CanRaise()) FMainWindow.Raise();
}

void TPlayerControls::Quit() {
  if (FMainWindow.Close)
    FMainWindow.Close();  // as the user closing it: the form shuts its graph down
  else
    QCoreApplication::quit();
}
