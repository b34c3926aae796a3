#pragma once
// The graph component's hidden notification window: the graph posts WM_GRAPHNOTIFY to it from
// any thread, and it drains the graph's events on the thread it lives on (the user-interface
// thread). Exceptions from the drain go to the application's exception report.
#include <QObject>
#include <functional>

#include "platform/com/ComTypes.h"

// The message the graph posts to the notification window when events are queued (WM_APP + 1).
constexpr LONG WM_GRAPHNOTIFY = 0x8001;

class TGraphNotifyWindow : public QObject {
public:
  // Drain: the component's HandleGraphEvents; Graph: the component, which outlives its window.
  TGraphNotifyWindow(std::function<void()> ADrain, QObject* AGraph) : FDrain(std::move(ADrain)), FGraph(AGraph) {}

protected:
  bool event(QEvent* Event) override;

private:
  std::function<void()> FDrain;
  QObject* FGraph;
};
