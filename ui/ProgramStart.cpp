#include "ui/ProgramStart.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPointer>

#include "engine/VizmoraPlayer.h"
#include "ui/PlayLstFm.h"
#include "ui/vizmoraFM.h"

namespace {
// The main window's close ends the program: the message loop stops once the form has accepted
// its close, whatever other windows (properties dialogs) are still open.
void EndWithMainForm(TForm* Form) {
  const TEvent<QObject*, TCloseAction&> Designed = Form->OnClose;
  Form->OnClose = [Designed](QObject* Sender, TCloseAction& Action) {
    Designed(Sender, Action);
    if (Action != caNone) QCoreApplication::exit(0);
  };
}
}  // namespace

void CreateProgramForms(bool WithPlayListWindow) {
  vizmoraFM = CreateForm<TvizmoraFM>();
  EndWithMainForm(vizmoraFM);
  if (!WithPlayListWindow) return;
  PlayLstFm = CreateForm<TPlayLstFm>();
  vizmoraFM->PopupMenu1->addActions({PlayLstFm->HidePL, PlayLstFm->ShowPL, PlayLstFm->Play, PlayLstFm->Pause,
                                     PlayLstFm->Stop, PlayLstFm->FullScreen, PlayLstFm->Restore});
}

void FreeProgramForms() {
  FreeForms();
  vizmoraFM = nullptr;
  // Dialogs the application owns that outlived the forms: properties dialogs still open.
  QList<QPointer<QDialog>> Left;
  for (QWidget* Window : QApplication::topLevelWidgets())
    if (auto* Dialog = qobject_cast<QDialog*>(Window); Dialog && !Dialog->parent()) Left.push_back(Dialog);
  for (const QPointer<QDialog>& Dialog : Left) delete Dialog.data();
  delete ThePlayer;
  ThePlayer = nullptr;
}
