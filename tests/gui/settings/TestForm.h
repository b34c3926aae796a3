#pragma once
// A form shaped like the playlist window: its resource carries a settings component that keeps
// the window placement and one action's checked state.
#include <string>
#include <vector>

#include "framework/Form.h"
#include "settings/RegAuto.h"
#include "unit/settings/TestComponents.h"

struct TTestResource {
  TFormBorderStyle BorderStyle = bsSizeToolWin;
  bool Visible = true;
};

class TTestForm : public TForm {
  Q_OBJECT

public:
  explicit TTestForm(TTestResource AResource = {}) : FResource(AResource) { setObjectName("PlayLstFm"); }

  TTestAction* Aspect = nullptr;
  TRegAuto* RegAuto1 = nullptr;
  // What the form's own creation handler saw.
  QObject* CreateSender = nullptr;
  bool VisibleInCreate = true;
  bool LoadedBeforeCreate = false;
  TEvent<> OnFormCreate;  // a test's own step inside the creation handler

protected:
  void ReadResource() override {
    SetCaption("Play List");
    SetBounds(668, 140, 423, 645);
    SetBorderStyle(FResource.BorderStyle);
    SetVisible(FResource.Visible);
    Aspect = CreateComponent<TTestAction>("Aspect");
    RegAuto1 = CreateComponent<TRegAuto>("RegAuto1");
    RegAuto1->SetProps({"Aspect.Checked"});
    RegAuto1->SetSaveWindowPlace(true);
    RegAuto1->SetRegPath("Software\\Quorvex Software\\Vizmora");
    RegAuto1->SetIniFile("$HOME/.Vizmora");
    OnCreate.Bind(this, &TTestForm::FormCreate);
  }

private:
  void FormCreate(QObject* Sender) {
    CreateSender = Sender;
    VisibleInCreate = isVisible();
    LoadedBeforeCreate = Left() != 668;
    OnFormCreate();
  }

  TTestResource FResource;
};
