// Tests of TComponent: ownership, names, destruction order, notifications, designing state.
#include "host/core/Component.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/FormFile.h"

#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

class Component : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
  void TearDown() override { EXPECT_EQ(TTestComponent::LiveCount(), 0); }
};

TTestComponent* Named(TComponent* owner, const std::string& name) {
  auto* c = new TTestComponent(owner);
  c->SetName(name);
  return c;
}

// Deletes a sibling from its destructor, as a component that owns a helper might.
class TSiblingKiller : public TComponent {
 public:
  explicit TSiblingKiller(TComponent* owner) : TComponent(owner) {}
  ~TSiblingKiller() override { delete Victim; }
  TComponent* Victim = nullptr;
};

// Records the notifications it receives.
class TListener : public TComponent {
  KYT_CLASS(TListener, TComponent)

 public:
  using TComponent::TComponent;
  std::vector<std::pair<TComponent*, TOperation>> Heard;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    Heard.emplace_back(component, operation);
  }
};

TEST_F(Component, OwnerListsComponentsInCreationOrder) {
  TComponent owner(nullptr);
  auto* a = Named(&owner, "A");
  auto* b = Named(&owner, "B");
  auto* c = Named(&owner, "C");
  ASSERT_EQ(owner.ComponentCount(), 3);
  EXPECT_EQ(owner.Components(0), a);
  EXPECT_EQ(owner.Components(1), b);
  EXPECT_EQ(owner.Components(2), c);
  EXPECT_EQ(c->ComponentIndex(), 2);
  EXPECT_EQ(a->Owner(), &owner);
  EXPECT_EQ(a->GetOwner(), &owner);
  EXPECT_THROW(owner.Components(3), EListError);
  EXPECT_THROW(owner.Components(-1), EListError);
}

TEST_F(Component, OwnerDeletesComponentsLastFirstEachMarkedDestroying) {
  auto owner = std::make_unique<TComponent>(nullptr);
  Named(owner.get(), "First");
  Named(owner.get(), "Second");
  Named(owner.get(), "Third");
  owner.reset();
  EXPECT_EQ(Log(), (std::vector<std::string>{"~Third+destroying", "~Second+destroying", "~First+destroying"}));
}

TEST_F(Component, DestructorThatDeletesASiblingIsSafe) {
  auto owner = std::make_unique<TComponent>(nullptr);
  Named(owner.get(), "Early");
  auto* victim = Named(owner.get(), "Victim");
  auto* killer = new TSiblingKiller(owner.get());
  Named(owner.get(), "Late");
  killer->Victim = victim;
  owner.reset();
  EXPECT_EQ(Log(), (std::vector<std::string>{"~Late+destroying", "~Victim+destroying", "~Early+destroying"}));
}

TEST_F(Component, DeletingAComponentTakesItOutOfItsOwner) {
  TComponent owner(nullptr);
  auto* a = Named(&owner, "A");
  auto* b = Named(&owner, "B");
  delete a;
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), b);
  EXPECT_EQ(b->ComponentIndex(), 0);
}

TEST_F(Component, ThrowingConstructorLeavesNoTraceInOwner) {
  TListener owner(nullptr);
  Named(&owner, "Before");
  EXPECT_THROW((void)new TTestThrowing(&owner), EOutOfResources);
  EXPECT_EQ(owner.ComponentCount(), 1);
  // The owner heard of the insertion and of the removal; nothing dangles.
  ASSERT_GE(owner.Heard.size(), 2u);
  EXPECT_EQ(owner.Heard.back().second, opRemove);
}

TEST_F(Component, NameMustBeAValidIdentifier) {
  TComponent owner(nullptr);
  auto* c = Named(&owner, "Good_1");
  EXPECT_THROW(c->SetName("1Bad"), EComponentError);
  EXPECT_THROW(c->SetName("has space"), EComponentError);
  EXPECT_THROW(c->SetName("dot.ted"), EComponentError);
  EXPECT_EQ(c->Name(), "Good_1");
  c->SetName("");
  EXPECT_EQ(c->Name(), "");
}

TEST_F(Component, NameMustBeUniqueAmongOwnersComponentsIgnoringCase) {
  TComponent owner(nullptr);
  Named(&owner, "Saver");
  auto* other = Named(&owner, "Other");
  EXPECT_THROW(other->SetName("SAVER"), EComponentError);
  EXPECT_EQ(other->Name(), "Other");
  other->SetName("OTHER");  // a change of case of its own name is no clash
  EXPECT_EQ(other->Name(), "OTHER");
  Named(&owner, "");
  EXPECT_NO_THROW(Named(&owner, ""));  // many unnamed components are fine
  TComponent elsewhere(nullptr);
  EXPECT_NO_THROW(Named(&elsewhere, "Saver"));
}

TEST_F(Component, FindComponentIgnoresCase) {
  TComponent owner(nullptr);
  auto* c = Named(&owner, "Store");
  EXPECT_EQ(owner.FindComponent("sToRe"), c);
  EXPECT_EQ(owner.FindComponent("Missing"), nullptr);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
}

TEST_F(Component, InsertComponentMovesFromPreviousOwner) {
  TComponent first(nullptr), second(nullptr);
  auto* c = Named(&first, "Moved");
  second.InsertComponent(c);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(second.ComponentCount(), 1);
  EXPECT_EQ(c->Owner(), &second);
  second.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  EXPECT_EQ(second.ComponentCount(), 0);
  delete c;
}

TEST_F(Component, InsertingAComponentWithATakenNameIsRefused) {
  TComponent first(nullptr), second(nullptr);
  Named(&second, "Same");
  auto* c = Named(&first, "Same");
  EXPECT_THROW(second.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &first);
}

TEST_F(Component, DesigningStatePassesToInsertedComponents) {
  TComponent form(nullptr);
  form.SetDesigning(true);
  auto* c = Named(&form, "OnForm");
  auto* grandchild = Named(c, "Inner");
  EXPECT_TRUE(c->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(grandchild->ComponentState().Contains(csDesigning));
  form.SetDesigning(false);
  EXPECT_FALSE(grandchild->ComponentState().Contains(csDesigning));
  form.SetDesigning(true, false);
  EXPECT_TRUE(form.ComponentState().Contains(csDesigning));
  EXPECT_FALSE(c->ComponentState().Contains(csDesigning));
}

TEST_F(Component, OwnerIsToldOfInsertAndRemove) {
  TListener owner(nullptr);
  auto* c = Named(&owner, "Child");
  ASSERT_EQ(owner.Heard.size(), 1u);
  EXPECT_EQ(owner.Heard[0], std::make_pair(static_cast<TComponent*>(c), opInsert));
  delete c;
  ASSERT_EQ(owner.Heard.size(), 2u);
  EXPECT_EQ(owner.Heard[1], std::make_pair(static_cast<TComponent*>(c), opRemove));
}

TEST_F(Component, FreeNotificationTellsAComponentOfAnotherOwnerBeforeDestruction) {
  TComponent formA(nullptr), formB(nullptr);
  auto* watcher = Named(&formA, "Watcher");
  auto* target = Named(&formB, "Target");
  watcher->SetBuddy(target);
  EXPECT_TRUE(target->ComponentState().Contains(csFreeNotification));
  delete target;
  EXPECT_EQ(watcher->Buddy(), nullptr);
  EXPECT_EQ(watcher->NotificationsRemoved, 1);
}

TEST_F(Component, RemoveFreeNotificationStopsTheNotice) {
  TComponent formA(nullptr), formB(nullptr);
  auto* watcher = Named(&formA, "Watcher");
  auto* target = Named(&formB, "Target");
  target->FreeNotification(watcher);
  target->RemoveFreeNotification(watcher);
  delete target;
  EXPECT_EQ(watcher->NotificationsRemoved, 0);
}

TEST_F(Component, FreeNotificationIsMutualSoNeitherDangles) {
  TComponent formA(nullptr), formB(nullptr);
  auto* watcher = Named(&formA, "Watcher");
  auto* target = Named(&formB, "Target");
  watcher->SetBuddy(target);
  delete watcher;  // the target must forget the watcher, or its destructor would touch freed memory
  delete target;
}

TEST_F(Component, SiblingsHearOfEachOthersRemovalThroughTheOwner) {
  TComponent form(nullptr);
  auto* watcher = Named(&form, "Watcher");
  auto* target = Named(&form, "Target");
  watcher->SetBuddy(target);
  delete target;
  EXPECT_EQ(watcher->Buddy(), nullptr);
}

TEST_F(Component, ComponentsSeeDestroyingWhileTheirOwnerGoes) {
  auto form = std::make_unique<TComponent>(nullptr);
  auto* watcher = Named(form.get(), "Watcher");
  auto* target = Named(form.get(), "Target");
  watcher->SetBuddy(target);
  form.reset();
  EXPECT_EQ(Log(), (std::vector<std::string>{"~Target+destroying", "~Watcher+destroying"}));
}

TEST_F(Component, TagIsPublishedWithDefaultZero) {
  TComponent c(nullptr);
  const TPropInfo* tag = c.ClassType().FindProperty("Tag");
  ASSERT_NE(tag, nullptr);
  EXPECT_FALSE(tag->IsStored(&c));
  c.SetTag(3);
  EXPECT_TRUE(tag->IsStored(&c));
}

// ---- Name index and listeners

// Logs "<name> +<other>" / "<name> -<other>" for each notification it hears.
class TEar : public TComponent {
  KYT_CLASS(TEar, TComponent)

 public:
  using TComponent::TComponent;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    Log().push_back(Name() + (operation == opInsert ? " +" : " -") + component->Name());
  }
};

// Named before it is inserted, so the others hear its name.
template <class T = TComponent>
T* Put(TComponent* owner, const std::string& name) {
  auto* c = new T(nullptr);
  c->SetName(name);
  owner->InsertComponent(c);
  return c;
}

struct TNameCase {
  const char* What;
  // Acts on a form owning Alpha, Beta and Gamma (and owned by holder); other is a second form.
  std::function<void(TComponent& form, TComponent& other)> Act;
  // Who finds a name afterwards: 'f' the form, 'o' the other form, 'h' the holder.
  std::vector<std::tuple<char, std::string, std::string>> Finds;  // "" finds nothing
};

TEST_F(Component, FindComponentStaysRightThroughEveryChangeOfNames) {
  const TNameCase cases[] = {
      {"rename", [](TComponent& f, TComponent&) { f.FindComponent("Beta")->SetName("Delta"); },
       {{'f', "BETA", ""}, {'f', "delta", "Delta"}, {'f', "Alpha", "Alpha"}}},
      {"rename refused", [](TComponent& f, TComponent&) {
         EXPECT_THROW(f.FindComponent("Beta")->SetName("ALPHA"), EComponentError);
       }, {{'f', "beta", "Beta"}, {'f', "alpha", "Alpha"}}},
      {"name cleared", [](TComponent& f, TComponent&) { f.FindComponent("Beta")->SetName(""); },
       {{'f', "Beta", ""}, {'f', "", ""}}},
      {"freed", [](TComponent& f, TComponent&) { delete f.FindComponent("Gamma"); },
       {{'f', "Gamma", ""}, {'f', "Beta", "Beta"}}},
      {"moved to another owner", [](TComponent& f, TComponent& o) { o.InsertComponent(f.FindComponent("Beta")); },
       {{'f', "Beta", ""}, {'o', "beta", "Beta"}}},
      {"reordered", [](TComponent& f, TComponent&) { f.FindComponent("Gamma")->SetComponentIndex(0); },
       {{'f', "gamma", "Gamma"}, {'f', "alpha", "Alpha"}}},
      {"read that fails half-way", [](TComponent& f, TComponent&) {
         EXPECT_THROW(ReadRootText(f, "object Main: TTestForm\n  object Zeta: TTestComponent\n  end\n"
                                      "  object Eta: TTestComponent\n    NoSuchProperty = 1\n  end\nend\n", "Main.kfm"),
                      EReadError);
       }, {{'f', "Zeta", ""}, {'f', "Beta", "Beta"}, {'h', "Form", "Form"}, {'h', "Main", ""}}},
      {"read that fails after Loaded", [](TComponent& f, TComponent&) {
         EXPECT_THROW(ReadRootText(f, "object Main: TTestForm\n  object Zeta: TTestComponent\n  end\n"
                                      "  object F: TTestFailingLoaded\n  end\nend\n", "Main.kfm"),
                      EReadError);
       }, {{'f', "zeta", ""}, {'f', "F", ""}, {'f', "Gamma", "Gamma"}, {'h', "Form", "Form"}}},
      {"read that succeeds", [](TComponent& f, TComponent&) {
         ReadRootText(f, "object Main: TTestForm\n  object Zeta: TTestComponent\n  end\nend\n", "Main.kfm");
       }, {{'f', "ZETA", "Zeta"}, {'h', "main", "Main"}, {'h', "Form", ""}}},
  };
  RegisterTestClasses();
  for (const TNameCase& tc : cases) {
    SCOPED_TRACE(tc.What);
    TComponent holder(nullptr), other(nullptr);
    auto* form = new TTestForm(&holder);
    form->SetName("Form");
    for (const char* name : {"Alpha", "Beta", "Gamma"}) Named(form, name);
    tc.Act(*form, other);
    for (const auto& [who, name, expected] : tc.Finds) {
      TComponent* owner = who == 'f' ? form : who == 'o' ? &other : &holder;
      TComponent* found = owner->FindComponent(name);
      EXPECT_EQ(found ? found->Name() : std::string(), expected) << who << " " << name;
    }
  }
}

struct TListenCase {
  const char* What;
  std::function<void()> Act;
  std::vector<std::string> Heard;
};

TEST_F(Component, NotificationsReachEveryComponentThatReactsInTodaysOrder) {
  const TListenCase cases[] = {
      {"siblings, last to first, plain ones between", [] {
         TComponent form(nullptr);
         Put<TEar>(&form, "E1");
         Put(&form, "P1");
         Put<TEar>(&form, "E2");
         Put(&form, "P2");
         delete Put(&form, "X");
       }, {"E1 +E1", "E1 +P1", "E2 +E2", "E1 +E2", "E2 +P2", "E1 +P2", "E2 +X", "E1 +X", "E2 -X", "E1 -X"}},
      {"a plain component passes the call on to an owned one it gained later", [] {
         TComponent form(nullptr);
         TComponent* box = Put(&form, "Box");
         Put(&form, "P1");  // finds Box without reason to react
         Put<TEar>(box, "Inner");
         Put(&form, "X");
       }, {"Inner +Inner", "Inner +X"}},
      {"a plain component drops a link to a removed one", [] {
         TComponent formA(nullptr), formB(nullptr);
         TComponent* plain = Put(&formA, "P");
         Put(&formA, "P1");  // finds P without reason to react
         auto* ear = Put<TEar>(&formB, "Q");
         plain->FreeNotification(ear);
         formA.InsertComponent(ear);
         formA.RemoveComponent(ear);
         delete plain;  // the dropped link tells Q nothing
         delete ear;
       }, {"Q +Q", "Q -Q", "Q +Q", "Q -Q"}},
      {"freeing the owner announces free-notified ones", [] {
         auto form = std::make_unique<TComponent>(nullptr);
         Put<TEar>(form.get(), "E1");
         TComponent* target = Put(form.get(), "T");
         Put(form.get(), "P1");
         TComponent watcher(nullptr);
         target->FreeNotification(&watcher);
         form.reset();
       }, {"E1 +E1", "E1 +T", "E1 +P1", "E1 -T"}},
  };
  for (const TListenCase& tc : cases) {
    SCOPED_TRACE(tc.What);
    Log().clear();
    tc.Act();
    EXPECT_EQ(Log(), tc.Heard);
  }
}

}  // namespace
}  // namespace kyt::test
