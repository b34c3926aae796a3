#include "app/StatusLine.h"

void TStatusLine::Show(const std::string& Text) {
  if (FDisplay)
    FDisplay(Text);
  else
    FFallback << "vizmora: " << Text << std::endl;
}
