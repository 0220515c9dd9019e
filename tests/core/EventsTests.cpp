// Tests of events: binding, calling, equality and the untyped form used by streaming.
#include "host/core/Events.h"

#include <gtest/gtest.h>

#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

struct TReceiver {
  int Calls = 0;
  TObject* LastSender = nullptr;
  void Handle(TObject* sender) {
    ++Calls;
    LastSender = sender;
  }
  void Other(TObject*) { Calls += 100; }
};

TEST(Event, EmptyEventIsUnassignedAndCallingItDoesNothing) {
  TNotifyEvent e;
  EXPECT_FALSE(e);
  EXPECT_NO_THROW(e(nullptr));
  EXPECT_EQ(e, TNotifyEvent());
}

TEST(Event, BoundEventCallsItsReceiver) {
  TReceiver r;
  TObject sender;
  auto e = TNotifyEvent::Bind<&TReceiver::Handle>(&r);
  EXPECT_TRUE(e);
  e(&sender);
  EXPECT_EQ(r.Calls, 1);
  EXPECT_EQ(r.LastSender, &sender);
}

TEST(Event, EqualityNeedsSameReceiverAndSameCode) {
  TReceiver a, b;
  const auto ah = TNotifyEvent::Bind<&TReceiver::Handle>(&a);
  EXPECT_EQ(ah, TNotifyEvent::Bind<&TReceiver::Handle>(&a));
  EXPECT_NE(ah, TNotifyEvent::Bind<&TReceiver::Handle>(&b));
  EXPECT_NE(ah, TNotifyEvent::Bind<&TReceiver::Other>(&a));
  EXPECT_NE(ah, TNotifyEvent());
}

TEST(Event, UntypedMethodRoundTripsAndKeepsItsSignature) {
  TReceiver r;
  const auto e = TNotifyEvent::Bind<&TReceiver::Handle>(&r);
  const TMethod m = e.Method();
  EXPECT_EQ(m.Data, &r);
  EXPECT_EQ(m.Signature, TNotifyEvent::SignatureTag());
  EXPECT_EQ(TNotifyEvent::FromMethod(m), e);
  using TCountEvent = TEvent<TObject*, int&>;
  EXPECT_NE(TCountEvent::SignatureTag(), TNotifyEvent::SignatureTag());
  EXPECT_FALSE(TCountEvent::FromMethod(m));  // another signature: refused, not miscalled
}

TEST(Event, EventsWithReferenceArgumentsPassResultsBack) {
  TTestForm form(nullptr);
  auto e = TEvent<TObject*, int&>::Bind<&TTestForm::Counted>(&form);
  int count = 1;
  e(&form, count);
  EXPECT_EQ(count, 2);
}

TEST(Event, PublishedMethodsAreFoundByNameAndNamedBack) {
  TTestForm form(nullptr);
  TMethod m;
  ASSERT_TRUE(FindPublishedMethod(form, "itemchanged", m));
  EXPECT_EQ(TNotifyEvent::FromMethod(m), TNotifyEvent::Bind<&TTestForm::ItemChanged>(&form));
  EXPECT_EQ(PublishedMethodName(form, TNotifyEvent::Bind<&TTestForm::OtherChanged>(&form).Method()), "OtherChanged");
  TTestForm otherForm(nullptr);
  EXPECT_EQ(PublishedMethodName(form, TNotifyEvent::Bind<&TTestForm::ItemChanged>(&otherForm).Method()), "");
  EXPECT_FALSE(FindPublishedMethod(form, "NoSuchHandler", m));
}

TEST(Event, FromFunctionCallsAPlainFunctionWithItsData) {
  int calls = 0;
  auto e = TNotifyEvent::FromFunction([](void* data, TObject*) { ++*static_cast<int*>(data); }, &calls);
  e(nullptr);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace kyt::test
