#include "desktop/MprisPlayer.h"

#include "app/IPlayerControls.h"
#include "desktop/MprisState.h"
#include "engine/FileUri.h"
#include "engine/VizmoraPlayList.h"

namespace {
constexpr double MicrosecondsPerDay = 86400.0 * 1e6;
}

TMprisPlayer::TMprisPlayer(QObject* AParent, IMprisState& AState) : QDBusAbstractAdaptor(AParent), FState(AState) {}

QString TMprisPlayer::PlaybackStatus() const { return FState.PlaybackStatus(); }
QVariantMap TMprisPlayer::Metadata() const { return FState.Metadata(); }
double TMprisPlayer::Volume() const { return FState.Controls().Volume(); }
qlonglong TMprisPlayer::Position() const { return FState.Position(); }
bool TMprisPlayer::CanGoNext() const { return FState.PlayList().Count() > 0; }
bool TMprisPlayer::CanPlay() const { return FState.Controls().CurrentEntry() != nullptr; }
bool TMprisPlayer::CanSeek() const { return FState.Controls().CanSeek(); }

void TMprisPlayer::SetVolume(double Value) {
  FState.Guarded([this, Value] { FState.Controls().SetVolume(Value); });
}

void TMprisPlayer::Next() {
  FState.Guarded([this] { FState.Controls().Next(); });
}

void TMprisPlayer::Previous() {
  FState.Guarded([this] { FState.Controls().Previous(); });
}

void TMprisPlayer::Pause() {
  FState.Guarded([this] { FState.Controls().Pause(); });
}

void TMprisPlayer::PlayPause() {
  FState.Guarded([this] {
    if (FState.PlaybackStatus() == QLatin1String("Playing"))
      FState.Controls().Pause();
    else
      FState.Controls().Play();
  });
}

void TMprisPlayer::Stop() {
  FState.Guarded([this] { FState.Controls().Stop(); });
}

void TMprisPlayer::Play() {
  FState.Guarded([this] { FState.Controls().Play(); });
}

// Past the end counts as Next, before the start as the start.
void TMprisPlayer::Seek(qlonglong Offset) {
  FState.Guarded([this, Offset] {
    if (!CanSeek()) return;
    const qlonglong Target = std::max<qlonglong>(0, FState.Position() + Offset);
    if (Target > FState.Length())
      FState.Controls().Next();
    else
      FState.Controls().SeekTo(static_cast<double>(Target) / MicrosecondsPerDay);
  });
}

// Ignored for a track that is no longer current and for a position outside the entry.
void TMprisPlayer::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
  FState.Guarded([this, &TrackId, Position] {
    if (!CanSeek() || TrackId.path() != FState.TrackId() || Position < 0 || Position > FState.Length()) return;
    FState.Controls().SeekTo(static_cast<double>(Position) / MicrosecondsPerDay);
  });
}

void TMprisPlayer::OpenUri(const QString& Uri) {
  FState.Guarded([this, &Uri] {
    std::string Path;
    if (PathFromFileUri(Uri.toStdString(), Path)) FState.Controls().Open(Path);
  });
}
