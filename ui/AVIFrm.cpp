#include "ui/AVIFrm.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

#include "ui/DesignControls.h"

namespace {
constexpr int Shape1Size = 13;
}

TAVIFrm::TAVIFrm(QWidget* Parent) : QFrame(Parent) {
  setObjectName(QStringLiteral("AVIFrm"));
  resize(455, 360);
  setFont(DesignFont(11));

  Label1 = CreateLabel(this, QStringLiteral("File Name: "), 6, 9);
  Label2 = CreateLabel(this, QStringLiteral("Label2"), 64, 9);
  Label3 = CreateLabel(this, QStringLiteral("Length"), 7, 30);
  Label4 = CreateLabel(this, QStringLiteral("Label4"), 65, 30);
  AddFnm = new QLineEdit(this);
  AddFnm->setGeometry(21, 75, 325, 21);
  Label5 = CreateLabel(this, QStringLiteral("Additional  file"), 9, 57);
  SpeedButton1 = CreateSpeedButton(this, QRect(348, 75, 23, 22));
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

  OD = CreateOpenDialog(this, false);

  Panel1 = new TBorderedPanel(QStringLiteral("Primary File"), this, QRect(51, 108, 400, 235));
  SetColor(Panel1, clSkyBlue);
  SetFontColor(Panel1, clGreen);
  Panel1->setFont(DesignFont(24));

  Panel2 = CreatePanel(Panel1, QStringLiteral("Additional File"), QRect(126, 9, 163, 94));
  SetColor(Panel2, clYellow);
  SetFontColor(Panel2, clGreen);
  Panel2->setFont(DesignFont(19));
  Panel2->setCursor(Qt::SizeAllCursor);
  Panel2->installEventFilter(this);

  Shape1 = new QFrame(Panel1);
  Shape1->resize(Shape1Size, Shape1Size);
  Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);  // the shape's pen, black
  SetColor(Shape1, clNavyBlue);
  Shape1->setCursor(Qt::SizeFDiagCursor);
  Shape1->installEventFilter(this);
  PlaceShape1();

  TrackBar1 = new QSlider(Qt::Vertical, this);
  TrackBar1->setGeometry(3, 108, 45, 232);
  TrackBar1->setRange(-100, 1);
  TrackBar1->setPageStep(2);
  TrackBar1->setInvertedAppearance(true);  // the minimum at the top, as a track bar has it
  TrackBar1->setInvertedControls(true);    // and the arrow keys moving the thumb their way
  TrackBar1->setTickInterval(10);
  TrackBar1->setTickPosition(QSlider::TicksLeft);
  TrackBar1->setValue(-100);
  // Connected after the designed position is set; Qt raises no change for an unchanged value.
  connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
}

void TAVIFrm::SetLabel2Caption(const std::string& Caption) { SetCaption(Label2, Caption); }
void TAVIFrm::SetLabel4Caption(const std::string& Caption) { SetCaption(Label4, Caption); }
std::string TAVIFrm::AddFnmText() const { return AddFnm->text().toStdString(); }
void TAVIFrm::SetAddFnmText(const std::string& Text) { AddFnm->setText(QString::fromStdString(Text)); }
int TAVIFrm::TrackBar1Position() const { return TrackBar1->value(); }
void TAVIFrm::SetTrackBar1Position(int Position) { TrackBar1->setValue(Position); }

// A width or height at or below zero stays zero; the editor keeps no negative sizes.
void TAVIFrm::SetOverlayRect(float Left, float Top, float Right, float Bottom) {
  const double W = Panel1->width();
  const double H = Panel1->height();
  Panel2->move(TruncToInt(W * Left), TruncToInt(H * Top));
  Panel2->resize(std::max(TruncToInt((static_cast<double>(Right) - Left) * W), 0),
                 std::max(TruncToInt((static_cast<double>(Bottom) - Top) * H), 0));
  PlaceShape1();
}

void TAVIFrm::GetOverlayRect(float& Left, float& Top, float& Right, float& Bottom) const {
  const double W = Panel1->width();
  const double H = Panel1->height();
  const QRect R = Panel2->geometry();
  Left = static_cast<float>(R.left() / W);
  Top = static_cast<float>(R.top() / H);
  Right = static_cast<float>((R.left() + R.width()) / W);
  Bottom = static_cast<float>((R.top() + R.height()) / H);
}

// At Panel2's bottom-right corner, but never left of or above Panel2 itself.
void TAVIFrm::PlaceShape1() {
  Shape1->move(Panel2->x() + std::max(Panel2->width() - Shape1->width(), 0),
               Panel2->y() + std::max(Panel2->height() - Shape1->height(), 0));
  Shape1->raise();
}

void TAVIFrm::SpeedButton1Click() {
  BrowseInto(OD, AddFnm);
}

void TAVIFrm::Panel2MouseDown(QObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft) MoveOrigin = Panel2->mapToGlobal(QPoint(X, Y));
}

void TAVIFrm::Panel2MouseMove(QObject*, TShiftState Shift, int X, int Y) {
  if (!(Shift & ssLeft)) return;
  const QPoint P = Panel2->mapToGlobal(QPoint(X, Y));
  Panel2->move(Panel2->pos() + (P - MoveOrigin));
  PlaceShape1();
  MoveOrigin = P;
}

void TAVIFrm::Shape1MouseDown(QObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft) ResizeOrigin = Shape1->mapToGlobal(QPoint(X, Y));
}

// A size dragged to zero or below stays zero, and the handle stays on Panel2, so it can be
// grown again.
void TAVIFrm::Shape1MouseMove(QObject*, TShiftState Shift, int X, int Y) {
  if (!(Shift & ssLeft)) return;
  const QPoint P = Shape1->mapToGlobal(QPoint(X, Y));
  Panel2->resize(std::max(Panel2->width() + (P.x() - ResizeOrigin.x()), 0),
                 std::max(Panel2->height() + (P.y() - ResizeOrigin.y()), 0));
  PlaceShape1();
  ResizeOrigin = P;
}

void TAVIFrm::TrackBar1Change() {
  Panel2->setText(QString::number(std::abs(TrackBar1->value())) + QStringLiteral("% alpha"));
}

bool TAVIFrm::eventFilter(QObject* Watched, QEvent* Event) {
  const bool Press = Event->type() == QEvent::MouseButtonPress;
  if ((Watched != Panel2 && Watched != Shape1) || (!Press && Event->type() != QEvent::MouseMove))
    return QFrame::eventFilter(Watched, Event);
  const auto* Mouse = static_cast<QMouseEvent*>(Event);
  const QPoint At = Mouse->position().toPoint();
  const TShiftState Shift = ShiftStateOf(Mouse);
  if (Watched == Panel2 && Press) Panel2MouseDown(Watched, MouseButtonOf(Mouse), Shift, At.x(), At.y());
  else if (Watched == Panel2) Panel2MouseMove(Watched, Shift, At.x(), At.y());
  else if (Press) Shape1MouseDown(Watched, MouseButtonOf(Mouse), Shift, At.x(), At.y());
  else Shape1MouseMove(Watched, Shift, At.x(), At.y());
  return true;
}
