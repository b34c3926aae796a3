#pragma once
// org.mpris.MediaPlayer2.Player: playback control, position, volume and what plays now.
#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

class IMprisState;

class TMprisPlayer : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoNext)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPlay)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

public:
  TMprisPlayer(QObject* AParent, IMprisState& AState);

  QString PlaybackStatus() const;
  double Rate() const { return 1.0; }
  void SetRate(double) {}  // only normal speed: a rate asked for is ignored
  QVariantMap Metadata() const;
  double Volume() const;
  void SetVolume(double Value);
  qlonglong Position() const;
  bool CanGoNext() const;  // with wrap-round there is always a neighbour
  bool CanPlay() const;    // there is a current entry
  bool CanSeek() const;
  bool CanControl() const { return true; }

public Q_SLOTS:
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong Offset);
  void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position);
  void OpenUri(const QString& Uri);

Q_SIGNALS:
  void Seeked(qlonglong Position);

private:
  IMprisState& FState;
};
