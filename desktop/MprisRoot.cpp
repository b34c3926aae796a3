#include "desktop/MprisRoot.h"

#include "app/IPlayerControls.h"
#include "desktop/MprisService.h"

TMprisRoot::TMprisRoot(TMprisService* AService) : QDBusAbstractAdaptor(AService), FService(AService) {}

bool TMprisRoot::CanRaise() const { return FService->Controls().CanRaise(); }

// The types the desktop file names, from the one list the build keeps.
QStringList TMprisRoot::SupportedMimeTypes() const {
  return QString::fromLatin1(VIZMORA_MIME_TYPES).split(u',', Qt::SkipEmptyParts);
}

void TMprisRoot::Raise() {
  FService->Guarded([this] { FService->Controls().Raise(); });
}

void TMprisRoot::Quit() {
  FService->Guarded([this] { FService->Controls().Quit(); });
}
