#include "framework/Application.h"

#include <QMessageBox>
#include <iostream>
#include <memory>

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

TExceptionReporter MessageBoxReporter() {
  return [Open = std::make_shared<bool>(false)](const std::string& Message) {
    // The box runs an event loop of its own, in which the show goes on and may fail again.
    if (*Open) {
      std::cerr << "vizmora: " << Message << std::endl;
      return;
    }
    *Open = true;
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Vizmora"), QString::fromStdString(Message));
    *Open = false;
  };
}
