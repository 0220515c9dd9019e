// Tests of the form saver on real forms, with a second run of this executable for the
// restore of a maximised form in a new process.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/core/FormFile.h"
#include "host/vcl/Application.h"
#include "host/vcl/Controls.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"
#include "persistence/KYTTFormSaver.h"
#include "tests/persistence/PersistenceTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SeamOverride.h"
#include "tests/support/StartProcess.h"

namespace kyt {

// The form the saver sits on; its class name names its values.
class TSaverTestForm : public TForm {
  KYT_CLASS(TSaverTestForm, TForm)
 public:
  explicit TSaverTestForm(TComponent* owner) : TForm(owner) {}
  static void PublishMethods(TMethodPublisher<TSaverTestForm>& m) {
    m.template Method<&TSaverTestForm::SaverRestore>("SaverRestore");
    m.template Method<&TSaverTestForm::SaverStore>("SaverStore");
  }
  void SaverRestore(TObject*) { ++restores; }
  void SaverStore(TObject*) { ++stores; }
  void FormShow(TObject*) {
    log.push_back("FormShow");
    widthSeenByFormShow = Width();
  }
  void FormClose(TObject*, TCloseAction&) { log.push_back("FormClose"); }

  int restores = 0;
  int stores = 0;
  int widthSeenByFormShow = 0;
  std::vector<std::string> log;
};

// A second form class, so that two forms of the application keep apart values.
class TOtherTestForm : public TForm {
  KYT_CLASS(TOtherTestForm, TForm)
 public:
  explicit TOtherTestForm(TComponent* owner) : TForm(owner) {}
};

namespace {

using ptest::kTestsKey;

// SetBounds is public on TControl; window classes keep their override protected.
void Place(TControl* control, int32_t left, int32_t top, int32_t width, int32_t height) {
  control->SetBounds(left, top, width, height);
}

const std::string kSaverKey = kTestsKey + "\\FormSaver";
const std::string kValuesKey = kSaverKey + "\\MySection";
const std::string kSecondRunFlag = "--kyt-persistence-second-run";

std::optional<std::string> Stored(const std::string& name) {
  const auto value = ptest::ReadRawRegValue(kValuesKey, name);
  if (!value) return std::nullopt;
  return value->text;
}

RECT NormalRect(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(window, &placement);
  return placement.rcNormalPosition;
}

// Records the order in which the saver's events and the form's own handlers run.
struct EventLog {
  std::vector<std::string>* log = nullptr;
  TObject* lastSender = nullptr;
  void Restored(TObject* s) {
    lastSender = s;
    log->push_back("OnRestore");
  }
  void Stored(TObject* s) {
    lastSender = s;
    log->push_back("OnStore");
  }
};

// Skips one named control (and so everything inside it) while storing.
struct ControlFilter {
  std::string skip;
  std::vector<std::string> asked;
  void Ask(TObject* sender, bool& result) {
    auto* control = dynamic_cast<TControl*>(sender);
    asked.push_back(control ? control->Name() : "?");
    if (control && control->Name() == skip) result = false;
  }
};

class FormSaverTest : public ::testing::Test {
 protected:
  void SetUp() override { ptest::DeleteTestKey(kSaverKey); }
  void TearDown() override {
    // Last created first, as an owner frees its components.
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) delete *it;
    forms_.clear();
    ptest::DeleteTestKey(kSaverKey);
  }

  template <class F = TSaverTestForm>
  F* NewForm(int left, int top, int width, int height) {
    auto* form = new F(Application);
    forms_.push_back(form);
    Place(form, left, top, width, height);
    return form;
  }

  static TKYTFormSaver* NewSaver(TForm* form) {
    auto* saver = new TKYTFormSaver(form);
    saver->SetName("Saver");
    saver->FormStore()->Registry()->SetPath(kSaverKey);
    return saver;
  }

  std::vector<TForm*> forms_;
};

TEST_F(FormSaverTest, StartsWithEveryStoreFlagSetAndItsOwnDataStore) {
  auto* form = NewForm(10, 10, 300, 200);
  auto* saver = new TKYTFormSaver(form);
  EXPECT_TRUE(saver->StoreSize());
  EXPECT_TRUE(saver->StoreLocation());
  EXPECT_TRUE(saver->StoreState());
  EXPECT_TRUE(saver->StoreVisible());
  EXPECT_TRUE(saver->StoreControls());
  ASSERT_NE(saver->FormStore(), nullptr);
  EXPECT_EQ(saver->FormStore()->Registry()->Path(), "Software\\Company\\Product");
  EXPECT_EQ(saver->About(), "(About)");
}

TEST_F(FormSaverTest, FirstRunKeepsBoundsAndVisibilityButSetsEveryFormNormal) {
  auto* other = NewForm<TOtherTestForm>(300, 320, 250, 150);
  other->SetWindowState(wsMaximized);
  auto* form = NewForm(40, 50, 320, 240);
  NewSaver(form);
  form->Show();
  EXPECT_EQ(form->Left(), 40);
  EXPECT_EQ(form->Top(), 50);
  EXPECT_EQ(form->Width(), 320);
  EXPECT_EQ(form->Height(), 240);
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->WindowState(), wsNormal);
  EXPECT_EQ(other->WindowState(), wsNormal);
  EXPECT_FALSE(other->Visible());

  // A shown form maximised on the screen comes back normal as well, on the real window.
  other->Show();
  other->SetWindowState(wsMaximized);
  ASSERT_TRUE(::IsZoomed(other->Handle()));
  form->Hide();
  form->Show();
  EXPECT_FALSE(::IsZoomed(other->Handle()));
  EXPECT_EQ(other->WindowState(), wsNormal);
  EXPECT_EQ(other->Width(), 250) << "its own bounds, nothing being stored";
}

TEST_F(FormSaverTest, StoresEveryFormOfTheApplicationUnderItsClassName) {
  auto* other = NewForm<TOtherTestForm>(300, 320, 250, 150);
  auto* form = NewForm(40, 50, 320, 240);
  NewSaver(form);
  form->Show();
  form->Close();
  EXPECT_EQ(Stored("TSaverTestForm_WindowState"), "2");
  EXPECT_EQ(Stored("TSaverTestForm_Width"), "320");
  EXPECT_EQ(Stored("TSaverTestForm_Height"), "240");
  EXPECT_EQ(Stored("TSaverTestForm_Top"), "50");
  EXPECT_EQ(Stored("TSaverTestForm_Left"), "40");
  EXPECT_EQ(Stored("TSaverTestForm_Visible"), "1");
  EXPECT_EQ(Stored("TOtherTestForm_WindowState"), "2");
  EXPECT_EQ(Stored("TOtherTestForm_Width"), "250");
  EXPECT_EQ(Stored("TOtherTestForm_Left"), "300");
  EXPECT_EQ(Stored("TOtherTestForm_Visible"), "0");
  (void)other;
}

TEST_F(FormSaverTest, RestoresStoredBoundsOfEveryForm) {
  auto* other = NewForm<TOtherTestForm>(300, 320, 250, 150);
  auto* form = NewForm(40, 50, 320, 240);
  NewSaver(form);
  ptest::WriteRawRegString(kValuesKey, "TSaverTestForm_Width", "410");
  ptest::WriteRawRegString(kValuesKey, "TSaverTestForm_Left", "61");
  ptest::WriteRawRegString(kValuesKey, "TOtherTestForm_Height", "177");
  ptest::WriteRawRegString(kValuesKey, "TOtherTestForm_Top", "99");
  form->Show();
  EXPECT_EQ(form->Width(), 410);
  EXPECT_EQ(form->Left(), 61);
  EXPECT_EQ(form->Height(), 240) << "a missing value leaves the property as it was";
  EXPECT_EQ(other->Height(), 177);
  EXPECT_EQ(other->Top(), 99);
}

TEST_F(FormSaverTest, MinimiseOrMaximiseCommandCapturesTheNormalBoundsFirst) {
  auto* form = NewForm(70, 80, 360, 260);
  NewSaver(form);
  form->Show();
  // The low four bits carry how the command was given (a caption double click sets 2).
  ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
  EXPECT_TRUE(::IsIconic(form->Handle()));
  EXPECT_EQ(form->WindowState(), wsMinimized);
  form->Close();
  EXPECT_EQ(Stored("TSaverTestForm_WindowState"), "1");
  EXPECT_EQ(Stored("TSaverTestForm_Width"), "360");
  EXPECT_EQ(Stored("TSaverTestForm_Height"), "260");
  EXPECT_EQ(Stored("TSaverTestForm_Top"), "80");
  EXPECT_EQ(Stored("TSaverTestForm_Left"), "70");
}

TEST_F(FormSaverTest, FormMaximisedByCodeStoresItsStateButNoBounds) {
  auto* form = NewForm(70, 80, 360, 260);
  NewSaver(form);
  form->Show();
  form->SetWindowState(wsMaximized);
  EXPECT_TRUE(::IsZoomed(form->Handle()));
  form->Close();
  EXPECT_EQ(Stored("TSaverTestForm_WindowState"), "3");
  EXPECT_EQ(Stored("TSaverTestForm_Width"), std::nullopt);
  EXPECT_EQ(Stored("TSaverTestForm_Height"), std::nullopt);
  EXPECT_EQ(Stored("TSaverTestForm_Top"), std::nullopt);
  EXPECT_EQ(Stored("TSaverTestForm_Left"), std::nullopt);
  EXPECT_EQ(Stored("TSaverTestForm_Visible"), "1");
}

BOOL WINAPI MonitorInfoWithTopTaskbar(HMONITOR monitor, LPMONITORINFO info) {
  if (!::GetMonitorInfoA(monitor, info)) return FALSE;
  info->rcWork.top = info->rcMonitor.top + 28;
  return TRUE;
}

TEST_F(FormSaverTest, OtherFormsNotNormalStoreTheirOwnNormalBounds) {
  auto* other = NewForm<TOtherTestForm>(300, 320, 250, 150);
  auto* form = NewForm(40, 50, 320, 240);
  TKYTFormSaver* saver = NewSaver(form);
  form->Show();
  // Maximised after the owner's restore, which sets every form normal on a first run.
  other->Show();
  other->SetWindowState(wsMaximized);
  ASSERT_TRUE(::IsZoomed(other->Handle()));
  const RECT normal = NormalRect(other->Handle());
  form->Close();
  EXPECT_EQ(Stored("TOtherTestForm_WindowState"), "3");
  EXPECT_EQ(Stored("TOtherTestForm_Width"), std::to_string(normal.right - normal.left));
  EXPECT_EQ(Stored("TOtherTestForm_Height"), std::to_string(normal.bottom - normal.top));
  EXPECT_EQ(Stored("TOtherTestForm_Top"), std::to_string(normal.top));
  EXPECT_EQ(Stored("TOtherTestForm_Left"), std::to_string(normal.left));
  EXPECT_EQ(Stored("TOtherTestForm_Width"), "250");
  EXPECT_EQ(Stored("TOtherTestForm_Top"), "320") << "this display has no task bar";

  // With a task bar along the top the placement is 28 pixels above the screen position, which
  // is what Top and Left take back.
  os::ScopedOverride taskbar(os::user32.GetMonitorInfoA, &MonitorInfoWithTopTaskbar);
  saver->Store();
  EXPECT_EQ(Stored("TOtherTestForm_Top"), std::to_string(normal.top + 28));
  EXPECT_EQ(Stored("TOtherTestForm_Left"), std::to_string(normal.left));
}

TEST_F(FormSaverTest, StoresAndRestoresControlsDepthFirst) {
  auto* form = NewForm(40, 50, 400, 300);
  auto* panel = new TPanel(form);
  panel->SetName("OuterPanel");
  panel->SetParent(form);
  Place(panel, 5, 6, 200, 150);
  auto* inner = new TEdit(form);
  inner->SetName("InnerEdit");
  inner->SetParent(panel);
  Place(inner, 7, 8, 90, 21);
  NewSaver(form);
  form->Show();
  form->Close();
  EXPECT_EQ(Stored("OuterPanel_Width"), "200");
  EXPECT_EQ(Stored("OuterPanel_Top"), "6");
  EXPECT_EQ(Stored("InnerEdit_Left"), "7") << "relative to its parent";
  EXPECT_EQ(Stored("InnerEdit_Visible"), "1");
  ptest::WriteRawRegString(kValuesKey, "InnerEdit_Width", "111");
  ptest::WriteRawRegString(kValuesKey, "InnerEdit_Visible", "0");
  form->Show();
  EXPECT_EQ(inner->Width(), 111);
  EXPECT_FALSE(inner->Visible());
}

TEST_F(FormSaverTest, ControlsSharingANameOnDifferentFormsShareTheirValues) {
  auto* first = NewForm(40, 50, 400, 300);
  auto* firstPanel = new TPanel(first);
  firstPanel->SetName("Shared");
  firstPanel->SetParent(first);
  Place(firstPanel, 1, 2, 100, 50);
  auto* second = NewForm<TOtherTestForm>(60, 70, 400, 300);
  auto* secondPanel = new TPanel(second);
  secondPanel->SetName("Shared");
  secondPanel->SetParent(second);
  Place(secondPanel, 3, 4, 200, 60);
  NewSaver(first);
  first->Show();
  first->Close();
  // The forms are stored in index order, so the later form's control wins.
  EXPECT_EQ(Stored("Shared_Width"), "200");
  first->Show();
  EXPECT_EQ(firstPanel->Width(), 200);
  EXPECT_EQ(firstPanel->Left(), 3);
  EXPECT_EQ(secondPanel->Width(), 200);
}

TEST_F(FormSaverTest, ControlWithAnEmptyNameIsStoredUnderTheBareSuffixes) {
  auto* form = NewForm(40, 50, 400, 300);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  Place(panel, 9, 10, 123, 45);
  NewSaver(form);
  form->Show();
  form->Close();
  EXPECT_EQ(Stored("_Width"), "123");
  EXPECT_EQ(Stored("_Left"), "9");
}

TEST_F(FormSaverTest, OnStoreControlSkipsAPanelAndItsChildrenButRestoreStillReadsThem) {
  auto* form = NewForm(40, 50, 400, 300);
  auto* panel = new TPanel(form);
  panel->SetName("SkipPanel");
  panel->SetParent(form);
  Place(panel, 5, 6, 200, 150);
  auto* inner = new TEdit(form);
  inner->SetName("InnerEdit");
  inner->SetParent(panel);
  Place(inner, 7, 8, 90, 21);
  auto* outer = new TEdit(form);
  outer->SetName("OuterEdit");
  outer->SetParent(form);
  Place(outer, 220, 8, 90, 21);
  auto* saver = NewSaver(form);
  ControlFilter filter{"SkipPanel", {}};
  saver->SetOnStoreControl(TKYTOnStoreControl::Bind<&ControlFilter::Ask>(&filter));
  form->Show();
  form->Close();
  EXPECT_EQ(Stored("SkipPanel_Width"), std::nullopt);
  EXPECT_EQ(Stored("InnerEdit_Width"), std::nullopt);
  EXPECT_EQ(Stored("OuterEdit_Width"), "90");
  EXPECT_EQ(std::count(filter.asked.begin(), filter.asked.end(), "InnerEdit"), 0)
      << "the children of a skipped control are not asked about";
  ptest::WriteRawRegString(kValuesKey, "SkipPanel_Width", "150");
  ptest::WriteRawRegString(kValuesKey, "InnerEdit_Left", "33");
  form->Show();
  EXPECT_EQ(panel->Width(), 150);
  EXPECT_EQ(inner->Left(), 33);
}

TEST_F(FormSaverTest, StoreFlagsLimitWhatIsWrittenAndRead) {
  auto* form = NewForm(40, 50, 400, 300);
  auto* panel = new TPanel(form);
  panel->SetName("FlagPanel");
  panel->SetParent(form);
  auto* saver = NewSaver(form);
  saver->SetStoreSize(false);
  saver->SetStoreVisible(false);
  saver->SetStoreControls(false);
  form->Show();
  form->Close();
  EXPECT_EQ(Stored("TSaverTestForm_Width"), std::nullopt);
  EXPECT_EQ(Stored("TSaverTestForm_Visible"), std::nullopt);
  EXPECT_EQ(Stored("TSaverTestForm_Left"), "40");
  EXPECT_EQ(Stored("FlagPanel_Left"), std::nullopt);
  saver->SetStoreState(false);
  saver->SetStoreLocation(false);
  ptest::DeleteTestKey(kSaverKey);
  saver->Store();
  EXPECT_FALSE(ptest::TestKeyExists(kValuesKey));
}

TEST_F(FormSaverTest, DisabledStoreStoresNothingAndStillFiresOnRestore) {
  auto* form = NewForm(40, 50, 400, 300);
  auto* saver = NewSaver(form);
  EventLog events{&form->log};
  saver->SetOnStore(TNotifyEvent::Bind<&EventLog::Stored>(&events));
  saver->SetOnRestore(TNotifyEvent::Bind<&EventLog::Restored>(&events));
  saver->FormStore()->SetEnabled(false);
  ptest::WriteRawRegString(kValuesKey, "TSaverTestForm_Width", "410");
  form->Show();
  EXPECT_EQ(form->Width(), 400);
  form->Close();
  EXPECT_EQ(form->log, (std::vector<std::string>{"OnRestore"}));
  EXPECT_EQ(events.lastSender, form);
  EXPECT_EQ(ptest::CountRegValues(kValuesKey), 1);
}

TEST_F(FormSaverTest, FormsOwnHandlersRunBeforeTheSaversWork) {
  auto* form = NewForm(40, 50, 400, 300);
  form->SetOnShow(TNotifyEvent::Bind<&TSaverTestForm::FormShow>(form));
  form->SetOnClose(TCloseEvent::Bind<&TSaverTestForm::FormClose>(form));
  auto* saver = NewSaver(form);
  EventLog events{&form->log};
  saver->SetOnStore(TNotifyEvent::Bind<&EventLog::Stored>(&events));
  saver->SetOnRestore(TNotifyEvent::Bind<&EventLog::Restored>(&events));
  ptest::WriteRawRegString(kValuesKey, "TSaverTestForm_Width", "410");
  form->Show();
  EXPECT_EQ(form->widthSeenByFormShow, 400) << "the form's OnShow ran before the restore";
  EXPECT_EQ(form->Width(), 410);
  form->Close();
  EXPECT_EQ(form->log,
            (std::vector<std::string>{"FormShow", "OnRestore", "FormClose", "OnStore"}));
  EXPECT_EQ(events.lastSender, form) << "Sender is the owner form";
}

TEST_F(FormSaverTest, PutsTheFormsHandlersBackWhenDestroyed) {
  auto* form = NewForm(40, 50, 400, 300);
  const auto show = TNotifyEvent::Bind<&TSaverTestForm::FormShow>(form);
  const auto close = TCloseEvent::Bind<&TSaverTestForm::FormClose>(form);
  form->SetOnShow(show);
  form->SetOnClose(close);
  auto* saver = NewSaver(form);
  EXPECT_FALSE(form->OnShow() == show);
  EXPECT_FALSE(form->OnClose() == close);
  delete saver;
  EXPECT_TRUE(form->OnShow() == show);
  EXPECT_TRUE(form->OnClose() == close);
  form->Show();
  form->Close();
  EXPECT_EQ(form->log, (std::vector<std::string>{"FormShow", "FormClose"}));
  EXPECT_FALSE(ptest::TestKeyExists(kValuesKey));
}

TEST_F(FormSaverTest, EmptyHandlersArePutBackEmpty) {
  auto* form = NewForm(40, 50, 400, 300);
  delete NewSaver(form);
  EXPECT_FALSE(form->OnShow());
  EXPECT_FALSE(form->OnClose());
}

TEST_F(FormSaverTest, LeavesTheFormsEventsAloneInTheDesigningState) {
  auto* form = NewForm(40, 50, 400, 300);
  const auto show = TNotifyEvent::Bind<&TSaverTestForm::FormShow>(form);
  form->SetOnShow(show);
  form->SetDesigning(true);
  auto* saver = NewSaver(form);
  EXPECT_TRUE(saver->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(form->OnShow() == show);
  EXPECT_FALSE(form->OnClose());
  delete saver;
  EXPECT_TRUE(form->OnShow() == show);
  form->SetDesigning(false);
}

TEST_F(FormSaverTest, StoreAndRestoreRunTheRoutinesOnDemand) {
  auto* form = NewForm(40, 50, 400, 300);
  auto* saver = NewSaver(form);
  saver->Store();
  EXPECT_EQ(Stored("TSaverTestForm_Width"), "400");
  ptest::WriteRawRegString(kValuesKey, "TSaverTestForm_Width", "333");
  saver->Restore();
  EXPECT_EQ(form->Width(), 333);
}

TEST_F(FormSaverTest, ReadHelpersAnswerTheirDefaultAndKeepItAsTheErrorValue) {
  auto* form = NewForm(40, 50, 400, 300);
  auto* saver = NewSaver(form);
  EXPECT_EQ(saver->ReadInt("Missing", 42), 42);
  EXPECT_EQ(saver->FormStore()->ErrorInt(), 42);
  EXPECT_EQ(saver->ReadStr("Missing", "dflt"), "dflt");
  EXPECT_EQ(saver->FormStore()->ErrorStr(), "dflt");
  EXPECT_TRUE(saver->ReadBool("Missing", true));
  EXPECT_TRUE(saver->FormStore()->ErrorBool());
  saver->FormStore()->WriteInt("Present", 7);
  EXPECT_EQ(saver->ReadInt("Present", 42), 7);
}

TEST_F(FormSaverTest, FormFileRoundTripKeepsTheSaversSettingsAndEvents) {
  std::unique_ptr<TSaverTestForm> form(new TSaverTestForm(nullptr));
  form->SetName("SaverForm");
  form->SetDesigning(true);
  auto* saver = new TKYTFormSaver(form.get());
  saver->SetName("Saver");
  saver->FormStore()->Registry()->SetPath("Software\\KYT\\Showcase");
  saver->FormStore()->SetDatatype(sIniFile);
  saver->FormStore()->Inifile()->SetFilename("saver.ini");
  saver->SetStoreLocation(false);
  saver->SetStoreControls(false);
  saver->SetOnRestore(TNotifyEvent::Bind<&TSaverTestForm::SaverRestore>(form.get()));
  saver->SetOnStore(TNotifyEvent::Bind<&TSaverTestForm::SaverStore>(form.get()));
  const std::string text = WriteComponentText(*form);
  EXPECT_NE(text.find("FormStore.Registry.Path = 'Software\\KYT\\Showcase'"), std::string::npos)
      << text;
  EXPECT_NE(text.find("StoreControls = False"), std::string::npos) << text;
  EXPECT_NE(text.find("StoreLocation = False"), std::string::npos) << text;
  EXPECT_EQ(text.find("StoreSize"), std::string::npos) << text;
  EXPECT_NE(text.find("OnRestore = SaverRestore"), std::string::npos) << text;

  std::unique_ptr<TSaverTestForm> copy(new TSaverTestForm(nullptr));
  ReadRootText(*copy, text, "SaverForm.kfm");
  auto* read = dynamic_cast<TKYTFormSaver*>(copy->FindComponent("Saver"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->FormStore()->Registry()->Path(), "Software\\KYT\\Showcase");
  EXPECT_EQ(read->FormStore()->Datatype(), sIniFile);
  EXPECT_EQ(read->FormStore()->Inifile()->Filename(), "saver.ini");
  EXPECT_FALSE(read->StoreLocation());
  EXPECT_FALSE(read->StoreControls());
  EXPECT_TRUE(read->StoreSize());
  read->OnRestore()(copy.get());
  EXPECT_EQ(copy->restores, 1);
  EXPECT_EQ(WriteComponentText(*copy), text);
}

TEST_F(FormSaverTest, FormFileAlwaysWritesStoreControls) {
  std::unique_ptr<TSaverTestForm> form(new TSaverTestForm(nullptr));
  form->SetName("SaverForm");
  form->SetDesigning(true);
  (new TKYTFormSaver(form.get()))->SetName("Saver");
  const std::string text = WriteComponentText(*form);
  EXPECT_NE(text.find("StoreControls = True"), std::string::npos) << text;
  EXPECT_EQ(text.find("StoreState"), std::string::npos) << text;
}

// The maximised form is closed in this process and shown again in a second run of this
// executable, which reports what it saw through the registry.
const std::string kSecondRunKey = kTestsKey + "\\FormSaverSecondRun";

void SecondRunRestoresNormalBoundsThenMaximises() {
  ptest::DeleteTestKey(kSecondRunKey);
  auto* form = new TSaverTestForm(Application);
  Place(form, 10, 10, 200, 150);
  auto* saver = new TKYTFormSaver(form);
  saver->FormStore()->Registry()->SetPath(kSaverKey);
  form->Show();
  PumpFor(50);
  const RECT normal = NormalRect(form->Handle());
  const std::string report = std::to_string(normal.left) + "," + std::to_string(normal.top) +
                             "," + std::to_string(normal.right - normal.left) + "," +
                             std::to_string(normal.bottom - normal.top) + "," +
                             (::IsZoomed(form->Handle()) ? "zoomed" : "not zoomed") + "," +
                             (form->WindowState() == wsMaximized ? "wsMaximized" : "other");
  ptest::WriteRawRegString(kSecondRunKey, "Report", report);
  delete form;
  EXPECT_EQ(report, "130,140,420,310,zoomed,wsMaximized");
}

const bool kSecondRunRegistered = [] {
  if (std::strstr(::GetCommandLineA(), kSecondRunFlag.c_str()) != nullptr) {
    ::testing::RegisterTest("FormSaverSecondRun", "RestoresNormalBoundsThenMaximises", nullptr,
                            nullptr, __FILE__, __LINE__, [] {
                              struct Body : ::testing::Test {
                                void TestBody() override {
                                  SecondRunRestoresNormalBoundsThenMaximises();
                                }
                              };
                              return static_cast<::testing::Test*>(new Body);
                            });
  }
  return true;
}();

TEST_F(FormSaverTest, RestoresNormalBoundsAfterMaximiseInTheNextRun) {
  ptest::DeleteTestKey(kSecondRunKey);
  auto* form = NewForm(130, 140, 420, 310);
  NewSaver(form);
  form->Show();
  ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(::IsZoomed(form->Handle()));
  ASSERT_EQ(form->WindowState(), wsMaximized);
  ASSERT_NE(form->Width(), 420) << "the maximised form is larger than its normal bounds";
  form->Close();
  EXPECT_EQ(Stored("TSaverTestForm_WindowState"), "3");
  EXPECT_EQ(Stored("TSaverTestForm_Width"), "420");
  EXPECT_EQ(Stored("TSaverTestForm_Height"), "310");
  EXPECT_EQ(Stored("TSaverTestForm_Top"), "140");
  EXPECT_EQ(Stored("TSaverTestForm_Left"), "130");
  delete form;
  forms_.clear();

  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = std::string("\"") + exe +
                        "\" --gtest_filter=FormSaverSecondRun.* " + kSecondRunFlag;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_EQ(StartProcess(command, "", startup, process, false), 0u);
  const DWORD waited = ::WaitForSingleObject(process.hProcess, 60000);
  if (waited != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 99);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "the second run did not end in time";
  const auto report = ptest::ReadRawRegValue(kSecondRunKey, "Report");
  ptest::DeleteTestKey(kSecondRunKey);
  ASSERT_TRUE(report.has_value()) << "the second run did not report";
  EXPECT_EQ(report->text, "130,140,420,310,zoomed,wsMaximized");
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace kyt
