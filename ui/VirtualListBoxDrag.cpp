// Dragging rows within the list box and dropping files onto it.
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "ui/VirtualListBox.h"

namespace {
const QString RowFormat = "application/x-vizmora-row";

// The list and the process a row drag came from, so only this list takes it back.
QByteArray Origin(const TVirtualListBox* List) {
  return QByteArray::number(QCoreApplication::applicationPid()) + ":" +
         QByteArray::number(reinterpret_cast<quintptr>(List));
}
}  // namespace

QMimeData* TVirtualListBox::RowMimeData(int Row) const {
  auto* Data = new QMimeData;
  Data->setData(RowFormat, Origin(this) + ":" + QByteArray::number(Row));
  return Data;
}

int TVirtualListBox::DraggedRow(const QMimeData* Data) const {
  const QByteArray Text = Data->data(RowFormat);
  const QByteArray Prefix = Origin(this) + ":";
  if (!Text.startsWith(Prefix)) return -1;
  bool Ok = false;
  const int Row = Text.mid(Prefix.size()).toInt(&Ok);
  return Ok && Row >= 0 && Row < FCount ? Row : -1;
}

bool TVirtualListBox::Takes(const QMimeData* Data) const { return DraggedRow(Data) >= 0 || Data->hasUrls(); }

// Only the focused row is dragged, as only the focused row is deleted.
void TVirtualListBox::startDrag(Qt::DropActions) {
  const int Row = ItemIndex();
  if (Row < 0 || Row >= FCount) return;
  auto* Drag = new QDrag(this);
  Drag->setMimeData(RowMimeData(Row));
  Drag->exec(Qt::MoveAction);
}

void TVirtualListBox::dragEnterEvent(QDragEnterEvent* Event) {
  if (Takes(Event->mimeData()))
    Event->acceptProposedAction();
  else
    Event->ignore();
}

void TVirtualListBox::dragMoveEvent(QDragMoveEvent* Event) {
  if (!Takes(Event->mimeData())) {
    Event->ignore();
    return;
  }
  if (const int From = DraggedRow(Event->mimeData()); From >= 0) {
    const int To = DropRow(Event->position().toPoint());
    // Moving down it lands below the row it is dropped on, moving up above it.
    ShowDropLine(To > From ? ItemRect(To).bottom() : ItemRect(To).top());
    Event->setDropAction(Qt::MoveAction);
    Event->accept();
  } else {
    Event->acceptProposedAction();
  }
}

void TVirtualListBox::dragLeaveEvent(QDragLeaveEvent*) { ShowDropLine(-1); }

int TVirtualListBox::DropRow(const QPoint& Point) const {
  const QModelIndex Under = indexAt(Point);
  return Under.isValid() && Under.row() < FCount ? Under.row() : FCount - 1;
}

void TVirtualListBox::ShowDropLine(int Y) {
  if (Y == FDropLine) return;
  FDropLine = Y;
  viewport()->update();
}

void TVirtualListBox::dropEvent(QDropEvent* Event) {
  ShowDropLine(-1);
  const QMimeData* Data = Event->mimeData();
  if (const int From = DraggedRow(Data); From >= 0) {
    const int To = DropRow(Event->position().toPoint());
    Event->setDropAction(Qt::MoveAction);
    Event->accept();
    if (To != From) OnMoveRow(this, From, To);
    return;
  }
  if (!Data->hasUrls()) {
    Event->ignore();
    return;
  }
  std::vector<std::string> Files;
  for (const QUrl& Url : Data->urls())
    if (Url.isLocalFile()) Files.push_back(QFile::encodeName(Url.toLocalFile()).toStdString());
  Event->acceptProposedAction();
  OnDropFiles(this, Files);
}
