#include "ui/PropertiesFrames.h"

#include "engine/PropertiesFrames.h"
#include "ui/AVIFrm.h"
#include "ui/GIFFrm.h"

void InstallPropertiesFrames() {
  CreateAVIFrame = [] { return new TAVIFrm; };
  CreateGIFFrame = [] { return new TGIFFrm; };
}
