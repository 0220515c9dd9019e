// Test classes: logging bodies and registration.
#include "tests/core/TestComponents.h"

namespace kyt::test {

namespace {
int gLive = 0;
int gLiveForms = 0;
}

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

TTestComponent::TTestComponent(TComponent* owner) : TComponent(owner) { ++gLive; }

TTestComponent::~TTestComponent() {
  --gLive;
  Log().push_back("~" + Name() + (ComponentState().Contains(csDestroying) ? "+destroying" : ""));
}

int TTestComponent::LiveCount() { return gLive; }

void TTestComponent::SetCount(int32_t v) {
  FCount = v;
  ++SetCountCalls;
  SetCountSawLoading = ComponentState().Contains(csLoading) && ComponentState().Contains(csReading);
}

void TTestComponent::SetBuddy(TTestComponent* v) {
  if (FBuddy == v) return;
  if (FBuddy) FBuddy->RemoveFreeNotification(this);
  FBuddy = v;
  if (FBuddy) FBuddy->FreeNotification(this);
}

void TTestComponent::Loaded() {
  LoadedSawLoading = ComponentState().Contains(csLoading);
  TComponent::Loaded();
  LoadedSawBuddy = FBuddy ? FBuddy->Name() : std::string();
  Log().push_back("Loaded:" + Name());
}

void TTestComponent::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  ++NotificationsRemoved;
  if (component == FBuddy) FBuddy = nullptr;
}

TTestForm::TTestForm(TComponent* owner) : TComponent(owner) { ++gLiveForms; }
TTestForm::~TTestForm() { --gLiveForms; }
int TTestForm::LiveCount() { return gLiveForms; }

void TTestForm::ItemChanged(TObject* sender) { ChangedSenders.push_back(sender); }
void TTestForm::OtherChanged(TObject* sender) { ChangedSenders.push_back(sender); }
void TTestForm::Counted(TObject*, int& count) { ++count; }

void TTestForm::Loaded() {
  TComponent::Loaded();
  LoadedCalled = true;
  Log().push_back("Loaded:" + Name());
}

void RegisterTestClasses() {
  RegisterClasses({&TTestComponent::StaticClass(), &TTestPlain::StaticClass(), &TTestDerived::StaticClass(),
                   &TTestForm::StaticClass(), &TTestThrowing::StaticClass(), &TTestFailingLoaded::StaticClass(),
                   &TTestItem::StaticClass(), &TTestSettings::StaticClass(), &TTestDerivedForm::StaticClass(),
                   &TTestFrame::StaticClass()});
}

const char* const kTestFrameText =
    "object TestFrame: TTestFrame\r\n"
    "  Caption = 'frame'\r\n"
    "  object Inner: TTestComponent\r\n"
    "    Count = 1\r\n"
    "  end\r\n"
    "  object Second: TTestComponent\r\n"
    "  end\r\n"
    "end\r\n";

TTestFrameSource::TTestFrameSource()
    : FKept(SetFormFileSource([](const TClassInfo& cls, std::string& text, std::string& fileName) {
        if (&cls != &TTestFrame::StaticClass()) return false;
        text = kTestFrameText;
        fileName = "TestFrame.kfm";
        return true;
      })) {}

TTestFrameSource::~TTestFrameSource() { SetFormFileSource(std::move(FKept)); }

}  // namespace kyt::test
