#pragma once
// The graph component's state and mode enumerations, shared with the entries that drive it.
#include <QObject>

namespace GraphTypes {
Q_NAMESPACE

// What GraphState answers.
enum TGraphState { gsNone = 0, gsStopped = 1, gsPaused = 2, gsRunning = 3 };
Q_ENUM_NS(TGraphState)

// Which graph object activation builds.
enum TGraphMode { gmNormal = 0, gmCapture = 1, gmDVD = 2 };
Q_ENUM_NS(TGraphMode)
}  // namespace GraphTypes

using GraphTypes::TGraphMode;
using GraphTypes::TGraphState;
using enum GraphTypes::TGraphMode;
using enum GraphTypes::TGraphState;
