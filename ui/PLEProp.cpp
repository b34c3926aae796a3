#include "ui/PLEProp.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/PlayListEntry.h"
#include "engine/PropertiesFrames.h"
#include "ui/DesignControls.h"

namespace {
QPushButton* CreateButton(QWidget* Parent, const QString& Caption, int Left) {
  auto* Button = new QPushButton(Caption, Parent);
  Button->setGeometry(Left, 6, 75, 25);
  Button->setAutoDefault(false);
  return Button;
}
}  // namespace

TPLEProp::TPLEProp(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("PLEProp"));
  setWindowTitle(QStringLiteral("PLEProp"));
  setModal(false);
  move(323, 221);
  resize(566, 431);
  SetColor(this, palette().color(QPalette::Button));
  setFont(DesignFont(11));

  Panel1 = new QFrame(this);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setFixedHeight(38);
  Button1 = CreateButton(Panel1, QStringLiteral("Apply"), 9);
  Button2 = CreateButton(Panel1, QStringLiteral("Close"), 87);
  Button3 = CreateButton(Panel1, QStringLiteral("Cancel"), 165);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  Layout->addStretch();
  Layout->addWidget(Panel1);
}

TPLEProp::~TPLEProp() {
  if (FEntry) FEntry->RemoveFreeNotification(this);
}

void TPLEProp::SetEntry(TPlayListEntry* Value) {
  if (FEntry) FEntry->RemoveFreeNotification(this);
  FEntry = Value;
  if (FEntry) FEntry->FreeNotification(this, [this](TPlayListEntry*) { EntryFreed(); });
}

QWidget* TPLEProp::Frame() const { return FFrame ? FFrame->Widget() : nullptr; }

void TPLEProp::SetFrame(IPropertiesFrame* Value) {
  auto* Layout = static_cast<QVBoxLayout*>(layout());
  if (FFrame) delete FFrame;
  else delete Layout->takeAt(0);  // the stretch holding the place
  FFrame = Value;
  if (FFrame) Layout->insertWidget(0, FFrame->Widget(), 1);
  else Layout->insertStretch(0);
}

void TPLEProp::Button1Click() {
  if (!FEntry) return;
  FEntry->ApplyProperties(FFrame);
  OnApply(this);
}

void TPLEProp::Button2Click() {
  Button1Click();
  close();
}

void TPLEProp::Button3Click() { close(); }

void TPLEProp::FormClose() { setAttribute(Qt::WA_DeleteOnClose); }

void TPLEProp::closeEvent(QCloseEvent* Event) {
  FormClose();
  Event->accept();
}

void TPLEProp::reject() { close(); }

void TPLEProp::EntryFreed() {
  FEntry = nullptr;
  close();
}
