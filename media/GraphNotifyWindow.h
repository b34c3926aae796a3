#pragma once
// The graph component's hidden notification window: the graph posts WM_GRAPHNOTIFY to it from
// any thread, and it drains the graph's events on the thread it lives on (the user-interface
// thread); WM_GRAPHRENDERED, when a render on the graph's thread has ended. Exceptions from the
// drain go to the application's exception report.
#include <QObject>
#include <functional>

#include "platform/com/ComTypes.h"

// The message the graph posts to the notification window when events are queued (WM_APP + 1).
constexpr LONG WM_GRAPHNOTIFY = 0x8001;
// The message a render on the graph's thread posts there once it has ended (WM_APP + 2).
constexpr LONG WM_GRAPHRENDERED = 0x8002;

class TGraphNotifyWindow : public QObject {
public:
  // Drain: the component's HandleGraphEvents; Rendered: its GraphRendered; Graph: the
  // component, which outlives its window.
  TGraphNotifyWindow(std::function<void()> ADrain, std::function<void()> ARendered, QObject* AGraph)
      : FDrain(std::move(ADrain)), FRendered(std::move(ARendered)), FGraph(AGraph) {}

protected:
  bool event(QEvent* Event) override;

private:
  std::function<void()> FDrain;
  std::function<void()> FRendered;
  QObject* FGraph;
};
