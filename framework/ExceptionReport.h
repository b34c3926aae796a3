#pragma once
// The application's exception report: where an exception that reached the event loop, or
// escaped a form's creation or destruction, is shown to the user. Work goes on afterwards.
#include <functional>
#include <string>

class QObject;

using TExceptionReporter = std::function<void(const std::string& Message)>;

// Installs the reporter (the program shows a message box); empty restores standard error.
void SetExceptionReporter(TExceptionReporter Reporter);
// Reports a message through the installed reporter.
void ShowException(const std::string& Message);
// Call inside a catch block: reports the exception being handled, whatever its type, but EAbort.
void ApplicationHandleException(QObject* Sender);
