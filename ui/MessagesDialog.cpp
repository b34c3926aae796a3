#include "ui/MessagesDialog.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
constexpr int KeptNotes = 500;
}

TMessagesDialog::TMessagesDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("MessagesDialog"));
  setWindowTitle(QStringLiteral("Messages"));
  setModal(false);
  resize(520, 260);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setMaximumBlockCount(KeptNotes);
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->addWidget(Memo1);
}

void TMessagesDialog::Add(const QString& Time, const QString& Note) { Memo1->appendPlainText(Time + "  " + Note); }

QString TMessagesDialog::Text() const { return Memo1->toPlainText(); }
