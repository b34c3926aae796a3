#pragma once
// The Control menu's choice of how entries give way to each other ("Cut", "Cross-fade", "Fade
// Through Black"), kept by the settings store as its text ("crossfade:1.5") and told to
// whoever applies it.
#include <QObject>
#include <QString>
#include <functional>

#include "media/Transition.h"

class QActionGroup;
class QMenu;
class QWidget;

class TTransitionMenu : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Text READ Text WRITE SetText)

public:
  explicit TTransitionMenu(QWidget* Parent);

  QMenu* Menu() const { return FMenu; }
  const TTransition& Value() const { return FValue; }
  // Checks its item and tells OnChange.
  void SetValue(const TTransition& Value);
  QString Text() const;
  void SetText(const QString& Text);  // text that names no transition is ignored

  std::function<void(const TTransition&)> OnChange;

private:
  QMenu* FMenu;
  QActionGroup* FGroup;
  TTransition FValue;
};
