// Tests of the application component: what it copies in, what Loaded hands over, the one-per-
// process rule, the form file, and the handlers it takes back when its form goes.
#include "forms/KYTTApplication.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

#include "forms/KYTTOnlyOne.h"
#include "host/core/FormFile.h"
#include "tests/forms/FormsTestSupport.h"

namespace kyt {
namespace {

static_assert(std::is_base_of_v<Exception, KYTTApplication::EKYTDuplicateError>);
static_assert(!std::is_base_of_v<KYTTOnlyOne::EKYTDuplicateError, KYTTApplication::EKYTDuplicateError> &&
              !std::is_base_of_v<KYTTApplication::EKYTDuplicateError, KYTTOnlyOne::EKYTDuplicateError>);

// A component whose Loaded fails, to make a form read fail after the others were loaded.
class TFailingLoad : public TComponent {
  KYT_CLASS(TFailingLoad, TComponent)
 public:
  explicit TFailingLoad(TComponent* owner) : TComponent(owner) {}

 protected:
  void Loaded() override { throw Exception("refused in Loaded"); }
};

const bool kRegistered = [] {
  RegisterClasses({&TFailingLoad::StaticClass(), &TKYTApplication::StaticClass()});
  return true;
}();

const char* const kLoadedForm = R"(object FormsTestForm: TFormsTestForm
  object App: TKYTApplication
    HintColor = clRed
    HintPause = 123
    ShowHint = False
    ApplicationTitle = 'Title from the form'
    OnHelp = AppHelp
    OnIdle = AppIdle
    OnMinimize = AppMinimize
  end
end
)";

// The object block of the component named name in a form text.
std::string BlockOf(const std::string& text, const std::string& name) {
  const size_t start = text.find("object " + name + ":");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find("\n  end", start) - start);
}

class ApplicationComponent : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->SetTitle("Application tests");
    Application->SetHintPause(500);
    Application->SetHintColor(clAqua);
    Application->SetShowHint(true);
  }
  void TearDown() override { form_.reset(); }

  TFormsTestForm* NewForm() {
    form_ = std::make_unique<TFormsTestForm>(nullptr);
    return form_.get();
  }
  TFormsTestForm* LoadForm(const std::string& text, bool designing = false) {
    TFormsTestForm* form = NewForm();
    if (designing) form->SetDesigning(true);
    ReadRootText(*form, text, "application.kfm");
    return form;
  }
  TKYTApplication* AppOf(TFormsTestForm* form) { return ObjectCast<TKYTApplication>(form->FindComponent("App")); }

  TApplicationState state_;
  std::unique_ptr<TFormsTestForm> form_;
};

TEST_F(ApplicationComponent, StartsWithTheRunningApplicationsSettings) {
  TIcon icon;
  icon.SetHandle(CopyOfSystemIcon(IDI_QUESTION));
  Application->SetIcon(&icon);
  Application->SetShowHint(false);
  TKYTApplication app(NewForm());
  EXPECT_EQ(app.ApplicationTitle(), "Application tests");
  EXPECT_EQ(app.HintPause(), 500);
  EXPECT_EQ(app.HintColor(), clAqua);
  EXPECT_FALSE(app.ShowHint());
  EXPECT_FALSE(app.ApplicationIcon()->Empty());
  EXPECT_NE(app.ApplicationIcon()->Handle(), Application->Icon()->Handle()) << "a copy, not the same image";
  EXPECT_EQ(app.About(), "(About)");
}

TEST_F(ApplicationComponent, LoadedHandsTheSettingsAndOnlyTheAssignedHandlersOver) {
  TForeignHandlers foreign;
  const auto activate = TNotifyEvent::Bind<&TForeignHandlers::Notify>(&foreign);
  Application->SetOnActivate(activate);
  TFormsTestForm* form = LoadForm(kLoadedForm);
  EXPECT_EQ(Application->Title(), "Title from the form");
  EXPECT_EQ(Application->HintPause(), 123);
  EXPECT_EQ(Application->HintColor(), clRed);
  EXPECT_FALSE(Application->ShowHint());
  EXPECT_EQ(Application->OnIdle(), TIdleEvent::Bind<&TFormsTestForm::AppIdle>(form));
  EXPECT_EQ(Application->OnHelp(), THelpEvent::Bind<&TFormsTestForm::AppHelp>(form));
  EXPECT_EQ(Application->OnMinimize(), TNotifyEvent::Bind<&TFormsTestForm::AppMinimize>(form));
  EXPECT_EQ(Application->OnActivate(), activate) << "an unassigned handler leaves the application's";

  // Handed over once: later changes stay in the component.
  AppOf(form)->SetHintColor(clLime);
  AppOf(form)->SetApplicationTitle("changed later");
  EXPECT_EQ(Application->HintColor(), clRed);
  EXPECT_EQ(Application->Title(), "Title from the form");
}

TEST_F(ApplicationComponent, ValuesAtTheirDefaultsAreNotStoredAndKeepTheRunningOnes) {
  Application->SetHintPause(800);
  Application->SetHintColor(ColorOf(0x0080FFFFu));
  TFormsTestForm* designed = NewForm();
  designed->SetName("FormsTestForm");
  auto* app = new TKYTApplication(designed);
  app->SetName("App");
  app->SetApplicationTitle("Stored title");
  const std::string text = WriteComponentText(*designed);
  const std::string block = BlockOf(text, "App");
  EXPECT_EQ(block.find("HintPause"), std::string::npos) << block;
  EXPECT_EQ(block.find("HintColor"), std::string::npos) << block;
  EXPECT_EQ(block.find("ShowHint"), std::string::npos) << block;
  EXPECT_EQ(block.find("About"), std::string::npos) << block;
  EXPECT_NE(block.find("ApplicationTitle = 'Stored title'"), std::string::npos) << block;

  // At run time the component starts with the running application's values and writes them back.
  Application->SetHintPause(250);
  Application->SetHintColor(clYellow);
  TFormsTestForm* loaded = LoadForm(text);
  EXPECT_EQ(AppOf(loaded)->HintPause(), 250);
  EXPECT_EQ(Application->HintPause(), 250);
  EXPECT_EQ(Application->HintColor(), clYellow);
  EXPECT_EQ(Application->Title(), "Stored title");
}

TEST_F(ApplicationComponent, EverySettingSurvivesTheFormFile) {
  TFormsTestForm* designed = NewForm();
  designed->SetName("FormsTestForm");
  // reference example: TKYTApplication
  auto* app = new TKYTApplication(designed);
  app->SetName("App");
  app->SetHintPause(42);
  app->SetHintColor(clNavy);
  app->SetShowHint(false);
  TIcon icon;
  icon.SetHandle(CopyOfSystemIcon(IDI_WARNING));
  app->SetApplicationIcon(&icon);
  // end of reference example
  const std::string text = WriteComponentText(*designed);
  EXPECT_NE(text.find("ApplicationIcon.Data"), std::string::npos) << text;
  form_.reset();  // one per process: the written one goes first

  auto copy = std::make_unique<TFormsTestForm>(nullptr);
  copy->SetDesigning(true);  // read as the designer reads it: no hand-over of handlers
  ReadRootText(*copy, text, "copy.kfm");
  TKYTApplication* read = AppOf(copy.get());
  EXPECT_EQ(read->HintPause(), 42);
  EXPECT_EQ(read->HintColor(), clNavy);
  EXPECT_FALSE(read->ShowHint());
  EXPECT_FALSE(read->ApplicationIcon()->Empty());
  EXPECT_EQ(BlockOf(WriteComponentText(*copy), "App"), BlockOf(text, "App"));
  copy.reset();
}

TEST_F(ApplicationComponent, ASecondOneIsRefusedAndLeavesOwnerAndCountAsTheyWere) {
  TFormsTestForm* form = NewForm();
  auto* first = new TKYTApplication(form);
  TFormsTestForm other(nullptr);
  try {
    new TKYTApplication(&other);
    FAIL() << "a second TKYTApplication was created";
  } catch (const KYTTApplication::EKYTDuplicateError& e) {
    EXPECT_EQ(e.Message(),
              "You can have one and ONLY ONE\r\nTKYTApplication Component\r\n in a project and it must be on the Mainform");
  }
  EXPECT_EQ(other.ComponentCount(), 0);
  EXPECT_EQ(form->ComponentCount(), 1);
  delete first;
  auto* again = new TKYTApplication(&other);  // the count went back to zero
  EXPECT_EQ(other.ComponentCount(), 1);
  delete again;
}

TEST_F(ApplicationComponent, AFormFileWithTwoIsRefusedAndLeavesNothingBehind) {
  const std::string text = R"(object FormsTestForm: TFormsTestForm
  object App: TKYTApplication
  end
  object App2: TKYTApplication
  end
end
)";
  TFormsTestForm* form = NewForm();
  EXPECT_THROW(ReadRootText(*form, text, "two.kfm"), EReadError);
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_NO_THROW(delete new TKYTApplication(form));
}

TEST_F(ApplicationComponent, FreedWithItsFormTakesItsOwnHandlersBack) {
  TForeignHandlers foreign;
  const auto activate = TNotifyEvent::Bind<&TForeignHandlers::Notify>(&foreign);
  const auto minimize = TNotifyEvent::Bind<&TForeignHandlers::Notify>(&foreign);
  Application->SetOnActivate(activate);
  LoadForm(kLoadedForm);
  Application->SetOnMinimize(minimize);  // set later by code: not the component's any more
  form_.reset();
  EXPECT_FALSE(Application->OnIdle());
  EXPECT_FALSE(Application->OnHelp());
  EXPECT_EQ(Application->OnMinimize(), minimize);
  EXPECT_EQ(Application->OnActivate(), activate);
}

TEST_F(ApplicationComponent, FreedAloneLeavesItsHandlersWithTheApplication) {
  TFormsTestForm* form = LoadForm(kLoadedForm);
  FreeComponent(AppOf(form));
  EXPECT_EQ(Application->OnIdle(), TIdleEvent::Bind<&TFormsTestForm::AppIdle>(form));
  EXPECT_EQ(Application->OnMinimize(), TNotifyEvent::Bind<&TFormsTestForm::AppMinimize>(form));
}

TEST_F(ApplicationComponent, AFailedFormReadTakesTheHandlersBack) {
  const std::string text = R"(object FormsTestForm: TFormsTestForm
  object App: TKYTApplication
    OnIdle = AppIdle
  end
  object Failing: TFailingLoad
  end
end
)";
  TFormsTestForm* form = NewForm();
  EXPECT_THROW(ReadRootText(*form, text, "failing.kfm"), EReadError);
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_FALSE(Application->OnIdle()) << "the idle handler of a form that failed to load stayed";
}

TEST_F(ApplicationComponent, InTheDesignerHandsTheSettingsButNotTheHandlersOver) {
  LoadForm(kLoadedForm, /*designing=*/true);
  EXPECT_EQ(Application->Title(), "Title from the form");
  EXPECT_EQ(Application->HintPause(), 123);
  EXPECT_FALSE(Application->OnIdle());
  EXPECT_FALSE(Application->OnMinimize());
}

}  // namespace
}  // namespace kyt
