#include "ui/ImageList.h"

TImageList::TImageList(int ASize, const QList<QString>& Names) : FSize(ASize) {
  for (const QString& Name : Names)
    FImages.push_back(QPixmap(QStringLiteral(":/icons/%1/%2.png").arg(FSize).arg(Name)));
}

QPixmap TImageList::Image(int Index) const { return Index >= 0 && Index < Count() ? FImages[Index] : QPixmap(); }

QIcon IconOf(int Index, const TImageList& Small, const TImageList& Large) {
  QIcon Icon;
  if (Index < 0) return Icon;
  Icon.addPixmap(Small.Image(Index));
  Icon.addPixmap(Large.Image(Index));
  return Icon;
}
