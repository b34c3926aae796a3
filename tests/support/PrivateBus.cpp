#include "support/PrivateBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusPendingCall>
#include <QDBusVariant>

TPrivateBus::TPrivateBus() {
  const QString Socket = FDir.path() + "/bus";
  FDaemon.setProgram("dbus-daemon");
  // The daemon prints its address once it accepts connections; the socket file alone appears
  // before it listens, and a connection made then is refused.
  FDaemon.setArguments({"--session", "--nofork", "--nopidfile", "--print-address", "--address=unix:path=" + Socket});
  FDaemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  FDaemon.start();
  if (!FDaemon.waitForStarted(10000)) return;
  if (WaitFor([&] { return FDaemon.canReadLine() || FDaemon.state() != QProcess::Running; }, 30) &&
      FDaemon.state() == QProcess::Running)
    FAddress = "unix:path=" + Socket;
}

TPrivateBus::~TPrivateBus() {
  for (const QString& Name : FConnections) QDBusConnection::disconnectFromBus(Name);
  FDaemon.terminate();
  if (!FDaemon.waitForFinished(10000)) {
    FDaemon.kill();
    FDaemon.waitForFinished();
  }
}

// Connections are named per bus: Qt hands out an existing connection of the same name.
QDBusConnection TPrivateBus::Connect(const QString& Name) {
  FConnections.push_back(Name + "@" + FAddress);
  return QDBusConnection::connectToBus(FAddress, FConnections.back());
}

QProcessEnvironment TPrivateBus::Environment() const {
  QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
  Env.insert("DBUS_SESSION_BUS_ADDRESS", FAddress);
  return Env;
}

QDBusMessage CallMpris(QDBusConnection& Bus, const QString& Service, const QString& Interface, const QString& Method,
                       const QVariantList& Arguments) {
  QDBusMessage Call = QDBusMessage::createMethodCall(Service, "/org/mpris/MediaPlayer2", Interface, Method);
  Call.setArguments(Arguments);
  QDBusPendingCall Pending = Bus.asyncCall(Call, 30000);
  WaitFor([&] { return Pending.isFinished(); }, 40);
  Pending.waitForFinished();
  return Pending.reply();
}

QVariant MprisProperty(QDBusConnection& Bus, const QString& Service, const QString& Interface, const QString& Name) {
  const QDBusMessage Reply = CallMpris(Bus, Service, "org.freedesktop.DBus.Properties", "Get", {Interface, Name});
  if (Reply.type() != QDBusMessage::ReplyMessage || Reply.arguments().isEmpty()) return {};
  const QVariant Value = Reply.arguments().first().value<QDBusVariant>().variant();
  if (Value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(Value.value<QDBusArgument>());
  return Value;
}
