#include "ui/TransitionMenu.h"

#include <QActionGroup>
#include <QMenu>

#include "app/TransitionText.h"

TTransitionMenu::TTransitionMenu(QWidget* Parent)
    : QObject(Parent), FMenu(new QMenu(QStringLiteral("&Transition"), Parent)), FGroup(new QActionGroup(this)) {
  FMenu->setObjectName("TransitionMenu");
  for (const auto& [Kind, Caption] : {std::pair{tkCut, "Cut"}, {tkCrossFade, "Cross-fade"}, {tkThroughBlack, "Fade Through Black"}}) {
    QAction* Item = FMenu->addAction(QString::fromUtf8(Caption));
    Item->setCheckable(true);
    Item->setChecked(Kind == FValue.Kind);
    Item->setData(int(Kind));
    FGroup->addAction(Item);
    connect(Item, &QAction::triggered, this, [this, Kind = Kind] {
      TTransition Chosen = FValue;
      Chosen.Kind = Kind;
      SetValue(Chosen);
    });
  }
}

void TTransitionMenu::SetValue(const TTransition& Value) {
  FValue = Value;
  for (QAction* Item : FGroup->actions()) Item->setChecked(Item->data().toInt() == int(Value.Kind));
  if (OnChange) OnChange(FValue);
}

QString TTransitionMenu::Text() const { return QString::fromStdString(TransitionText(FValue)); }

void TTransitionMenu::SetText(const QString& Text) {
  if (const auto Value = ParseTransition(Text.toStdString())) SetValue(*Value);
}
