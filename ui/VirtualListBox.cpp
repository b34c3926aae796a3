#include "ui/VirtualListBox.h"

#include <QAbstractListModel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "platform/dshow/MonotonicClock.h"

// The rows as the view knows them: as many as it has been told of, each asking the list box
// for its text.
class TVirtualListBox::TRows : public QAbstractListModel {
public:
  explicit TRows(TVirtualListBox* AOwner) : QAbstractListModel(AOwner), FOwner(AOwner) {}

  int rowCount(const QModelIndex& Parent = {}) const override { return Parent.isValid() ? 0 : Shown; }
  QVariant data(const QModelIndex& Index, int Role) const override {
    if (Role == Qt::ToolTipRole) {
      std::string Hint;
      if (Index.row() < FOwner->FCount) FOwner->OnHint(FOwner, Index.row(), Hint);
      return Hint.empty() ? QVariant() : QString::fromStdString(Hint);
    }
    if (Role != Qt::DisplayRole && Role != Qt::AccessibleTextRole) return {};
    return QString::fromStdString(FOwner->Items(Index.row()));
  }
  // Rows may be dragged, and dropped on.
  Qt::ItemFlags flags(const QModelIndex& Index) const override {
    return QAbstractListModel::flags(Index) | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
  }

  void Show(int Count) {
    if (Count > Shown) {
      beginInsertRows({}, Shown, Count - 1);
      Shown = Count;
      endInsertRows();
    } else if (Count < Shown) {
      beginRemoveRows({}, Count, Shown - 1);
      Shown = Count;
      endRemoveRows();
    }
  }

  int Shown = 0;

private:
  TVirtualListBox* FOwner;
};

TVirtualListBox::TVirtualListBox(QWidget* Parent)
    : QAbstractItemView(Parent), FRows(new TRows(this)), FPaceClock(MonotonicMilliseconds) {
  setModel(FRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setDragDropMode(QAbstractItemView::DragDrop);
  viewport()->setAcceptDrops(true);  // drop positions are the viewport's, as the rows' are
  QPalette White = palette();
  White.setColor(QPalette::Base, Qt::white);
  setPalette(White);
}

void TVirtualListBox::SetCount(int Value) {
  const bool Pending = FCount != FRows->Shown;
  FCount = std::max(Value, 0);
  // Told from the event loop, once for a whole run of changes.
  if (!Pending && FCount != FRows->Shown)
    QMetaObject::invokeMethod(this, &TVirtualListBox::SyncCount, Qt::QueuedConnection);
}

void TVirtualListBox::SyncCount() {
  if (FCount == FRows->Shown) return;
  FRows->Show(FCount);
  updateGeometries();
  viewport()->update();
}

void TVirtualListBox::SetItemHeight(int Value) {
  FItemHeight = std::max(Value, 1);
  updateGeometries();
  viewport()->update();
}

int TVirtualListBox::ItemIndex() const {
  const QModelIndex Current = currentIndex();
  return Current.isValid() ? Current.row() : -1;
}

// The row alone is selected, whatever keys are held: a Ctrl+Up that moved an entry must not
// leave the rows it passed looking selected.
void TVirtualListBox::SetItemIndex(int Value) {
  SyncCount();
  const QModelIndex Index = FRows->index(Value);
  selectionModel()->setCurrentIndex(Index, QItemSelectionModel::ClearAndSelect);
  if (Index.isValid()) scrollTo(Index);
}

void TVirtualListBox::MoveFocus(int By) {
  SyncCount();
  if (FCount == 0) return;
  const int Focused = ItemIndex();
  SetItemIndex(Focused < 0 ? 0 : std::clamp(Focused + By, 0, FCount - 1));
}

bool TVirtualListBox::Selected(int Index) const {
  return Index >= 0 && Index < FRows->Shown && selectionModel()->isRowSelected(Index);
}

QRect TVirtualListBox::ItemRect(int Index) const { return visualRect(FRows->index(Index)); }

std::string TVirtualListBox::Items(int Index) {
  std::string Text;
  if (Index >= 0 && Index < FCount) OnData(this, Index, Text);
  return Text;
}

void TVirtualListBox::RepaintNow() {
  // Reading the clock costs more than all else here: while a paint is due anyway, only every
  // so many calls look whether it is time to paint at once.
  if (FPaintDue && ++FCallsSinceLook % 64 != 0) return;
  const qreal Rate = screen() ? screen()->refreshRate() : 60;
  if (FLastPaintMs >= 0 && FPaceClock() - FLastPaintMs < 1000 / std::max<qreal>(Rate, 1)) {
    if (!FPaintDue) viewport()->update();
    FPaintDue = true;
    return;
  }
  SyncCount();
  viewport()->repaint();
}

// --- geometry: row r lies at r × ItemHeight, less the rows scrolled past

int TVirtualListBox::RowsInView() const { return std::max(viewport()->height() / FItemHeight, 1); }

int TVirtualListBox::verticalOffset() const { return verticalScrollBar()->value() * FItemHeight; }

QRect TVirtualListBox::visualRect(const QModelIndex& Index) const {
  if (!Index.isValid()) return {};
  return {0, Index.row() * FItemHeight - verticalOffset(), viewport()->width(), FItemHeight};
}

QModelIndex TVirtualListBox::indexAt(const QPoint& Point) const {
  if (Point.y() < 0) return {};
  return FRows->index((Point.y() + verticalOffset()) / FItemHeight);
}

void TVirtualListBox::scrollTo(const QModelIndex& Index, ScrollHint Hint) {
  if (!Index.isValid()) return;
  const int Row = Index.row(), Top = verticalScrollBar()->value(), InView = RowsInView();
  switch (Hint) {
    case EnsureVisible:
      if (Row < Top)
        verticalScrollBar()->setValue(Row);
      else if (Row >= Top + InView)
        verticalScrollBar()->setValue(Row - InView + 1);
      break;
    case PositionAtTop: verticalScrollBar()->setValue(Row); break;
    case PositionAtBottom: verticalScrollBar()->setValue(Row - InView + 1); break;
    case PositionAtCenter: verticalScrollBar()->setValue(Row - InView / 2); break;
  }
}

QModelIndex TVirtualListBox::moveCursor(CursorAction Action, Qt::KeyboardModifiers) {
  const int Last = FRows->Shown - 1;
  if (Last < 0) return {};
  const int Current = ItemIndex();
  int Row = Current;
  switch (Action) {
    case MoveUp:
    case MovePrevious: Row = Current - 1; break;
    case MoveDown:
    case MoveNext: Row = Current + 1; break;
    case MovePageUp: Row = Current - RowsInView(); break;
    case MovePageDown: Row = Current + RowsInView(); break;
    case MoveHome: Row = 0; break;
    case MoveEnd: Row = Last; break;
    case MoveLeft:
    case MoveRight: break;
  }
  return FRows->index(Current < 0 ? 0 : std::clamp(Row, 0, Last));
}

void TVirtualListBox::setSelection(const QRect& Rect, QItemSelectionModel::SelectionFlags Command) {
  const QRect R = Rect.normalized();
  const int First = std::max((R.top() + verticalOffset()) / FItemHeight, 0);
  const int Last = std::min((R.bottom() + verticalOffset()) / FItemHeight, FRows->Shown - 1);
  QItemSelection Rows;
  if (First <= Last) Rows.select(FRows->index(First), FRows->index(Last));
  selectionModel()->select(Rows, Command);
}

QRegion TVirtualListBox::visualRegionForSelection(const QItemSelection& Selection) const {
  QRegion Region;
  for (const QItemSelectionRange& Range : Selection)
    Region += visualRect(Range.topLeft()).united(visualRect(Range.bottomRight())).intersected(viewport()->rect());
  return Region;
}

void TVirtualListBox::updateGeometries() {
  verticalScrollBar()->setRange(0, std::max(FRows->Shown - RowsInView(), 0));
  verticalScrollBar()->setPageStep(RowsInView());
  verticalScrollBar()->setSingleStep(1);
  QAbstractItemView::updateGeometries();
}

void TVirtualListBox::scrollContentsBy(int, int) { viewport()->update(); }

// --- painting: the rows in view only

void TVirtualListBox::paintEvent(QPaintEvent* Event) {
  QPainter Painter(viewport());
  Painter.fillRect(Event->rect(), palette().color(QPalette::Base));
  const int Top = verticalScrollBar()->value();
  const int Bottom = std::min(Top + RowsInView(), FRows->Shown - 1);
  const QModelIndex Focused = currentIndex();
  for (int Row = Top; Row <= Bottom; ++Row) {
    const QModelIndex Index = FRows->index(Row);
    const QRect Rect = visualRect(Index);
    if (!Rect.intersects(Event->rect())) continue;
    TOwnerDrawState State;
    if (selectionModel()->isSelected(Index)) State |= odSelected;
    if (Index == Focused && hasFocus()) State |= odFocused;
    Painter.save();
    Painter.setClipRect(Rect);
    Painter.setFont(font());
    OnDrawItem(this, Row, Painter, Rect, State);
    Painter.restore();
    if (State & odFocused) {
      QStyleOptionFocusRect Focus;
      Focus.initFrom(this);
      Focus.rect = Rect;
      Focus.state |= QStyle::State_KeyboardFocusChange;
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Focus, &Painter, this);
    }
  }
  if (FDropLine >= 0) Painter.fillRect(0, FDropLine - 1, viewport()->width(), 2, palette().color(QPalette::Text));
  FLastPaintMs = FPaceClock();
  FPaintDue = false;
}

void TVirtualListBox::mouseDoubleClickEvent(QMouseEvent* Event) {
  QAbstractItemView::mouseDoubleClickEvent(Event);
  OnDblClick(this);
}
