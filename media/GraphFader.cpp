#include "media/GraphFader.h"

#include <algorithm>

#include "framework/Timer.h"

namespace {
constexpr int TickMs = 10;  // steps finer than a frame at 60 frames/s
}

TGraphFader::TGraphFader(int Ms, std::function<void(float)> Step) : FMs(std::max(1, Ms)), FStep(std::move(Step)), FTimer(CreateTimer()) {
  FTimer->SetInterval(TickMs);
  FTimer->OnTimer = [this](ITimer*) { Tick(); };
  FClock.start();
  FTimer->SetEnabled(true);
}

TGraphFader::~TGraphFader() = default;

void TGraphFader::SetRunning(bool Running) {
  if (FDone || Running == FTimer->Enabled()) return;
  if (Running)
    FClock.restart();
  else
    FElapsed += FClock.elapsed();
  FTimer->SetEnabled(Running);
}

void TGraphFader::Tick() {
  FElapsed += FClock.restart();
  const float Level = std::min(1.0f, static_cast<float>(FElapsed) / static_cast<float>(FMs));
  if (Level >= 1.0f) {
    FDone = true;
    FTimer->SetEnabled(false);
  }
  FStep(Level);
}
