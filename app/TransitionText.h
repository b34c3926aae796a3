#pragma once
// A transition as text, the way the command line and the saved settings spell it: "cut",
// "crossfade:1.5", "black:0.5" (seconds, 0.2 to 5; 1 when left out).
#include <optional>
#include <string>

#include "media/Transition.h"

// None for text that names no transition or a length out of range.
std::optional<TTransition> ParseTransition(const std::string& Text);
std::string TransitionText(const TTransition& Transition);
