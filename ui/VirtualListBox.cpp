#include "ui/VirtualListBox.h"

#include <QAbstractItemDelegate>
#include <QAbstractListModel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionFocusRect>

// The rows as the view knows them: as many as it has been told of, each asking the list box
// for its text.
class TVirtualListBox::TRows : public QAbstractListModel {
public:
  explicit TRows(TVirtualListBox* AOwner) : QAbstractListModel(AOwner), FOwner(AOwner) {}

  int rowCount(const QModelIndex& Parent) const override { return Parent.isValid() ? 0 : Shown; }
  QVariant data(const QModelIndex& Index, int Role) const override {
    if (Role != Qt::DisplayRole && Role != Qt::AccessibleTextRole) return {};
    return QString::fromStdString(FOwner->Items(Index.row()));
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

// Hands each visible row to the owner's drawing, then draws the focus rectangle.
class TVirtualListBox::TPainter : public QAbstractItemDelegate {
public:
  explicit TPainter(TVirtualListBox* AOwner) : QAbstractItemDelegate(AOwner), FOwner(AOwner) {}

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    TOwnerDrawState State;
    if (Option.state & QStyle::State_Selected) State |= odSelected;
    if (Option.state & QStyle::State_HasFocus) State |= odFocused;
    Painter->save();
    Painter->setClipRect(Option.rect);
    Painter->setFont(FOwner->font());
    FOwner->OnDrawItem(FOwner, Index.row(), *Painter, Option.rect, State);
    Painter->restore();
    if (State & odFocused) {
      QStyleOptionFocusRect Focus;
      Focus.initFrom(FOwner);
      Focus.rect = Option.rect;
      Focus.state |= QStyle::State_KeyboardFocusChange;
      FOwner->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Focus, Painter, FOwner);
    }
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {1, FOwner->FItemHeight}; }

private:
  TVirtualListBox* FOwner;
};

TVirtualListBox::TVirtualListBox(QWidget* Parent) : QListView(Parent), FRows(new TRows(this)) {
  setModel(FRows);
  setItemDelegate(new TPainter(this));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette White = palette();
  White.setColor(QPalette::Base, Qt::white);
  setPalette(White);
}

void TVirtualListBox::SetCount(int Value) {
  const bool Pending = FCount != FRows->Shown;
  FCount = std::max(Value, 0);
  // The view is told from the event loop, once for a whole run of changes.
  if (!Pending && FCount != FRows->Shown)
    QMetaObject::invokeMethod(this, &TVirtualListBox::SyncCount, Qt::QueuedConnection);
}

void TVirtualListBox::SyncCount() {
  if (FCount == FRows->Shown) return;
  FRows->Show(FCount);
  viewport()->update();
}

void TVirtualListBox::SetItemHeight(int Value) {
  FItemHeight = Value;
  doItemsLayout();
}

int TVirtualListBox::ItemIndex() const {
  const QModelIndex Current = currentIndex();
  return Current.isValid() ? Current.row() : -1;
}

void TVirtualListBox::SetItemIndex(int Value) {
  SyncCount();
  setCurrentIndex(FRows->index(Value));
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
  const qreal Rate = screen() ? screen()->refreshRate() : 60;
  if (FSincePaint.isValid() && FSincePaint.elapsed() < 1000 / std::max<qreal>(Rate, 1)) {
    viewport()->update();
    return;
  }
  SyncCount();
  // The rows are laid out from the event loop otherwise, and a loop adding rows has none.
  executeDelayedItemsLayout();
  viewport()->repaint();
  FSincePaint.start();
}

void TVirtualListBox::paintEvent(QPaintEvent* Event) {
  QListView::paintEvent(Event);
  FSincePaint.start();
}

void TVirtualListBox::mouseDoubleClickEvent(QMouseEvent* Event) {
  QListView::mouseDoubleClickEvent(Event);
  OnDblClick(this);
}
