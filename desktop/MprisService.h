#pragma once
// The player on the desktop's session bus as an MPRIS media player
// (org.mpris.MediaPlayer2 and its .Player interface at /org/mpris/MediaPlayer2), so media keys,
// the desktop's media controls and remote scripts drive it. It reads the player's state through
// the player's controls, hears its changes as one of the playlist's listeners and announces them
// with PropertiesChanged; what it is asked to do goes to the controls.
// User-interface thread only.
#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <ostream>

#include "desktop/MprisState.h"
#include "engine/PlayListListeners.h"

class IPlayerControls;
class TVizmoraPlayList;

class TMprisService : public QObject, public IMprisState {
  Q_OBJECT

public:
  static inline const QString BaseName = QStringLiteral("org.mpris.MediaPlayer2.vizmora");
  static inline const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
  static inline const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

  TMprisService(IPlayerControls& AControls, TVizmoraPlayList& APlayList,
                const QDBusConnection& ABus = QDBusConnection::sessionBus());
  ~TMprisService() override;  // leaves the bus and stops listening to the playlist

  // Takes the well-known name, or name.instance<pid> when another player holds it. Without a
  // bus to join it writes one line to Errors, says false and the program runs on without it.
  bool Start(std::ostream& Errors);
  const QString& ServiceName() const { return FServiceName; }

  IPlayerControls& Controls() override { return FControls; }
  TVizmoraPlayList& PlayList() override { return FPlayList; }
  QString PlaybackStatus() const override;
  QVariantMap Metadata() const override;
  QString TrackId() const override;
  qlonglong Position() const override;
  qlonglong Length() const override;
  void Guarded(const std::function<void()>& Request) override;
  // Compares the .Player properties with those last announced, once the event loop runs.
  void Refresh();

private:
  void Changed(TPlayListChange Change);
  QVariantMap PlayerProperties() const;
  void Announce();

  IPlayerControls& FControls;
  TVizmoraPlayList& FPlayList;
  QDBusConnection FBus;
  class TMprisPlayer* FPlayer;  // adaptor, a child
  QString FServiceName;
  int FListenerKey;
  bool FRefreshDue = false;
  bool FSeekDue = false;
  QVariantMap FAnnounced;
};
