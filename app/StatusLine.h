#pragma once
// The program's one status line: what the show and the main graph's events have to say. Its
// display is the playlist window's status bar, which the window installs; with none installed
// (no window, or not yet), the text goes to the fallback stream. User-interface thread.
#include <functional>
#include <ostream>
#include <string>

class TStatusLine {
public:
  using TDisplay = std::function<void(const std::string& Text)>;

  explicit TStatusLine(std::ostream& AFallback) : FFallback(AFallback) {}

  void Show(const std::string& Text);
  // Installs the display; an empty one gives the fallback stream back.
  void SetDisplay(TDisplay Display) { FDisplay = std::move(Display); }
  bool HasDisplay() const { return static_cast<bool>(FDisplay); }

private:
  std::ostream& FFallback;
  TDisplay FDisplay;
};
