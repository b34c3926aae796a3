#pragma once
// The graph component's hidden notification window: the graph posts WM_GRAPHNOTIFY to it from
// any thread, and it drains the graph's events on the thread it lives on (the user-interface
// thread); WM_GRAPHRENDERED, when a render on the graph's thread has ended. Exceptions from the
// drain go to the application's exception report.
#include <QObject>

class TFilterGraph;

class TGraphNotifyWindow : public QObject {
public:
  explicit TGraphNotifyWindow(TFilterGraph* AGraph) : FGraph(AGraph) {}

protected:
  bool event(QEvent* Event) override;

private:
  TFilterGraph* FGraph;  // the component; it outlives its window
};
