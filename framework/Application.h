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

// Shows each reported exception in a message box over the active window.
void ReportExceptionsInMessageBoxes();
