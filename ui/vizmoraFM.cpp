#include "ui/vizmoraFM.h"

#include <QMenu>
#include <QVBoxLayout>

#include "app/StatusLine.h"
#include "engine/VizmoraPlayer.h"
#include "media/FilterGraph.h"
#include "media/VideoWindow.h"
#include "settings/RegAuto.h"
#include "ui/DesignControls.h"
#include "ui/PointerHider.h"

TvizmoraFM* vizmoraFM = nullptr;
TVizmoraPlayer* ThePlayer = nullptr;

TvizmoraFM::TvizmoraFM(TVizmoraPlayer* APlayer, QWidget* AOwner) : TForm(AOwner), FPlayer(APlayer) {}

void TvizmoraFM::ReadResource() {
  setObjectName("vizmoraFM");
  SetCaption("Quorvex Vizmora! v1.3");
  SetBounds(249, 164, 783, 647);
  QPalette Face = palette();
  Face.setColor(QPalette::Window, palette().color(QPalette::Button));
  setPalette(Face);
  setFont(DesignFont(11));

  VW = CreateComponent<TVideoWindow>("VW");
  VW->SetMode(vmVMR);
  VW->VMROptions()->SetMode(vmrWindowless);
  auto* Client = new QVBoxLayout(this);  // VW fills the client area
  Client->setContentsMargins(0, 0, 0, 0);
  Client->addWidget(VW);

  FG = CreateComponent<TFilterGraph>("FG");
  FG->SetActive(true);
  FG->SetAutoCreate(true);
  FG->SetGraphEdit(true);
  FG->OnGraphBufferingData.Bind(this, &TvizmoraFM::FGGraphBufferingData);
  FG->OnGraphClockChanged.Bind(this, &TvizmoraFM::FGGraphClockChanged);
  FG->OnGraphComplete.Bind(this, &TvizmoraFM::FGGraphComplete);
  FG->OnGraphEndOfSegment.Bind(this, &TvizmoraFM::FGGraphEndOfSegment);
  FG->OnGraphOpeningFile.Bind(this, &TvizmoraFM::FGGraphOpeningFile);
  FG->OnGraphPaused.Bind(this, &TvizmoraFM::FGGraphPaused);
  FG->OnGraphStepComplete.Bind(this, &TvizmoraFM::FGGraphStepComplete);
  FG->OnGraphStreamControlStarted.Bind(this, &TvizmoraFM::FGGraphStreamControlStarted);
  FG->OnGraphStreamControlStopped.Bind(this, &TvizmoraFM::FGGraphStreamControlStopped);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& At) {
    if (!PopupMenu1->isEmpty()) PopupMenu1->popup(mapToGlobal(At));
  });
  VW->SetPopupMenu(PopupMenu1);

  SG = CreateComponent<TFilterGraph>("SG");
  SG->SetActive(true);
  SG->SetAutoCreate(true);

  RegAuto1 = CreateComponent<TRegAuto>("RegAuto1");
  RegAuto1->SetProps({"VW.VMROptions.KeepAspectRatio"});
  RegAuto1->SetSaveWindowPlace(true);
  RegAuto1->SetRegPath("Software\\Quorvex Software\\Vizmora");
  RegAuto1->SetIniFile("$HOME/.Vizmora");

  // The reference to FG is resolved once every component exists; FG is active by now, so
  // joining creates the first renderer at once.
  VW->SetFilterGraph(FG);
  PointerHider = new TPointerHider(this, [this] { return FullScreen(); });
  OnCreate.Bind(this, &TvizmoraFM::FormCreate);
  OnClose.Bind(this, &TvizmoraFM::FormClose);
  SetVisible(true);
}

void TvizmoraFM::FormCreate(QObject*) { ThePlayer = FPlayer; }

void TvizmoraFM::FormClose(QObject*, TCloseAction& Action) {
  Action = caFree;
  FG->Stop();
  FG->ClearGraph();
  FG->SetActive(false);
}

void TvizmoraFM::ShowStatus(const std::string& Text) {
  if (StatusLine) StatusLine->Show(Text);
}

void TvizmoraFM::FGGraphBufferingData(QObject*, bool Buffering) {
  if (Buffering) ShowStatus("Buffering Data");
}

void TvizmoraFM::FGGraphOpeningFile(QObject*, bool Opening) {
  if (Opening) ShowStatus("Opening File");
}

void TvizmoraFM::FGGraphPaused(QObject*, HRESULT) { ShowStatus("Paused"); }

void TvizmoraFM::FGGraphStepComplete(QObject*) { ShowStatus("Step Complete"); }

void TvizmoraFM::FGGraphEndOfSegment(QObject*, LONGLONG, ULONG NumSegment) {
  ShowStatus("End of segment " + std::to_string(NumSegment));
}

void TvizmoraFM::FGGraphStreamControlStarted(QObject*, IPin*, ULONG) { ShowStatus("Stream Control Started"); }

void TvizmoraFM::FGGraphStreamControlStopped(QObject*, IPin*, ULONG) { ShowStatus("Stream Control Stoped"); }

void TvizmoraFM::FGGraphClockChanged(QObject*) { RewindMainGraph(); }

void TvizmoraFM::FGGraphComplete(QObject*, HRESULT, IBaseFilter*) {}

void TvizmoraFM::RewindMainGraph() {
  ComPtr<IMediaSeeking> Seeking;
  if (FAILED(FG->QueryInterface(Seeking))) return;
  LONGLONG Duration = 0;
  Seeking->GetDuration(&Duration);
  LONGLONG Start = 0;
  Seeking->SetPositions(&Start, AM_SEEKING_AbsolutePositioning, &Duration, AM_SEEKING_NoPositioning);
}
