#include "framework/Component.h"

std::string ComponentName(const QObject* Component) { return Component->objectName().toStdString(); }

QObject* FindComponent(const QObject* Owner, const std::string& Name) {
  const QString Wanted = QString::fromStdString(Name);
  for (QObject* Child : Owner->children())
    if (Child->objectName().compare(Wanted, Qt::CaseInsensitive) == 0) return Child;
  return nullptr;
}

void EndLoadingComponents(QObject* Owner) {
  for (QObject* Child : Owner->children())
    if (auto* Component = dynamic_cast<TComponentLoading*>(Child)) Component->EndLoading();
}
