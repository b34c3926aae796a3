#include "RunVizmora.h"

#include <QProcess>

TRun RunVizmora(const QStringList& Arguments, int TimeoutMs) {
  QProcess P;
  P.setProgram(VIZMORA_PROGRAM);
  P.setArguments(QStringList{"--headless"} + Arguments);
  P.start();
  TRun R;
  if (!P.waitForFinished(TimeoutMs)) {
    P.kill();
    P.waitForFinished();
    R.Errors = "timed out";
    return R;
  }
  R.Status = P.exitCode();
  R.Output = P.readAllStandardOutput().toStdString();
  R.Errors = P.readAllStandardError().toStdString();
  R.Events = EventsOf(R.Output);
  return R;
}

std::vector<std::string> EventsOf(const std::string& Text) {
  std::vector<std::string> Events;
  for (const QByteArray& Line : QByteArray::fromStdString(Text).split('\n')) {
    if (!Line.contains("\"event\":\"")) continue;
    const auto Event = Line.mid(Line.indexOf("\"event\":\"") + 9).split('"').value(0);
    const auto Index = Line.mid(Line.indexOf("\"index\":") + 8).split(',').value(0);
    Events.push_back((Event + " " + Index).toStdString());
  }
  return Events;
}
