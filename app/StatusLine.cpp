#include "app/StatusLine.h"

#include <iostream>

namespace {
TStatusDisplay& Display() {
  static TStatusDisplay D;
  return D;
}
}  // namespace

void ShowStatus(const std::string& Text) {
  if (Display())
    Display()(Text);
  else
    std::cerr << "vizmora: " << Text << std::endl;
}

void SetStatusDisplay(TStatusDisplay D) { Display() = std::move(D); }
