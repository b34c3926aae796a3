#pragma once
// The toolkit's designed controls as Qt widgets: the form font, the named colours, labels that
// size themselves to their caption, panels with a centred caption, and the small browse
// buttons, each placed at its designed bounds. User-interface thread only.
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <optional>
#include <string>

class QFileDialog;
class QLineEdit;
class QToolButton;
class QWidget;

inline const QColor clSkyBlue{166, 202, 240};
inline const QColor clGreen{0, 128, 0};
inline const QColor clYellow{255, 255, 0};
inline const QColor clNavyBlue{0, 0, 128};

// The form font for a height the design gives in pixels of "MS Sans Serif", a face Linux lacks.
QFont DesignFont(int PixelHeight);
// The background and the text colour of a widget.
void SetColor(QWidget* Control, const QColor& Color);
void SetFontColor(QWidget* Control, const QColor& Color);
// A label at Left, Top sized to its caption.
QLabel* CreateLabel(QWidget* Parent, const QString& Caption, int Left, int Top);
// A new caption, and the label's size fitted to it.
void SetCaption(QLabel* Label, const std::string& Caption);
// A panel showing its caption in the middle; raised, as a panel is by default.
QLabel* CreatePanel(QWidget* Parent, const QString& Caption, const QRect& Bounds);
// A panel whose caption is drawn as large as fits, up to its font's size, its words over as
// many lines as they need; too small for a caption still readable, it shows none rather than
// part of one.
class TCaptionPanel : public QLabel {
public:
  TCaptionPanel(const QString& Caption, QWidget* Parent, const QRect& Bounds);
  // The font the caption is drawn in at the panel's size; none when no readable one fits.
  std::optional<QFont> CaptionFont() const;

protected:
  void paintEvent(QPaintEvent* Event) override;
};
// A panel with a single-line border in the window-frame colour (black), apart from its caption's.
class TBorderedPanel : public QLabel {
public:
  TBorderedPanel(const QString& Caption, QWidget* Parent, const QRect& Bounds);

protected:
  void paintEvent(QPaintEvent* Event) override;
};

// A small browse button showing an ellipsis.
QToolButton* CreateSpeedButton(QWidget* Parent, const QRect& Bounds);
// A resizable open dialog, not the native one, so it can be driven like any widget; with
// MustExist only an existing file is accepted.
QFileDialog* CreateOpenDialog(QWidget* Parent, bool MustExist);
// Runs the dialog; when the user confirms, the chosen path goes into Edit and nothing else changes.
void BrowseInto(QFileDialog* Dialog, QLineEdit* Edit);
