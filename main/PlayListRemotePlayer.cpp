#include "main/PlayListRemotePlayer.h"

#include <QBuffer>
#include <QImage>

#include "app/EntryKinds.h"
#include "app/PlayListCommands.h"
#include "app/PlayerControls.h"
#include "app/TransitionText.h"
#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayer.h"
#include "framework/DayFractions.h"
#include "framework/Exception.h"
#include "media/VideoWindow.h"
#include "platform/dshow/Video.h"

TPlayListRemotePlayer::TPlayListRemotePlayer(TVizmoraPlayer& APlayer, TPlayerControls& AControls, TEntryKinds& AKinds,
                                             TVideoWindow* AWindow)
    : FPlayer(APlayer), FControls(AControls), FKinds(AKinds), FWindow(AWindow) {}

TEntryState TPlayListRemotePlayer::PlayState() const { return FControls.PlayState(); }

int TPlayListRemotePlayer::CurrentIndex() const { return FControls.CurrentEntry() ? FPlayer.PlayList->Current : -1; }

double TPlayListRemotePlayer::PositionSeconds() const { return FControls.Position() * SecsPerDay; }

double TPlayListRemotePlayer::LengthSeconds() const { return FControls.Length() * SecsPerDay; }

double TPlayListRemotePlayer::Volume() const { return FControls.Volume(); }

std::string TPlayListRemotePlayer::Transition() const { return TransitionText(FPlayer.PlayList->Transition()); }

int TPlayListRemotePlayer::Count() const { return FPlayer.PlayList->Count(); }

QJsonObject TPlayListRemotePlayer::Entry(int Index) const { return EntryFields(Index, *FPlayer.PlayList->Items(Index)); }

int TPlayListRemotePlayer::Add(const std::string& Path, int Index) {
  TVizmoraPlayList& PlayList = *FPlayer.PlayList;
  if (!FKinds.AddMediaFile(Path)) return -1;
  const int Added = PlayList.Count() - 1;
  if (Index < Added) PlayList.Move(Added, Index);
  return std::min(Index, Added);
}

void TPlayListRemotePlayer::Change(int Index, const TEntryChanges& C) {
  TPlayListEntry* Entry = FPlayer.PlayList->Items(Index);
  if (auto* Video = dynamic_cast<TAVIPLE*>(Entry)) {
    if (C.Overlay) Video->AdditionalFile = *C.Overlay;
    VMR9NormalizedRect& R = Video->OverlayRect;
    R = {C.Left.value_or(R.left), C.Top.value_or(R.top), C.Right.value_or(R.right), C.Bottom.value_or(R.bottom)};
    if (C.OverlayAlpha) Video->OverlayAlpha = static_cast<float>(*C.OverlayAlpha) / 255;
  } else if (auto* Picture = dynamic_cast<TGIFPLE*>(Entry)) {
    if (C.DisplayTime) Picture->DisplayTime = *C.DisplayTime;
    if (C.Sound) Picture->SoundFile = *C.Sound;
    if (C.ContinueSound) Picture->ContinueSound = *C.ContinueSound;
  }
  FPlayer.PlayList->Listeners.Notify(TPlayListChange::pcEntries);  // the list window repaints the row
}

void TPlayListRemotePlayer::Remove(int Index) { FPlayer.PlayList->Remove(FPlayer.PlayList->Items(Index)); }

void TPlayListRemotePlayer::Move(int From, int To) { FPlayer.PlayList->Move(From, To); }

std::string TPlayListRemotePlayer::Save(const std::string& Path) {
  try {
    FKinds.SavePlayList(Path);
  } catch (const Exception& E) {
    return E.Message;
  }
  return {};
}

std::string TPlayListRemotePlayer::Load(const std::string& Path) {
  TVizmoraPlayList& PlayList = *FPlayer.PlayList;
  PlayList.Stop();
  while (PlayList.Count() > 0) PlayList.Remove(PlayList.Items(PlayList.Count() - 1));
  try {
    FKinds.LoadPlayList(Path);
    if (PlayList.Count() > 0) PlayList.PlayIndex(0);
  } catch (const Exception& E) {
    return E.Message;
  } catch (const std::exception& E) {
    return E.what();
  }
  return {};
}

std::string TPlayListRemotePlayer::Control(const std::string& Intent) {
  if (Count() == 0 && Intent != "stop") return "the playlist is empty";
  try {
    if (Intent == "play") FControls.Play();
    if (Intent == "pause") FControls.Pause();
    if (Intent == "stop") FControls.Stop();
    if (Intent == "next") FControls.Next();
    if (Intent == "previous") FControls.Previous();
  } catch (const Exception& E) {
    return E.Message;
  } catch (const std::exception& E) {
    return E.what();
  }
  return {};
}

void TPlayListRemotePlayer::Seek(double Percent) {
  if (FControls.CanSeek()) FControls.SeekTo(FControls.Length() * Percent / 100);
}

void TPlayListRemotePlayer::SetVolume(double Value) { FControls.SetVolume(Value); }

std::string TPlayListRemotePlayer::Screenshot(int Width) {
  if (!FWindow || !FControls.CurrentEntry()) return {};
  const QImage Frame = FWindow->CurrentImage();
  if (Frame.isNull()) return {};
  const QImage Scaled = Frame.scaledToWidth(Width, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
  QByteArray Jpeg;
  QBuffer Out(&Jpeg);
  Out.open(QIODevice::WriteOnly);
  Scaled.save(&Out, "JPEG", 80);
  return Jpeg.toStdString();
}
