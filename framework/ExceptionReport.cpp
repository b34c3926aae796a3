#include "framework/ExceptionReport.h"

#include <exception>
#include <iostream>

#include "framework/Exception.h"

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
  } catch (const EAbort&) {
    // called off: nothing to report
  } catch (const std::exception& E) {
    ShowException(E.what());
  } catch (...) {
    ShowException("Unknown exception");
  }
}
