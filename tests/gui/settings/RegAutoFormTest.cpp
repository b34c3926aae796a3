// The settings component on a real form under X: creation and destruction hooks, window
// placement restored and stored, failures reported while the form goes on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "framework/ExceptionReport.h"
#include "gui/settings/TestForm.h"
#include "unit/settings/TempRegistry.h"

namespace {
const std::string Key = "Software\\Quorvex Software\\Vizmora";
const std::string Section = Key + "\\PlayLstFm";

class RegAutoForm : public ::testing::Test {
protected:
  RegAutoForm() {
    SetExceptionReporter([this](const std::string& M) { Reports.push_back(M); });
  }
  ~RegAutoForm() override {
    FreeForms();
    SetExceptionReporter(nullptr);
  }
  static std::string Stored(const std::string& Name) { return QueryValue(Section, Name).Text(); }
  static QRect Rect(const TForm* F) { return QRect(F->Left(), F->Top(), F->Width(), F->Height()); }
  static void StoreRun(int Left, int Top, int Right, int Bottom, int State) {
    SetText(Section, ".Left", std::to_string(Left));
    SetText(Section, ".Top", std::to_string(Top));
    SetText(Section, ".Right", std::to_string(Right));
    SetText(Section, ".Bottom", std::to_string(Bottom));
    SetText(Section, ".WindowState", std::to_string(State));
  }

  TTempRegistry Reg;
  std::vector<std::string> Reports;
};

TEST_F(RegAutoForm, FirstRunStoresTheLastPlacementAndTheNextRunOpensThere) {
  TTestForm* Form = CreateForm<TTestForm>();
  EXPECT_EQ(Form->CreateSender, Form->RegAuto1) << "the form's handler runs first, called by the hook";
  EXPECT_FALSE(Form->VisibleInCreate);
  EXPECT_FALSE(Form->LoadedBeforeCreate);
  EXPECT_TRUE(Form->isVisible());
  EXPECT_EQ(Rect(Form), QRect(668, 140, 423, 645));
  EXPECT_TRUE(KeyExists(Key));
  EXPECT_TRUE(Reg.KeysBelow(Key).empty()) << Reg.Text();

  Form->SetBounds(700, 150, 423, 645);
  Form->Aspect->Checked = true;
  Form->Free();
  EXPECT_EQ(Stored(".Left"), "700");
  EXPECT_EQ(Stored(".Top"), "150");
  EXPECT_EQ(Stored(".Right"), "1123");
  EXPECT_EQ(Stored(".Bottom"), "795");
  EXPECT_EQ(Stored(".WindowState"), "0");
  EXPECT_EQ(Stored("Aspect.Checked"), "1");

  TTestForm* Next = CreateForm<TTestForm>();
  EXPECT_EQ(Rect(Next), QRect(700, 150, 423, 645));
  EXPECT_TRUE(Next->Aspect->Checked);
  EXPECT_TRUE(Reports.empty());
}

TEST_F(RegAutoForm, MaximizedOpensMaximizedAndRestoresToTheStoredRectangle) {
  StoreRun(100, 120, 600, 520, 2);
  TTestForm* Form = CreateForm<TTestForm>();
  EXPECT_EQ(Form->WindowState(), wsMaximized);
  Form->SetWindowState(wsNormal);
  EXPECT_EQ(Rect(Form), QRect(100, 120, 500, 400));

  // Closed while maximized: the state and the last restored rectangle are stored.
  Form->SetWindowState(wsMaximized);
  Form->Free();
  EXPECT_EQ(Stored(".WindowState"), "2");
  EXPECT_EQ(Stored(".Left"), "100");
  EXPECT_EQ(Stored(".Right"), "600");
}

TEST_F(RegAutoForm, FixedBorderTakesOnlyThePositionButSavesTheSize) {
  StoreRun(700, 150, 2000, 2000, 0);
  TTestForm* Form = CreateForm<TTestForm>(TTestResource{bsSingle, true});
  EXPECT_EQ(Rect(Form), QRect(700, 150, 423, 645));
  Form->Free();
  EXPECT_EQ(Stored(".Right"), "1123");
  EXPECT_EQ(Stored(".Bottom"), "795");
}

TEST_F(RegAutoForm, LeftThatIsNoNumberKeepsTheResourceEdgeSilently) {
  StoreRun(0, 150, 1000, 900, 0);
  SetText(Section, ".Left", "left");
  TTestForm* Form = CreateForm<TTestForm>();
  EXPECT_EQ(Rect(Form), QRect(668, 150, 332, 750));
  EXPECT_TRUE(Reports.empty());
}

TEST_F(RegAutoForm, TopOfAnotherTypeStopsTheLoadAndTheFormOpensAsItsResourceSays) {
  StoreRun(700, 0, 1123, 795, 2);
  SetDword(Section, ".Top", 150);
  SetText(Section, "Aspect.Checked", "1");
  TTestForm* Form = CreateForm<TTestForm>();
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0], "Could not load property: Invalid data type for '.Top'");
  EXPECT_TRUE(Form->isVisible());
  EXPECT_EQ(Rect(Form), QRect(668, 140, 423, 645));
  EXPECT_EQ(Form->WindowState(), wsNormal);
  EXPECT_FALSE(Form->Aspect->Checked);
}

TEST_F(RegAutoForm, FailingCreationHandlerSkipsTheLoad) {
  StoreRun(700, 150, 1123, 795, 0);
  bool Destroyed = false;
  struct TRaising : TTestForm {
    explicit TRaising(bool* ADestroyed) {
      OnFormCreate = [] { throw Exception("creation failed"); };
      OnDestroy = [ADestroyed](QObject*) { *ADestroyed = true; };
    }
  };
  TTestForm* Form = CreateForm<TRaising>(&Destroyed);
  ASSERT_EQ(Reports, std::vector<std::string>{"creation failed"});
  EXPECT_EQ(Rect(Form), QRect(668, 140, 423, 645));
  EXPECT_TRUE(Form->isVisible());
  Form->Free();
  EXPECT_TRUE(Destroyed) << "the form's own destruction handler is chained after the save";
  EXPECT_EQ(Stored(".Left"), "668") << "saved at destruction, having loaded nothing";
}

TEST_F(RegAutoForm, DamagedRegistryIsReportedOnceAndTheFormOpensWithDefaults) {
  Reg.SetText("[not a registry file");
  TTestForm* Form = CreateForm<TTestForm>();
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_NE(Reports[0].find(Reg.FileName() + ".damaged"), std::string::npos) << Reports[0];
  EXPECT_EQ(Rect(Form), QRect(668, 140, 423, 645));
  Form->Free();
  EXPECT_EQ(Stored(".Left"), "668");
  EXPECT_EQ(Reports.size(), 1u);
}
}  // namespace

// The form's own sequence, without the settings component.
TEST(Form, CloseWithFreeDestroysTheHiddenFormAfterItsOnDestroy) {
  struct TPlain : TForm {
    void ReadResource() override { SetVisible(true); }
  };
  auto* Form = CreateForm<TPlain>();
  EXPECT_TRUE(Form->Visible());
  bool WasVisible = true, Destroyed = false;
  Form->OnClose = [](QObject*, TCloseAction& Action) { Action = caFree; };
  Form->OnDestroy = [&](QObject* Sender) {
    EXPECT_EQ(Sender, Form);
    WasVisible = Form->isVisible();
    Destroyed = true;
  };
  QPointer<TForm> Alive(Form);
  Form->close();
  EXPECT_FALSE(Destroyed) << "freed once the close is carried out";
  EXPECT_TRUE(QTest::qWaitFor([&] { return Alive.isNull(); }, 10000));
  EXPECT_TRUE(Destroyed);
  EXPECT_FALSE(WasVisible);

  std::vector<int> Order;
  auto* First = CreateForm<TPlain>();
  auto* Second = CreateForm<TPlain>();
  First->OnDestroy = [&](QObject*) { Order.push_back(1); };
  Second->OnDestroy = [&](QObject*) { Order.push_back(2); };
  Second->OnClose = [](QObject*, TCloseAction& Action) { Action = caNone; };
  Second->close();
  EXPECT_TRUE(Second->isVisible());
  FreeForms();
  EXPECT_EQ(Order, (std::vector<int>{2, 1}));
}

TEST(RegAutoOnAWidget, PlacementNeedsAForm) {
  TTempRegistry Reg;
  QWidget Window;
  Window.setObjectName("Window");
  TRegAuto Auto(&Window);
  Auto.SetSaveWindowPlace(true);
  ASSERT_TRUE(Auto.SaveWindowPlace()) << "a window owner takes the setting";
  try {
    Auto.Load();
    FAIL();
  } catch (const ERegAutoError& E) {
    EXPECT_EQ(E.Message, "Could not load property: Invalid class typecast");
  }
  try {
    Auto.Save();
    FAIL();
  } catch (const ERegAutoError& E) {
    EXPECT_EQ(E.Message, "Could not save property ");
  }
}
