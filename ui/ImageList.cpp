#include "ui/ImageList.h"

TImageList::TImageList(int ASize, const QList<QString>& Names) : FSize(ASize), FNames(Names) {}

void TImageList::AddTo(QIcon& Icon, int Index) const {
  if (Index < 0 || Index >= Count()) return;
  // The reader takes the density of each picture from its name.
  for (const char* Density : {"", "@2x"})
    Icon.addFile(QStringLiteral(":/icons/%1/%2%3.png").arg(FSize).arg(FNames[Index], QLatin1String(Density)));
}

QIcon IconOf(int Index, const TImageList& Small, const TImageList& Large) {
  QIcon Icon;
  Small.AddTo(Icon, Index);
  Large.AddTo(Icon, Index);
  return Icon;
}
