#include "ui/DesignControls.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <algorithm>

// DejaVu Sans, which every install has, runs a tenth wider than the design's face: a tenth
// smaller, its captions take the room the design's places and sizes give them.
QFont DesignFont(int PixelHeight) {
  QFont Font(QStringLiteral("DejaVu Sans"));
  Font.setStyleHint(QFont::SansSerif);
  Font.setPixelSize(std::max(1, (PixelHeight * 10 + 5) / 11));
  return Font;
}

void SetColor(QWidget* Control, const QColor& Color) {
  QPalette P = Control->palette();
  P.setColor(QPalette::Window, Color);
  Control->setPalette(P);
  Control->setAutoFillBackground(true);
}

void SetFontColor(QWidget* Control, const QColor& Color) {
  QPalette P = Control->palette();
  P.setColor(QPalette::WindowText, Color);
  Control->setPalette(P);
}

QLabel* CreateLabel(QWidget* Parent, const QString& Caption, int Left, int Top) {
  auto* Label = new QLabel(Caption, Parent);
  Label->setTextFormat(Qt::PlainText);
  Label->move(Left, Top);
  Label->adjustSize();
  return Label;
}

void SetCaption(QLabel* Label, const std::string& Caption) {
  Label->setText(QString::fromStdString(Caption));
  Label->adjustSize();
}

QLabel* CreatePanel(QWidget* Parent, const QString& Caption, const QRect& Bounds) {
  return new TCaptionPanel(Caption, Parent, Bounds);
}

namespace {
constexpr int ReadablePixels = 6;
constexpr int CaptionFlags = Qt::AlignCenter | Qt::TextWordWrap;
}  // namespace

TCaptionPanel::TCaptionPanel(const QString& Caption, QWidget* Parent, const QRect& Bounds) : QLabel(Caption, Parent) {
  setTextFormat(Qt::PlainText);
  setGeometry(Bounds);
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
}

std::optional<QFont> TCaptionPanel::CaptionFont() const {
  const QRect Room = contentsRect();
  QFont Font = font();
  for (int Pixels = std::max(Font.pixelSize(), ReadablePixels); Pixels >= ReadablePixels; --Pixels) {
    Font.setPixelSize(Pixels);
    if (Room.contains(QFontMetrics(Font).boundingRect(Room, CaptionFlags, text()))) return Font;
  }
  return std::nullopt;
}

// The frame as a label draws it; the caption drawn here instead of the label's own.
void TCaptionPanel::paintEvent(QPaintEvent* Event) {
  QFrame::paintEvent(Event);
  const std::optional<QFont> Font = CaptionFont();
  if (!Font) return;
  QPainter Painter(this);
  Painter.setFont(*Font);
  Painter.setPen(palette().color(foregroundRole()));
  Painter.drawText(contentsRect(), CaptionFlags, text());
}

TBorderedPanel::TBorderedPanel(const QString& Caption, QWidget* Parent, const QRect& Bounds)
    : QLabel(Caption, Parent) {
  setTextFormat(Qt::PlainText);
  setGeometry(Bounds);
  setAlignment(Qt::AlignCenter);
  setContentsMargins(1, 1, 1, 1);
}

void TBorderedPanel::paintEvent(QPaintEvent* Event) {
  QLabel::paintEvent(Event);
  QPainter Painter(this);
  Painter.setPen(Qt::black);
  Painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// An ellipsis says what the button does, where the design's is blank.
QToolButton* CreateSpeedButton(QWidget* Parent, const QRect& Bounds) {
  auto* Button = new QToolButton(Parent);
  Button->setText(QStringLiteral("..."));
  Button->setToolTip(QStringLiteral("Browse"));
  Button->setGeometry(Bounds);
  return Button;
}

QFileDialog* CreateOpenDialog(QWidget* Parent, bool MustExist) {
  auto* Dialog = new QFileDialog(Parent);
  Dialog->setOption(QFileDialog::DontUseNativeDialog);
  Dialog->setFileMode(MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  Dialog->setAcceptMode(QFileDialog::AcceptOpen);
  Dialog->setSizeGripEnabled(true);
  return Dialog;
}

void BrowseInto(QFileDialog* Dialog, QLineEdit* Edit) {
  if (Dialog->exec() != QDialog::Accepted) return;
  const QStringList Files = Dialog->selectedFiles();
  if (!Files.isEmpty()) Edit->setText(Files.first());
}
