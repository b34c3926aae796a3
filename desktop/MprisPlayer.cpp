#include "desktop/MprisPlayer.h"

#include "app/IPlayerControls.h"
#include "desktop/MprisService.h"
#include "engine/FileUri.h"
#include "engine/VizmoraPlayList.h"

namespace {
constexpr double MicrosecondsPerDay = 86400.0 * 1e6;
}

TMprisPlayer::TMprisPlayer(TMprisService* AService) : QDBusAbstractAdaptor(AService), FService(AService) {}

QString TMprisPlayer::PlaybackStatus() const { return FService->PlaybackStatus(); }
QVariantMap TMprisPlayer::Metadata() const { return FService->Metadata(); }
double TMprisPlayer::Volume() const { return FService->Controls().Volume(); }
qlonglong TMprisPlayer::Position() const { return FService->Position(); }
bool TMprisPlayer::CanGoNext() const { return FService->PlayList().Count() > 0; }
bool TMprisPlayer::CanPlay() const { return FService->Controls().CurrentEntry() != nullptr; }
bool TMprisPlayer::CanSeek() const { return FService->Controls().CanSeek(); }

void TMprisPlayer::SetVolume(double Value) {
  FService->Guarded([this, Value] { FService->Controls().SetVolume(Value); });
}

void TMprisPlayer::Next() {
  FService->Guarded([this] { FService->Controls().Next(); });
}

void TMprisPlayer::Previous() {
  FService->Guarded([this] { FService->Controls().Previous(); });
}

void TMprisPlayer::Pause() {
  FService->Guarded([this] { FService->Controls().Pause(); });
}

void TMprisPlayer::PlayPause() {
  FService->Guarded([this] {
    if (FService->PlaybackStatus() == QLatin1String("Playing"))
      FService->Controls().Pause();
    else
      FService->Controls().Play();
  });
}

void TMprisPlayer::Stop() {
  FService->Guarded([this] { FService->Controls().Stop(); });
}

void TMprisPlayer::Play() {
  FService->Guarded([this] { FService->Controls().Play(); });
}

// Past the end counts as Next, before the start as the start.
void TMprisPlayer::Seek(qlonglong Offset) {
  FService->Guarded([this, Offset] {
    if (!CanSeek()) return;
    const qlonglong Target = std::max<qlonglong>(0, FService->Position() + Offset);
    if (Target > FService->Length())
      FService->Controls().Next();
    else
      FService->Controls().SeekTo(static_cast<double>(Target) / MicrosecondsPerDay);
  });
}

// Ignored for a track that is no longer current and for a position outside the entry.
void TMprisPlayer::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
  FService->Guarded([this, &TrackId, Position] {
    if (!CanSeek() || TrackId.path() != FService->TrackId() || Position < 0 || Position > FService->Length()) return;
    FService->Controls().SeekTo(static_cast<double>(Position) / MicrosecondsPerDay);
  });
}

void TMprisPlayer::OpenUri(const QString& Uri) {
  FService->Guarded([this, &Uri] {
    std::string Path;
    if (PathFromFileUri(Uri.toStdString(), Path)) FService->Controls().Open(Path);
  });
}
