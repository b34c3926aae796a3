#pragma once
// Resolving a dotted property path ("VW.VMROptions.KeepAspectRatio") over Qt's meta-object
// system: a component owned by the owner, then published properties (Q_PROPERTYs), letter case
// ignored, object-valued ones (QObject pointers) followed.
#include <QMetaProperty>
#include <QObject>
#include <string>

// How a property's value is stored: ordinal = integers, characters, Booleans and enumerations;
// float = double and float; string = QString and std::string; object = a QObject pointer.
enum TPropKind : int { pkOther, pkOrdinal, pkFloat, pkString, pkObject };

struct TPropertyPath {
  // The identifier the value is stored under: the line, or, when the line begins with the
  // owner's name, its text from the first "." on.
  std::string Path;
  QObject* Object = nullptr;
  QMetaProperty Property;
  TPropKind Kind = pkOther;
  bool Found = false;
};

TPropertyPath ResolvePropertyPath(QObject* Owner, const std::string& Line);

// The property of that name, letter case ignored; the most derived class's first.
QMetaProperty FindProperty(const QObject* Object, const QString& Name);
TPropKind KindOf(const QMetaProperty& Property);
