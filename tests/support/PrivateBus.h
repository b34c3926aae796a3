#pragma once
// A session bus of the test's own: a dbus-daemon on a socket in a temporary folder, ended with
// the object, so no test reaches (or depends on) a desktop's bus.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantList>

class TPrivateBus {
public:
  TPrivateBus();
  ~TPrivateBus();
  TPrivateBus(const TPrivateBus&) = delete;
  TPrivateBus& operator=(const TPrivateBus&) = delete;

  bool Running() const { return !FAddress.isEmpty(); }
  const QString& Address() const { return FAddress; }
  // A new connection of its own, as a second program would have; closed with the bus.
  QDBusConnection Connect(const QString& Name);
  // The environment of a program that should find this bus as its session bus.
  QProcessEnvironment Environment() const;

private:
  QTemporaryDir FDir;
  QProcess FDaemon;
  QString FAddress;
  QStringList FConnections;
};

// Calls a method of the MPRIS object at Service, running the event loop while it waits, so a
// service in this very thread can answer.
QDBusMessage CallMpris(QDBusConnection& Bus, const QString& Service, const QString& Interface, const QString& Method,
                       const QVariantList& Arguments = {});
// One property of the MPRIS object, nested maps demarshalled.
QVariant MprisProperty(QDBusConnection& Bus, const QString& Service, const QString& Interface, const QString& Name);
// Runs the event loop until Done or Seconds have passed; answers Done().
template <typename Condition>
bool WaitFor(Condition Done, int Seconds = 30) {
  return QTest::qWaitFor(Done, Seconds * 1000);
}
