#include "framework/ExceptionReport.h"

#include <exception>
#include <iostream>

namespace {
TExceptionReporter& Reporter() {
  static TExceptionReporter R;
  return R;
}
}  // namespace

void SetExceptionReporter(TExceptionReporter R) { Reporter() = std::move(R); }

void ShowException(const std::string& Message) {
  if (Reporter())
    Reporter()(Message);
  else
    std::cerr << "vizmora: " << Message << std::endl;
}

void ApplicationHandleException(QObject* /*Sender*/) {
  try {
    throw;
  } catch (const std::exception& E) {
    ShowException(E.what());
  } catch (...) {
    ShowException("Unknown exception");
  }
}
