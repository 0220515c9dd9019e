// Tests of the time trigger, driven by a fake clock behind the OS seam; the ticks are called
// directly except where the real 200 ms timer is the subject.
#include "system/KYTTTimeTrigger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "host/rtl/DateTime.h"
#include "host/vcl/ExtCtrls.h"
#include "tests/support/FakeClock.h"
#include "tests/support/MessagePump.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

// Records the events in the order they come.
struct TTriggerLog {
  std::vector<std::string> Events;
  TKYTTimeTrigger* Rearm = nullptr;   // set CheckForTrigger again in OnTrigger
  TKYTTimeTrigger* FreeOn = nullptr;  // delete the trigger in OnTrigger
  void Trigger(TObject*) {
    Events.push_back("Trigger");
    if (Rearm) Rearm->SetCheckForTrigger(true);
    if (FreeOn) delete FreeOn;
  }
  void NewTime(TObject*) { Events.push_back("NewTime"); }
  void NewDate(TObject*) { Events.push_back("NewDate"); }
  int Count(const std::string& name) const {
    int n = 0;
    for (const auto& e : Events) n += e == name;
    return n;
  }
};

class TimeTrigger : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = FormatSettings;
    FormatSettings.DateSeparator = '/';
    FormatSettings.TimeSeparator = ':';
    FormatSettings.ShortDateFormat = "dd/mm/yyyy";
    FormatSettings.LongTimeFormat = "hh:nn:ss";
    clock.Set(2026, 3, 14, 14, 29, 59, 600);
  }
  void TearDown() override { FormatSettings = saved; }

  TKYTTimeTrigger* MakeTrigger() {
    auto* t = new TKYTTimeTrigger(&owner);
    t->SetOnTrigger(TNotifyEvent::Bind<&TTriggerLog::Trigger>(&log));
    t->SetOnNewTime(TNotifyEvent::Bind<&TTriggerLog::NewTime>(&log));
    t->SetOnNewDate(TNotifyEvent::Bind<&TTriggerLog::NewDate>(&log));
    return t;
  }
  // Ticks every 200 ms over the given milliseconds, as the timer would.
  void TickFor(TKYTTimeTrigger* t, int ms) {
    for (int passed = 0; passed < ms; passed += 200) {
      clock.Advance(200);
      t->TimerCheckForTrigger(nullptr);
    }
  }

  TFormatSettings saved;
  TFakeClock clock;
  TComponent owner{nullptr};
  TTriggerLog log;
};

TEST_F(TimeTrigger, StartsDisarmedWithTheClockAndATicking200MsTimer) {
  auto* t = MakeTrigger();
  EXPECT_EQ(t->CurrentTime(), "14:29:59");
  EXPECT_EQ(t->CurrentDate(), "14/03/2026");
  EXPECT_FALSE(t->CheckForTrigger());
  EXPECT_EQ(t->TriggerTime(), "");
  EXPECT_EQ(t->TriggerDate(), "");
  ASSERT_NE(t->Timer(), nullptr);
  EXPECT_EQ(t->Timer()->Interval(), 200u);
  EXPECT_TRUE(t->Timer()->Enabled());
  EXPECT_EQ(t->Timer()->Owner(), t);
  t->SetCheckForTrigger(true);
  TickFor(t, 2000);  // armed but no trigger time: never due
  EXPECT_EQ(log.Count("Trigger"), 0);
}

TEST_F(TimeTrigger, TriggerTextsAreKeptInTheLocaleForms) {
  auto* t = MakeTrigger();
  t->SetTriggerTime("14:30");
  EXPECT_EQ(t->TriggerTime(), "14:30:00");
  t->SetTriggerDate("1/2/2026");
  EXPECT_EQ(t->TriggerDate(), "01/02/2026");
  EXPECT_THROW(t->SetTriggerTime("half past two"), EConvertError);
  EXPECT_EQ(t->TriggerTime(), "14:30:00");
  EXPECT_THROW(t->SetTriggerDate("2026.13.45"), EConvertError);
  EXPECT_EQ(t->TriggerDate(), "01/02/2026");
  t->SetCheckForTrigger(true);
  t->SetTriggerTime("");
  t->SetTriggerDate("");
  EXPECT_EQ(t->TriggerTime(), "");
  EXPECT_EQ(t->TriggerDate(), "");
  EXPECT_TRUE(t->CheckForTrigger());
}

TEST_F(TimeTrigger, FiresOnceAtTheFirstTickOfTheTriggerSecondAndDisarms) {
  auto* t = MakeTrigger();
  t->SetTriggerTime("14:30");
  t->SetCheckForTrigger(true);
  t->TimerCheckForTrigger(nullptr);  // 14:29:59.6
  EXPECT_EQ(log.Count("Trigger"), 0);
  TickFor(t, 1000);  // 14:29:59.8, then five ticks within 14:30:00
  EXPECT_EQ(log.Count("Trigger"), 1);
  EXPECT_FALSE(t->CheckForTrigger());
  clock.Set(2026, 3, 15, 14, 29, 59, 900);  // the next day, not armed again
  TickFor(t, 1000);
  EXPECT_EQ(log.Count("Trigger"), 1);
}

TEST_F(TimeTrigger, AHandlerThatRearmsIsCalledOncePerDayNotOncePerTick) {
  auto* t = MakeTrigger();
  log.Rearm = t;
  t->SetTriggerTime("14:30:00");
  t->SetCheckForTrigger(true);
  TickFor(t, 2000);  // every tick of 14:30:00 finds the trigger due and armed again
  EXPECT_EQ(log.Count("Trigger"), 1);
  EXPECT_TRUE(t->CheckForTrigger());
  clock.Set(2026, 3, 15, 14, 29, 59, 900);
  TickFor(t, 1000);
  EXPECT_EQ(log.Count("Trigger"), 2);
}

TEST_F(TimeTrigger, ADatedTriggerFiresOnlyOnItsDate) {
  auto* today = MakeTrigger();
  today->SetTriggerDate("14/03/2026");
  today->SetTriggerTime("14:30:01");
  today->SetCheckForTrigger(true);
  auto* yesterday = MakeTrigger();
  yesterday->SetTriggerDate("13/03/2026");
  yesterday->SetTriggerTime("14:30:01");
  yesterday->SetCheckForTrigger(true);
  auto* noTime = MakeTrigger();
  noTime->SetTriggerDate("14/03/2026");
  noTime->SetCheckForTrigger(true);
  for (int i = 0; i < 15; ++i) {
    clock.Advance(200);
    for (auto* t : {today, yesterday, noTime}) t->TimerCheckForTrigger(nullptr);
  }
  EXPECT_EQ(log.Count("Trigger"), 1);
  EXPECT_FALSE(today->CheckForTrigger());
  EXPECT_TRUE(yesterday->CheckForTrigger());
  EXPECT_TRUE(noTime->CheckForTrigger());
}

TEST_F(TimeTrigger, ReportsEachNewSecondAndTheNewDayAfterTheTrigger) {
  clock.Set(2026, 3, 14, 23, 59, 58, 100);
  auto* t = MakeTrigger();
  t->SetTriggerTime("00:00:00");
  t->SetCheckForTrigger(true);
  TickFor(t, 2000);  // 23:59:58.3 ... 00:00:00.1
  EXPECT_EQ(log.Events, (std::vector<std::string>{"NewTime", "Trigger", "NewTime", "NewDate"}));
  EXPECT_EQ(t->CurrentDate(), "15/03/2026");
  EXPECT_EQ(t->CurrentTime(), "00:00:00");
}

TEST_F(TimeTrigger, TheTextsFollowTheClockAndTheFormatsWithinOneSecond) {
  auto* t = MakeTrigger();
  TickFor(t, 200);  // 14:29:59.8: the same second, the same texts, no event
  EXPECT_TRUE(log.Events.empty());
  FormatSettings.LongTimeFormat = "hh:nn";
  FormatSettings.ShortDateFormat = "yyyy/mm/dd";
  t->TimerCheckForTrigger(nullptr);  // still 14:29:59.8, formatted anew
  EXPECT_EQ(t->CurrentTime(), "14:29");
  EXPECT_EQ(t->CurrentDate(), "2026/03/14");
  EXPECT_EQ(log.Events, (std::vector<std::string>{"NewTime", "NewDate"}));
  FormatSettings.LongTimeFormat = "hh:nn:ss.zzz";  // milliseconds change within the second
  TickFor(t, 200);
  EXPECT_EQ(t->CurrentTime(), "14:30:00.000");
  clock.Advance(100);
  t->TimerCheckForTrigger(nullptr);
  EXPECT_EQ(t->CurrentTime(), "14:30:00.100");
}

TEST_F(TimeTrigger, AssigningTheClockTextsReadsTheClockInstead) {
  auto* t = MakeTrigger();
  clock.Set(2026, 12, 31, 8, 15, 0);
  t->SetCurrentTime("99:99:99");
  t->SetCurrentDate("not a date");
  EXPECT_EQ(t->CurrentTime(), "08:15:00");
  EXPECT_EQ(t->CurrentDate(), "31/12/2026");
}

TEST_F(TimeTrigger, AHandlerThatFreesTheTriggerEndsTheTick) {
  auto* t = MakeTrigger();
  log.FreeOn = t;
  t->SetTriggerTime("14:30:00");
  t->SetCheckForTrigger(true);
  clock.Advance(400);  // a new second as well: OnNewTime would follow on a live trigger
  t->TimerCheckForTrigger(nullptr);
  EXPECT_EQ(log.Events, std::vector<std::string>{"Trigger"});
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(TimeTrigger, TheTimerDrivesTheClockThroughTheMessageLoop) {
  auto* t = MakeTrigger();
  t->SetTriggerTime("14:30:00");
  t->SetCheckForTrigger(true);
  clock.Advance(600);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("Trigger") == 1 && log.Count("NewTime") == 1; }));
  delete t;
  clock.Advance(1000);
  PumpPending();
  EXPECT_EQ(log.Count("NewTime"), 1);
}

TEST_F(TimeTrigger, FormFileStoresTheTriggerAndLoadsTheClockOfNow) {
  RegisterClasses({&TSystemTestForm::StaticClass(), &TKYTTimeTrigger::StaticClass()});
  TSystemTestForm root(nullptr);
  root.SetDesigning(true);
  auto* t = new TKYTTimeTrigger(&root);
  t->SetName("Alarm");
  t->SetTriggerDate("20/03/2026");
  t->SetTriggerTime("7:05");
  t->SetCheckForTrigger(true);
  const std::string text = FormText(root);
  EXPECT_NE(text.find("CurrentTime = '14:29:59'"), std::string::npos) << text;
  EXPECT_NE(text.find("CurrentDate = '14/03/2026'"), std::string::npos) << text;
  EXPECT_NE(text.find("TriggerDate = '20/03/2026'"), std::string::npos) << text;
  EXPECT_NE(text.find("TriggerTime = '07:05:00'"), std::string::npos) << text;
  EXPECT_NE(text.find("CheckForTrigger = True"), std::string::npos) << text;
  EXPECT_EQ(text.find("About"), std::string::npos) << text;

  clock.Set(2026, 3, 16, 9, 0, 0);
  TSystemTestForm loaded(nullptr);
  ReadFormText(loaded, text);
  auto* back = ObjectCast<TKYTTimeTrigger>(loaded.FindComponent("Alarm"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->CurrentTime(), "09:00:00");
  EXPECT_EQ(back->CurrentDate(), "16/03/2026");
  EXPECT_EQ(back->TriggerDate(), "20/03/2026");
  EXPECT_EQ(back->TriggerTime(), "07:05:00");
  EXPECT_TRUE(back->CheckForTrigger());

  // A date stored under another locale's format does not convert while the form loads.
  FormatSettings.ShortDateFormat = "yyyy/mm/dd";
  TSystemTestForm otherLocale(nullptr);
  EXPECT_ANY_THROW(ReadFormText(otherLocale, text));
}

}  // namespace
}  // namespace kyt
