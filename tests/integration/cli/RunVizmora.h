#pragma once
// Runs the program as a user would and collects what it said.
#include <QStringList>
#include <string>
#include <vector>

struct TRun {
  int Status = -1;
  std::vector<std::string> Events;  // the event lines as "<event> <index>": "started 0", ...
  std::string Output, Errors;
};

// The program with --headless before Arguments; ended when it has not finished in TimeoutMs.
TRun RunVizmora(const QStringList& Arguments, int TimeoutMs = 120000);
// "<event> <index>" of each JSON line of Text that has an event.
std::vector<std::string> EventsOf(const std::string& Text);
