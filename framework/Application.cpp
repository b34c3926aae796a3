#include "framework/Application.h"

#include <QMessageBox>

#include "framework/ExceptionReport.h"

TApplication::TApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {}

bool TApplication::notify(QObject* Receiver, QEvent* Event) {
  try {
    return QApplication::notify(Receiver, Event);
  } catch (...) {
    ApplicationHandleException(Receiver);
    return false;
  }
}

void ReportExceptionsInMessageBoxes() {
  SetExceptionReporter([](const std::string& Message) {
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Vizmora"), QString::fromStdString(Message));
  });
}
