#include "platform/win/WindowClasses.h"

#include <QObject>
#include <QVariant>

#include "platform/win/Messages.h"

namespace {
constexpr const char* ClassProperty = "WindowClass";
}

void SetWindowClass(QObject* Window, const char* ClassName) { Window->setProperty(ClassProperty, ClassName); }

OAHWND FindWindowEx(const QObject* Parent, const char* ClassName, const QString& WindowName) {
  if (!Parent) return 0;
  for (QObject* Child : Parent->children())
    if (Child->property(ClassProperty).toByteArray() == ClassName && Child->objectName() == WindowName)
      return HandleOf(Child);
  return 0;
}
