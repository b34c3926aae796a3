#include "desktop/MprisRoot.h"

#include "app/IPlayerControls.h"
#include "desktop/MprisState.h"

TMprisRoot::TMprisRoot(QObject* AParent, IMprisState& AState) : QDBusAbstractAdaptor(AParent), FState(AState) {}

bool TMprisRoot::CanRaise() const { return FState.Controls().CanRaise(); }

// The types the desktop file names, from the one list the build keeps.
QStringList TMprisRoot::SupportedMimeTypes() const {
  return QString::fromLatin1(VIZMORA_MIME_TYPES).split(u',', Qt::SkipEmptyParts);
}

void TMprisRoot::Raise() {
  FState.Guarded([this] { FState.Controls().Raise(); });
}

void TMprisRoot::Quit() {
  FState.Guarded([this] { FState.Controls().Quit(); });
}
