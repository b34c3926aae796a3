#include "app/TransitionText.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
struct TKindName {
  TTransitionKind Kind;
  const char* Name;
};
constexpr TKindName Names[] = {{tkCut, "cut"}, {tkCrossFade, "crossfade"}, {tkThroughBlack, "black"}};
}  // namespace

std::optional<TTransition> ParseTransition(const std::string& Text) {
  const QString Given = QString::fromStdString(Text).trimmed();
  const qsizetype Colon = Given.indexOf(':');
  const QString Name = Colon < 0 ? Given : Given.left(Colon);
  TTransition Result;
  const auto Kind = std::find_if(std::begin(Names), std::end(Names), [&](const TKindName& N) { return Name == N.Name; });
  if (Kind == std::end(Names)) return std::nullopt;
  Result.Kind = Kind->Kind;
  if (Colon < 0) return Result;
  bool Number = false;
  const double Seconds = Given.mid(Colon + 1).toDouble(&Number);
  const int Ms = Number ? static_cast<int>(std::lround(Seconds * 1000)) : 0;
  if (!Number || Ms < TTransition::MinMs || Ms > TTransition::MaxMs || Result.Kind == tkCut) return std::nullopt;
  Result.Ms = Ms;
  return Result;
}

std::string TransitionText(const TTransition& Transition) {
  if (!Transition.Fades()) return "cut";
  return std::string(Names[Transition.Kind].Name) + ":" + QString::number(Transition.Ms / 1000.0).toStdString();
}
