#pragma once
// Where the program's windows open on the desktop: the video form and the playlist window side
// by side on first start, and a properties dialog above the window that opened it, on that
// window's screen. User-interface thread.
class QWidget;
class TForm;

// Window stays above Owner's window, as a transient of it (not a child: each keeps its own
// keys and life).
void BelongTo(QWidget& Window, const QWidget& Owner);
// True while the form has the bounds of its resource: no placement was restored over them.
bool AtDesignedBounds(const TForm& Form);
// The designed bounds overlap (the list over the video's right half): both keep their sizes and
// stand side by side, the list on the right, the pair centred on the video form's screen. Where
// the screen is too narrow for both, the list keeps to its right edge.
void PlaceSideBySide(QWidget& Video, QWidget& List);
// The dialog belongs to Opener (it stays above it) and lies wholly within the free area of
// Opener's screen, at its designed place on that screen as far as it fits.
void PlaceDialog(QWidget& Dialog, QWidget& Opener);
