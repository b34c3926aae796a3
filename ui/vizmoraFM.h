#pragma once
// The video form, the program's main window: the video window fills it, it owns the main graph
// FG and the sound graph SG, takes the one player at creation (the program makes it and hands it
// in), turns the main graph's events into status texts, rewinds on a clock change and shuts the
// graph down on close.
#include <string>

#include "framework/Form.h"
#include "platform/com/ComTypes.h"

class QMenu;
class TFilterGraph;
class TPointerHider;
class TRegAuto;
class TStatusLine;
class TVideoWindow;
class TVizmoraPlayer;
struct IBaseFilter;

class TvizmoraFM : public TForm {
  Q_OBJECT

public:
  // APlayer: the player FormCreate takes as the program's; not owned.
  explicit TvizmoraFM(TVizmoraPlayer* APlayer, QWidget* AOwner = nullptr);

  TVideoWindow* VW = nullptr;
  TFilterGraph* FG = nullptr;
  QMenu* PopupMenu1 = nullptr;
  TFilterGraph* SG = nullptr;
  TRegAuto* RegAuto1 = nullptr;
  TPointerHider* PointerHider = nullptr;  // full screen, the pointer hides while still
  TStatusLine* StatusLine = nullptr;      // where the status texts go; nil: nowhere

  void FormCreate(QObject* Sender);
  void FormClose(QObject* Sender, TCloseAction& Action);

  void FGGraphBufferingData(QObject* Sender, bool Buffering);
  void FGGraphOpeningFile(QObject* Sender, bool Opening);
  void FGGraphPaused(QObject* Sender, HRESULT Result);
  void FGGraphStepComplete(QObject* Sender);
  void FGGraphEndOfSegment(QObject* Sender, LONGLONG StreamTime, ULONG NumSegment);
  void FGGraphStreamControlStarted(QObject* Sender, struct IPin* PinSender, ULONG Cookie);
  void FGGraphStreamControlStopped(QObject* Sender, struct IPin* PinSender, ULONG Cookie);
  void FGGraphClockChanged(QObject* Sender);
  void FGGraphComplete(QObject* Sender, HRESULT Result, IBaseFilter* Renderer);

  // Puts the main graph back to its start, leaving its stop position alone.
  void RewindMainGraph();

protected:
  void ReadResource() override;

private:
  void ShowStatus(const std::string& Text);

  TVizmoraPlayer* FPlayer;
};

// Program-wide references, each set once at start-up.
extern TvizmoraFM* vizmoraFM;
extern TVizmoraPlayer* ThePlayer;
