#pragma once
// The program's QApplication: an exception escaping an event handler goes to the
// application's exception report instead of ending the program.
#include <QApplication>

class TApplication : public QApplication {
public:
  TApplication(int& Argc, char** Argv);
  bool notify(QObject* Receiver, QEvent* Event) override;
};
