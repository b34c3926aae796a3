#include "settings/ControlEx.h"

#include <QPalette>
#include <QToolTip>

QColor ApplicationHintColor() { return QToolTip::palette().color(QPalette::ToolTipBase); }

void SetApplicationHintColor(const QColor& Color) {
  QPalette Palette = QToolTip::palette();
  Palette.setColor(QPalette::ToolTipBase, Color);
  QToolTip::setPalette(Palette);
}
