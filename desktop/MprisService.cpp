#include "desktop/MprisService.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <cmath>
#include <filesystem>

#include "app/IPlayerControls.h"
#include "desktop/MprisPlayer.h"
#include "desktop/MprisRoot.h"
#include "engine/FileUri.h"
#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayList.h"
#include "framework/ExceptionReport.h"
#include "framework/FileNames.h"

namespace {
qlonglong Microseconds(double Days) {
  const double Us = Days * 86400.0 * 1e6;
  return std::isfinite(Us) && Us > 0 && Us < 9e18 ? static_cast<qlonglong>(Us) : 0;
}
}  // namespace

TMprisService::TMprisService(IPlayerControls& AControls, TVizmoraPlayList& APlayList, const QDBusConnection& ABus)
    : FControls(AControls), FPlayList(APlayList), FBus(ABus), FPlayer(new TMprisPlayer(this, *this)) {
  new TMprisRoot(this, *this);
  FListenerKey = FPlayList.Listeners.Add([this](TPlayListChange Change) { Changed(Change); });
}

TMprisService::~TMprisService() {
  FPlayList.Listeners.Remove(FListenerKey);
  if (!FServiceName.isEmpty()) {
    FBus.unregisterService(FServiceName);
    FBus.unregisterObject(ObjectPath);
  }
}

bool TMprisService::Start(std::ostream& Errors) {
  if (!FBus.isConnected()) {
    Errors << "vizmora: no D-Bus session bus (" << FBus.lastError().message().toStdString()
           << "); media keys and the desktop's media controls will not reach this player\n";
    return false;
  }
  // The object first, so whoever sees the name appear finds it.
  if (!FBus.registerObject(ObjectPath, this, QDBusConnection::ExportAdaptors)) {
    Errors << "vizmora: cannot offer the media controls on the session bus: the object is taken\n";
    return false;
  }
  for (const QString& Name : {BaseName, BaseName + ".instance" + QString::number(QCoreApplication::applicationPid())}) {
    if (FBus.registerService(Name)) {
      FServiceName = Name;
      FAnnounced = PlayerProperties();
      return true;
    }
  }
  FBus.unregisterObject(ObjectPath);
  Errors << "vizmora: cannot take a name on the session bus (" << FBus.lastError().message().toStdString() << ")\n";
  return false;
}

QString TMprisService::PlaybackStatus() const {
  switch (FControls.PlayState()) {
    case esPlaying: return QStringLiteral("Playing");
    case esPaused: return QStringLiteral("Paused");
    default: return QStringLiteral("Stopped");
  }
}

// The entry's own number: it stays with the entry when rows move.
QString TMprisService::TrackId() const {
  const TPlayListEntry* Entry = FControls.CurrentEntry();
  if (!Entry) return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
  return QStringLiteral("/org/vizmora/Entry/") + QString::number(Entry->Id);
}

QVariantMap TMprisService::Metadata() const {
  QVariantMap Data{{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId()))}};
  const TPlayListEntry* Entry = FControls.CurrentEntry();
  if (!Entry) return Data;
  std::error_code Error;
  const std::string Path = std::filesystem::absolute(Entry->FileName, Error).string();
  Data.insert(QStringLiteral("xesam:url"), QString::fromStdString(FileUriFromPath(Error ? Entry->FileName : Path)));
  Data.insert(QStringLiteral("xesam:title"), QString::fromStdString(ExtractFileName(Entry->FileName)));
  if (const qlonglong L = Length()) Data.insert(QStringLiteral("mpris:length"), L);
  return Data;
}

qlonglong TMprisService::Position() const { return Microseconds(FControls.Position()); }
qlonglong TMprisService::Length() const { return Microseconds(FControls.Length()); }

void TMprisService::Guarded(const std::function<void()>& Request) {
  try {
    Request();
  } catch (...) {
    ApplicationHandleException(this);
  }
  Refresh();  // not every request reaches the playlist (the volume does not)
}

void TMprisService::Changed(TPlayListChange Change) {
  if (Change == TPlayListChange::pcSeek) FSeekDue = true;
  Refresh();
}

// Many changes come at once (a playlist loading appends thousands of entries), and the
// playlist's state is settled only when its operation has returned: compare once, afterwards.
void TMprisService::Refresh() {
  if (FServiceName.isEmpty() || FRefreshDue) return;
  FRefreshDue = true;
  QTimer::singleShot(0, this, [this] {
    FRefreshDue = false;
    Announce();
  });
}

QVariantMap TMprisService::PlayerProperties() const {
  return {{QStringLiteral("PlaybackStatus"), FPlayer->PlaybackStatus()},
          {QStringLiteral("Metadata"), FPlayer->Metadata()},
          {QStringLiteral("Volume"), FPlayer->Volume()},
          {QStringLiteral("CanGoNext"), FPlayer->CanGoNext()},
          {QStringLiteral("CanGoPrevious"), FPlayer->CanGoNext()},
          {QStringLiteral("CanPlay"), FPlayer->CanPlay()},
          {QStringLiteral("CanPause"), FPlayer->CanPlay()},
          {QStringLiteral("CanSeek"), FPlayer->CanSeek()}};
}

void TMprisService::Announce() {
  const QVariantMap Now = PlayerProperties();
  QVariantMap Changed;
  for (auto It = Now.cbegin(); It != Now.cend(); ++It)
    if (FAnnounced.value(It.key()) != It.value()) Changed.insert(It.key(), It.value());
  FAnnounced = Now;
  if (!Changed.isEmpty()) {
    QDBusMessage Signal = QDBusMessage::createSignal(ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    Signal << PlayerInterface << Changed << QStringList();
    FBus.send(Signal);
  }
  if (FSeekDue) {
    FSeekDue = false;
    Q_EMIT FPlayer->Seeked(Position());
  }
}
