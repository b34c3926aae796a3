#pragma once
// The program's QApplication: an exception escaping an event handler goes to the
// application's exception report instead of ending the program; on a display the report can be
// a message box.
#include <QApplication>

class TApplication : public QApplication {
public:
  TApplication(int& Argc, char** Argv);
  bool notify(QObject* Receiver, QEvent* Event) override;
};

#include "framework/ExceptionReport.h"

// Shows a reported exception in a message box over the active window; one box at a time: what is
// reported while a box is open goes to standard error.
TExceptionReporter MessageBoxReporter();
