#pragma once
// An image list: pictures of one size, addressed by index, as tool bars, menus and actions use
// them. The playlist window's pictures are built into the program as resources.
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>

class TImageList {
public:
  // The pictures at ":/icons/<Size>/<name>.png" for the names in order, Size × Size each.
  TImageList(int ASize, const QList<QString>& Names);

  int Size() const { return FSize; }
  int Count() const { return static_cast<int>(FImages.size()); }
  // An empty picture outside the list.
  QPixmap Image(int Index) const;

private:
  int FSize;
  QList<QPixmap> FImages;
};

// The picture at Index of each list, as one icon (each list gives its size); none for -1.
QIcon IconOf(int Index, const TImageList& Small, const TImageList& Large);
