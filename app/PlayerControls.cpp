#include "app/PlayerControls.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <iostream>

#include "app/CommandLine.h"
#include "app/EntryKinds.h"
#include "engine/AVIPLE.h"
#include "engine/VizmoraPlayer.h"

TPlayerControls::TPlayerControls(TVizmoraPlayer& APlayer, TEntryKinds& AKinds, TMainWindowCommands AMainWindow)
    : FPlayer(APlayer), FKinds(AKinds), FMainWindow(std::move(AMainWindow)) {}

TEntryState TPlayerControls::PlayState() const {
  const TPlayListEntry* Entry = CurrentEntry();
  return Entry && (Entry->State == esPlaying || Entry->State == esPaused) ? Entry->State : esStopped;
}

TPlayListEntry* TPlayerControls::CurrentEntry() const { return FPlayer.PlayList->Items(FPlayer.PlayList->Current); }

double TPlayerControls::Position() const { return FPlayer.PlayList->CurrentExactPosition(); }

double TPlayerControls::Length() const { return FPlayer.PlayList->CurrentDuration(); }

double TPlayerControls::Volume() const { return static_cast<double>(FPlayer.Volume()) / TVizmoraPlayer::FullVolume; }

bool TPlayerControls::CanSeek() const {
  const TPlayListEntry* Entry = CurrentEntry();
  return dynamic_cast<const TAVIPLE*>(Entry) && PlayState() != esStopped && Length() > 0;
}

bool TPlayerControls::CanRaise() const { return FMainWindow.CanRaise && FMainWindow.CanRaise(); }

void TPlayerControls::Play() {
  TVizmoraPlayList& PlayList = *FPlayer.PlayList;
  const TPlayListEntry* Entry = CurrentEntry();
  if (!Entry) return;
  if (Entry->State == esPaused)
    PlayList.PauseResume();
  else if (Entry->State != esPlaying)
    PlayList.PlayIndex(PlayList.Current);
}

void TPlayerControls::Pause() {
  if (PlayState() == esPlaying) FPlayer.PlayList->PauseResume();
}

void TPlayerControls::Stop() { FPlayer.PlayList->Stop(); }

void TPlayerControls::Next() { FPlayer.PlayList->PlayNext(); }

void TPlayerControls::Previous() { FPlayer.PlayList->PlayPrevious(); }

// The entry seeks by whole percents; a move asked for goes at least one percent its way, so
// small steps in a long entry are not lost.
void TPlayerControls::SeekTo(double Days) {
  const double Length = this->Length();
  if (Length <= 0) return;
  const double From = Position() / Length * 100;
  const double To = std::clamp(Days / Length * 100, 0.0, 100.0);
  long Percent = std::lround(To);
  if (Percent == std::lround(From) && std::abs(To - From) > 1e-9) Percent += To > From ? 1 : -1;
  FPlayer.PlayList->Seek(static_cast<int>(std::clamp(Percent, 0L, 100L)));
}

// The player's scale is the volume slider's: 0..10000, linear in its position.
void TPlayerControls::SetVolume(double Value) {
  if (std::isnan(Value)) return;
  FPlayer.SetVolume(static_cast<int>(std::lround(std::clamp(Value, 0.0, 1.0) * TVizmoraPlayer::FullVolume)));
}

bool TPlayerControls::Open(const std::string& Path) {
  TVizmoraPlayList& PlayList = *FPlayer.PlayList;
  const int Before = PlayList.Count();
  if (IsPlayListPath(Path)) {
    std::vector<std::string> Notes;
    FKinds.LoadPlayList(Path, &Notes);
    for (const std::string& Note : Notes) std::cerr << "vizmora: " << Note << "\n";
  } else {
    FKinds.AddMediaFile(Path);
  }
  if (PlayList.Count() == Before) return false;
  PlayList.PlayIndex(Before);
  return true;
}

void TPlayerControls::Raise() {
  if (CanRaise()) FMainWindow.Raise();
}

void TPlayerControls::Quit() {
  if (FMainWindow.Close)
    FMainWindow.Close();  // as the user closing it: the form shuts its graph down
  else
    QCoreApplication::quit();
}
