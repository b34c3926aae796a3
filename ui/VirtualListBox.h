#pragma once
// A virtual, owner-drawn list box: it keeps no texts, only a row count; its owner paints each
// row (OnDrawItem) and answers each row's text (OnData) when asked. Rows have one fixed height,
// so where a row lies is a product and no layout is kept: a list of a million rows costs what a
// screenful does, and only the rows in view are painted. Several rows may be selected; the
// focused row gets the style's focus rectangle. A row's tool tip is the owner's (OnHint). A row
// dragged within the list and files dropped onto it are handed to the owner (OnMoveRow,
// OnDropFiles). User-interface thread only.
#include <QAbstractItemView>
#include <functional>
#include <string>
#include <vector>

#include "framework/Event.h"

class QPainter;

enum TOwnerDrawStateFlag { odSelected = 0x01, odFocused = 0x02 };
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

class TVirtualListBox : public QAbstractItemView {
  Q_OBJECT

public:
  explicit TVirtualListBox(QWidget* Parent = nullptr);

  int Count() const { return FCount; }
  // Rows added or taken away at the end; the view learns of it from the event loop, or at
  // once from RepaintNow.
  void SetCount(int Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  // The focused row, or -1.
  int ItemIndex() const;
  // Focuses the row and selects it alone.
  void SetItemIndex(int Value);
  // Focuses and selects the row By rows on from the focused one, kept within the list; the
  // first row when none is focused.
  void MoveFocus(int By);
  bool Selected(int Index) const;
  // The row's rectangle in the viewport's coordinates.
  QRect ItemRect(int Index) const;
  // The text of a row as OnData answers it; empty outside the list.
  std::string Items(int Index);

  // Paints the list now, unless it was painted less than a screen refresh ago; then it is
  // painted from the event loop. A loop adding rows one by one shows them growing this way,
  // at no more than the screen's rate.
  void RepaintNow();
  // The milliseconds clock RepaintNow paces paints by: the monotonic clock unless a test
  // drives one of its own.
  void SetPaceClock(std::function<long long()> Clock) {
    FPaceClock = std::move(Clock);
    FLastPaintMs = -1;  // a time of the clock replaced means nothing on this one
  }

  // Sender, row, painter (clipped to the row), the row's rectangle, its state.
  TEvent<QObject*, int, QPainter&, const QRect&, TOwnerDrawState> OnDrawItem;
  // Sender, row, the text to fill in.
  TEvent<QObject*, int, std::string&> OnData;
  // Sender, row, the tool tip to fill in; none when left empty.
  TEvent<QObject*, int, std::string&> OnHint;
  TEvent<QObject*> OnDblClick;
  // Sender, the row dragged, the row it was dropped on (the last row when dropped below it).
  TEvent<QObject*, int, int> OnMoveRow;
  // Sender, the local files dropped, in the drag's order; other places are left out.
  TEvent<QObject*, const std::vector<std::string>&> OnDropFiles;

  // What a drag of the row carries: it names this list and the row, so a drop elsewhere, or
  // of a row of another list, moves nothing.
  QMimeData* RowMimeData(int Row) const;

  // --- the view's geometry
  QRect visualRect(const QModelIndex& Index) const override;
  void scrollTo(const QModelIndex& Index, ScrollHint Hint = EnsureVisible) override;
  QModelIndex indexAt(const QPoint& Point) const override;

protected:
  QModelIndex moveCursor(CursorAction Action, Qt::KeyboardModifiers Modifiers) override;
  int horizontalOffset() const override { return 0; }
  int verticalOffset() const override;
  bool isIndexHidden(const QModelIndex&) const override { return false; }
  void setSelection(const QRect& Rect, QItemSelectionModel::SelectionFlags Command) override;
  QRegion visualRegionForSelection(const QItemSelection& Selection) const override;
  void updateGeometries() override;
  // The scroll bar counts rows: the view is painted afresh rather than shifted by pixels.
  void scrollContentsBy(int Dx, int Dy) override;

  void paintEvent(QPaintEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void startDrag(Qt::DropActions Actions) override;
  void dragEnterEvent(QDragEnterEvent* Event) override;
  void dragMoveEvent(QDragMoveEvent* Event) override;
  void dragLeaveEvent(QDragLeaveEvent* Event) override;
  void dropEvent(QDropEvent* Event) override;

private:
  class TRows;
  friend class TRows;

  // Tells the view of the rows added or taken away since it was last told.
  void SyncCount();
  // Rows that fit the viewport whole, at least one.
  int RowsInView() const;
  // The row a drag of this list carries, or -1 for data of anything else.
  int DraggedRow(const QMimeData* Data) const;
  // Whether this list takes the drop: a row of its own, or files.
  bool Takes(const QMimeData* Data) const;
  // The row a dragged row at the point lands on: the one under it, or the last.
  int DropRow(const QPoint& Point) const;
  void ShowDropLine(int Y);

  TRows* FRows;
  int FCount = 0;
  int FItemHeight = 16;
  std::function<long long()> FPaceClock;
  long long FLastPaintMs = -1;  // on FPaceClock; -1 before the first paint
  bool FPaintDue = false;  // a paint has been asked of the event loop
  unsigned FCallsSinceLook = 0;
  int FDropLine = -1;  // where a dragged row would land, in viewport pixels; -1 for none
};
