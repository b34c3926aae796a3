#pragma once
// org.mpris.MediaPlayer2: who the player is, raising and quitting it.
#include <QDBusAbstractAdaptor>
#include <QStringList>

class IMprisState;

class TMprisRoot : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
  TMprisRoot(QObject* AParent, IMprisState& AState);

  bool CanQuit() const { return true; }
  bool CanRaise() const;
  bool HasTrackList() const { return false; }
  QString Identity() const { return QStringLiteral("Vizmora"); }
  QString DesktopEntry() const { return QStringLiteral("vizmora"); }
  QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
  QStringList SupportedMimeTypes() const;

public Q_SLOTS:
  void Raise();
  void Quit();

private:
  IMprisState& FState;
};
