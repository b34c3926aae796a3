#include "settings/PropertyPath.h"

#include "framework/Component.h"

QMetaProperty FindProperty(const QObject* Object, const QString& Name) {
  const QMetaObject* Meta = Object->metaObject();
  for (int I = Meta->propertyCount() - 1; I >= 0; --I)
    if (Name.compare(QLatin1String(Meta->property(I).name()), Qt::CaseInsensitive) == 0) return Meta->property(I);
  return {};
}

TPropKind KindOf(const QMetaProperty& Property) {
  const QMetaType Type = Property.metaType();
  if (Property.isFlagType()) return pkOther;
  if (Property.isEnumType() || (Type.flags() & QMetaType::IsEnumeration)) return pkOrdinal;
  switch (Type.id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar:
    case QMetaType::Char16: return pkOrdinal;
    case QMetaType::Double:
    case QMetaType::Float: return pkFloat;
    case QMetaType::QString: return pkString;
    default: break;
  }
  if (Type == QMetaType::fromType<std::string>()) return pkString;
  if (Type.flags() & QMetaType::PointerToQObject) return pkObject;
  return pkOther;
}

TPropertyPath ResolvePropertyPath(QObject* Owner, const std::string& Line) {
  TPropertyPath R;
  R.Path = Line;
  if (!Owner || R.Path.size() < 2) return R;
  const std::size_t Dot = R.Path.find('.');
  std::string Name = Dot == std::string::npos ? "" : R.Path.substr(0, Dot);
  if (!Name.empty() && Name == ComponentName(Owner)) {
    Name.clear();
    R.Path = R.Path.substr(Dot, 255);
  }
  QObject* Object = Name.empty() ? Owner : FindComponent(Owner, Name);
  if (!Object) return R;
  std::size_t Start = R.Path.find('.');
  Start = Start == std::string::npos ? 0 : Start + 1;
  for (;;) {
    const std::size_t End = R.Path.find('.', Start);
    const bool Last = End == std::string::npos;
    const QString Segment = QString::fromStdString(R.Path.substr(Start, Last ? std::string::npos : End - Start));
    const QMetaProperty Property = FindProperty(Object, Segment);
    if (!Property.isValid()) return R;
    R.Kind = KindOf(Property);
    if (R.Kind != pkObject) {
      R.Object = Object;
      R.Property = Property;
      R.Found = true;
      return R;
    }
    Object = Property.read(Object).value<QObject*>();
    if (!Object) return R;
    if (Last) {
      R.Found = true;
      return R;
    }
    Start = End + 1;
  }
}
