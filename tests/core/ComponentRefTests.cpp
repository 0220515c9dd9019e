// Tests of TComponentRef: the weak reference that becomes null when its component is freed.
#include "host/core/ComponentRef.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

class ComponentRef : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
  void TearDown() override { EXPECT_EQ(TTestComponent::LiveCount(), 0); }
};

TEST_F(ComponentRef, BecomesNullWhenTheComponentOrItsOwnerIsFreed) {
  auto owner = std::make_unique<TTestComponent>(nullptr);
  auto* child = new TTestComponent(owner.get());
  auto* sibling = new TTestComponent(owner.get());
  TComponentRef<TTestComponent> toChild(child);
  TComponentRef<TTestComponent> toSibling(sibling);
  TComponentRef<TTestComponent> toOwner(owner.get());
  EXPECT_EQ(toChild.Get(), child);
  EXPECT_TRUE(toChild);

  FreeComponent(child);
  EXPECT_FALSE(toChild);
  EXPECT_EQ(toSibling.Get(), sibling);  // the others stay

  owner.reset();  // frees the sibling with it
  EXPECT_FALSE(toSibling);
  EXPECT_FALSE(toOwner);
}

TEST_F(ComponentRef, AReferenceGoneFirstOrResetLeavesNothingBehind) {
  auto owner = std::make_unique<TTestComponent>(nullptr);
  auto* a = new TTestComponent(owner.get());
  auto* b = new TTestComponent(owner.get());
  {
    TComponentRef<TTestComponent> ref(a);
    ref.Reset(b);
    EXPECT_EQ(ref.Get(), b);
    FreeComponent(a);  // no longer watched: nothing to tell
    EXPECT_EQ(ref.Get(), b);
    ref.Reset(nullptr);
    EXPECT_FALSE(ref);
  }
  {
    TComponentRef<TTestComponent> ref(b);
  }
  // b must not tell a watcher that is gone (ASan reports a use after free if it does).
  FreeComponent(b);
  EXPECT_EQ(owner->ComponentCount(), 0);
}

// The pattern the references exist for: work that may free its own component midway.
TEST_F(ComponentRef, WorkThatFreesItsComponentMidwayStopsWithoutTouchingIt) {
  auto owner = std::make_unique<TTestComponent>(nullptr);
  auto* worker = new TTestComponent(owner.get());
  TComponentRef<TTestComponent> self(worker);
  int steps = 0;
  for (int i = 0; i < 10; ++i) {
    ++steps;
    if (i == 3) owner.reset();  // stands for a form freed by a message handled during the work
    if (!self) break;
    self->SetTag(i);
  }
  EXPECT_EQ(steps, 4);
}

}  // namespace
}  // namespace kyt::test
