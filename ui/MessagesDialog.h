#pragma once
// The notes the status line has shown, each with the time it came, newest last ("Messages..."
// in the View menu): a note cut off at the status bar's edge, or replaced by the next, can be
// read whole here. It keeps the last few hundred. User-interface thread only.
#include <QDialog>
#include <QString>

class QPlainTextEdit;

class TMessagesDialog : public QDialog {
public:
  explicit TMessagesDialog(QWidget* Parent);

  void Add(const QString& Time, const QString& Note);
  QString Text() const;

  QPlainTextEdit* Memo1;
};
