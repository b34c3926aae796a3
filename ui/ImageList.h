#pragma once
// An image list: pictures of one size, addressed by index, as tool bars, menus and actions use
// them. The playlist window's pictures are built into the program as resources, each also drawn
// at twice the size for dense screens.
#include <QIcon>
#include <QList>
#include <QString>

class TImageList {
public:
  // The pictures at ":/icons/<Size>/<name>.png" for the names in order, Size × Size each, and
  // those at "<name>@2x.png", twice as dense.
  TImageList(int ASize, const QList<QString>& Names);

  int Size() const { return FSize; }
  int Count() const { return static_cast<int>(FNames.size()); }
  // Adds the picture at Index, at both densities, to Icon; nothing outside the list.
  void AddTo(QIcon& Icon, int Index) const;

private:
  int FSize;
  QList<QString> FNames;
};

// The picture at Index of each list, as one icon (each list gives its size); none for -1.
QIcon IconOf(int Index, const TImageList& Small, const TImageList& Large);
