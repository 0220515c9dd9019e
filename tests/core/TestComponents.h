// Test classes covering every published property kind, shared by the core tests.
#ifndef KYT_TESTS_CORE_TESTCOMPONENTS_H
#define KYT_TESTS_CORE_TESTCOMPONENTS_H

#include <string>
#include <vector>

#include "host/core/Core.h"

namespace kyt::test {

// What the test classes did, in order ("Loaded:Name", "~Name", ...).
std::vector<std::string>& Log();

enum TTestMode : uint8_t { tmOff, tmSlow, tmFast };
KYT_ENUM_INFO(TTestMode, "tmOff", "tmSlow", "tmFast")
enum TTestOption : uint8_t { toBold, toItalic, toUnderline };
KYT_ENUM_INFO(TTestOption, "toBold", "toItalic", "toUnderline")
using TTestOptions = TSet<TTestOption>;

// Owned sub-object of a sub-object.
class TTestInner : public TPersistent {
  KYT_CLASS(TTestInner, TPersistent)
 public:
  static void Publish(TPublisher<TTestInner>& p) {
    p.Property("Flag", &TTestInner::Flag, &TTestInner::SetFlag).Default(false);
    p.Property("Lines", &TTestInner::Lines, &TTestInner::SetLines);
  }
  bool Flag() const { return FFlag; }
  void SetFlag(bool v) { FFlag = v; }
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(const TStrings* v) { FLines->Assign(v); }

 private:
  bool FFlag = false;
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
};

// Owned class-typed sub-object, streamed as dotted sub-properties.
class TTestSettings : public TPersistent {
  KYT_CLASS(TTestSettings, TPersistent)
 public:
  static void Publish(TPublisher<TTestSettings>& p) {
    p.Property("Path", &TTestSettings::Path, &TTestSettings::SetPath);
    p.Property("Depth", &TTestSettings::Depth, &TTestSettings::SetDepth).Default(5);
    p.Property("Inner", &TTestSettings::Inner, &TTestSettings::SetInner);
  }
  const std::string& Path() const { return FPath; }
  void SetPath(const std::string& v) { FPath = v; }
  int32_t Depth() const { return FDepth; }
  void SetDepth(int32_t v) { FDepth = v; }
  TTestInner* Inner() const { return FInner.get(); }
  void SetInner(TTestInner* v) { CopyPublishedProperties(*v, *FInner); }

 private:
  std::string FPath;
  int32_t FDepth = 5;
  std::unique_ptr<TTestInner> FInner = std::make_unique<TTestInner>();
};

class TTestItem : public TCollectionItem {
  KYT_CLASS(TTestItem, TCollectionItem)
 public:
  static void Publish(TPublisher<TTestItem>& p) {
    p.Property("Caption", &TTestItem::Caption, &TTestItem::SetCaption);
    p.Property("Weight", &TTestItem::Weight, &TTestItem::SetWeight).Default(0);
  }
  using TCollectionItem::TCollectionItem;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v) { FCaption = v; }
  int32_t Weight() const { return FWeight; }
  void SetWeight(int32_t v) { FWeight = v; }

 private:
  std::string FCaption;
  int32_t FWeight = 0;
};

class TTestItems : public TOwnedCollection<TTestItem> {
  KYT_CLASS(TTestItems, TOwnedCollection<TTestItem>)
 public:
  using TOwnedCollection<TTestItem>::TOwnedCollection;
};

// A component publishing one property of every kind; counts its live instances.
class TTestComponent : public TComponent {
  KYT_CLASS(TTestComponent, TComponent)
 public:
  static void Publish(TPublisher<TTestComponent>& p) {
    p.Property("Count", &TTestComponent::Count, &TTestComponent::SetCount).Default(0);
    p.Property("Small", &TTestComponent::Small, &TTestComponent::SetSmall).Default(1);
    p.Property("Wide", &TTestComponent::Wide, &TTestComponent::SetWide).Default(2);
    p.Property("Big", &TTestComponent::Big, &TTestComponent::SetBig).Default(0);
    p.Property("Flag", &TTestComponent::Flag, &TTestComponent::SetFlag).Default(true);
    p.Property("Letter", &TTestComponent::Letter, &TTestComponent::SetLetter).Default('a');
    p.Property("Caption", &TTestComponent::Caption, &TTestComponent::SetCaption);
    p.Property("Mode", &TTestComponent::Mode, &TTestComponent::SetMode).Default(tmSlow);
    p.Property("Options", &TTestComponent::Options, &TTestComponent::SetOptions).Default({toBold});
    p.Property("Color", &TTestComponent::Color, &TTestComponent::SetColor).Default(clBtnFace);
    p.Property("Settings", &TTestComponent::Settings, &TTestComponent::SetSettings);
    p.Property("Lines", &TTestComponent::Lines, &TTestComponent::SetLines);
    p.Property("Items", &TTestComponent::Items, &TTestComponent::SetItems);
    p.Property("Buddy", &TTestComponent::Buddy, &TTestComponent::SetBuddy);
    p.Property("Icon", &TTestComponent::Icon, &TTestComponent::SetIcon);
    p.Property("About", &TTestComponent::About, &TTestComponent::SetAbout)
        .TypeName("TKYTAboutStr").MaxLength(10).Stored(TStored::Never);
    p.Property("Hint", &TTestComponent::Hint, &TTestComponent::SetHint)
        .StoredIf([](const TTestComponent& c) { return !c.Hint().empty(); });
    p.Property("Zoom", &TTestComponent::Zoom, &TTestComponent::SetZoom);
    p.Property("Stamp", &TTestComponent::Stamp, &TTestComponent::SetStamp).TypeName("TDateTime")
        .StoredIf([](const TTestComponent& c) { return c.Stamp() != 1.0; });
    p.Property("OnChange", &TTestComponent::OnChange, &TTestComponent::SetOnChange);
  }

  explicit TTestComponent(TComponent* owner);
  ~TTestComponent() override;
  static int LiveCount();

  int32_t Count() const { return FCount; }
  void SetCount(int32_t v);
  uint8_t Small() const { return FSmall; }
  void SetSmall(uint8_t v) { FSmall = v; }
  uint16_t Wide() const { return FWide; }
  void SetWide(uint16_t v) { FWide = v; }
  int64_t Big() const { return FBig; }
  void SetBig(int64_t v) { FBig = v; }
  bool Flag() const { return FFlag; }
  void SetFlag(bool v) { FFlag = v; }
  char Letter() const { return FLetter; }
  void SetLetter(char v) { FLetter = v; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v) { FCaption = v; }
  TTestMode Mode() const { return FMode; }
  void SetMode(TTestMode v) { FMode = v; }
  TTestOptions Options() const { return FOptions; }
  void SetOptions(TTestOptions v) { FOptions = v; }
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }
  TTestSettings* Settings() const { return FSettings.get(); }
  void SetSettings(const TTestSettings* v) { CopyPublishedProperties(*v, *FSettings); }
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(const TStrings* v) { FLines->Assign(v); }
  TTestItems* Items() const { return FItems.get(); }
  void SetItems(const TTestItems* v) { FItems->Assign(v); }
  TTestComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TTestComponent* v);
  const std::vector<uint8_t>& Icon() const { return FIcon; }
  void SetIcon(const std::vector<uint8_t>& v) { FIcon = v; }
  const std::string& About() const { return FAbout; }
  void SetAbout(const std::string& v) { FAbout = v; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& v) { FHint = v; }
  double Zoom() const { return FZoom; }
  void SetZoom(double v) { FZoom = v; }
  double Stamp() const { return FStamp; }
  void SetStamp(double v) { FStamp = v; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }

  // What Loaded saw: the buddy's name and whether every other component was assigned already.
  std::string LoadedSawBuddy;
  bool LoadedSawLoading = false;
  int NotificationsRemoved = 0;
  int SetCountCalls = 0;
  bool SetCountSawLoading = false;

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  int32_t FCount = 0;
  uint8_t FSmall = 1;
  uint16_t FWide = 2;
  int64_t FBig = 0;
  bool FFlag = true;
  char FLetter = 'a';
  std::string FCaption;
  TTestMode FMode = tmSlow;
  TTestOptions FOptions{toBold};
  TColor FColor = clBtnFace;
  std::unique_ptr<TTestSettings> FSettings = std::make_unique<TTestSettings>();
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  std::unique_ptr<TTestItems> FItems = std::make_unique<TTestItems>(this);
  TTestComponent* FBuddy = nullptr;
  std::vector<uint8_t> FIcon;
  std::string FAbout;
  std::string FHint;
  double FZoom = 0;
  double FStamp = 0;
  TNotifyEvent FOnChange;
};

// A descendant that publishes nothing of its own, and one that adds a property.
class TTestPlain : public TTestComponent {
  KYT_CLASS(TTestPlain, TTestComponent)
 public:
  using TTestComponent::TTestComponent;
};

class TTestDerived : public TTestComponent {
  KYT_CLASS(TTestDerived, TTestComponent)
 public:
  static void Publish(TPublisher<TTestDerived>& p) {
    p.Property("Extra", &TTestDerived::Extra, &TTestDerived::SetExtra).Default(7);
  }
  using TTestComponent::TTestComponent;
  int32_t Extra() const { return FExtra; }
  void SetExtra(int32_t v) { FExtra = v; }

 private:
  int32_t FExtra = 7;
};

// A component whose constructor throws after the base inserted it into the owner.
class TTestThrowing : public TComponent {
  KYT_CLASS(TTestThrowing, TComponent)
 public:
  explicit TTestThrowing(TComponent* owner) : TComponent(owner) { throw EOutOfResources("no resources"); }
};

// A component whose Loaded raises.
class TTestFailingLoaded : public TComponent {
  KYT_CLASS(TTestFailingLoaded, TComponent)
 public:
  using TComponent::TComponent;

 protected:
  void Loaded() override { throw Exception("Loaded failed"); }
};

// A form: the root that publishes event handlers a form file can name.
class TTestForm : public TComponent {
  KYT_CLASS(TTestForm, TComponent)
 public:
  static void Publish(TPublisher<TTestForm>& p) {
    p.Property("Caption", &TTestForm::Caption, &TTestForm::SetCaption);
    p.Property("Width", &TTestForm::Width, &TTestForm::SetWidth).Default(100);
    p.Property("Lines", &TTestForm::Lines, &TTestForm::SetLines);
    p.Property("OnChange", &TTestForm::OnChange, &TTestForm::SetOnChange);
  }
  static void PublishMethods(TMethodPublisher<TTestForm>& m) {
    m.Method<&TTestForm::ItemChanged>("ItemChanged");
    m.Method<&TTestForm::OtherChanged>("OtherChanged");
    m.Method<&TTestForm::Counted>("Counted");
  }
  explicit TTestForm(TComponent* owner);
  ~TTestForm() override;
  static int LiveCount();

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v) { FCaption = v; }
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t v) { FWidth = v; }
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(const TStrings* v) { FLines->Assign(v); }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }

  void ItemChanged(TObject* sender);
  void OtherChanged(TObject* sender);
  void Counted(TObject* sender, int& count);
  std::vector<TObject*> ChangedSenders;
  bool LoadedCalled = false;

 protected:
  void Loaded() override;

 private:
  std::string FCaption;
  int32_t FWidth = 100;
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  TNotifyEvent FOnChange;
};

// A form class derived from TTestForm, for inherited form files.
class TTestDerivedForm : public TTestForm {
  KYT_CLASS(TTestDerivedForm, TTestForm)
 public:
  using TTestForm::TTestForm;
};

// A frame: its components come from its own form file (kTestFrameText through UseTestFrameSource).
class TTestFrame : public TComponent {
  KYT_CLASS(TTestFrame, TComponent)
 public:
  static void Publish(TPublisher<TTestFrame>& p) { p.Property("Caption", &TTestFrame::Caption, &TTestFrame::SetCaption); }
  using TComponent::TComponent;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v) { FCaption = v; }

 private:
  std::string FCaption;
};

// The frame's own form file, and a form-file source that knows it; the source is put back when
// the scope ends.
extern const char* const kTestFrameText;
class TTestFrameSource {
 public:
  TTestFrameSource();
  ~TTestFrameSource();
  TTestFrameSource(const TTestFrameSource&) = delete;
  TTestFrameSource& operator=(const TTestFrameSource&) = delete;

 private:
  TFormFileSource FKept;
};

// Takes over a form's OnChange as the package's slot-taking components do: its handler sits in
// the slot, keeps the one it found and stands in for it.
class TSlotTaker {
 public:
  explicit TSlotTaker(TTestForm& form) : FForm(form), FKept(form.OnChange()) {
    form.SetOnChange(Own());
    RegisterMethodStandIn(Own().Method(), {[this] { return FKept.Method(); },
                                           [this](const TMethod& m) { FKept = TNotifyEvent::FromMethod(m); }});
  }
  ~TSlotTaker() {
    UnregisterMethodStandIn(Own().Method());
    if (FForm.OnChange() == Own()) FForm.SetOnChange(FKept);
  }
  TSlotTaker(const TSlotTaker&) = delete;
  TSlotTaker& operator=(const TSlotTaker&) = delete;

  TNotifyEvent Own() { return TNotifyEvent::Bind<&TSlotTaker::Changed>(this); }
  const TNotifyEvent& Kept() const { return FKept; }
  void Changed(TObject* sender) { FKept(sender); }

 private:
  TTestForm& FForm;
  TNotifyEvent FKept;
};

// Registers the test classes once.
void RegisterTestClasses();

}  // namespace kyt::test

#endif
