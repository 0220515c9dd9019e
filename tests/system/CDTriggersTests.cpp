// Tests of the CD triggers: device-change notices sent to a real form window, as any process can
// send them, well-formed or not.
#include "system/KYTTCDTriggers.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "host/vcl/Application.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

// A form whose published handlers a form file can name.
class TDiscForm : public TForm {
  KYT_CLASS(TDiscForm, TForm)
 public:
  static void PublishMethods(TMethodPublisher<TDiscForm>& m) {
    m.Method<&TDiscForm::DiscIn>("DiscIn");
    m.Method<&TDiscForm::DiscOut>("DiscOut");
  }
  explicit TDiscForm(TComponent* owner) : TForm(owner) {}
  void DiscIn(TObject*, char drive) { Seen += std::string("in ") + drive + ";"; }
  void DiscOut(TObject*, char drive) { Seen += std::string("out ") + drive + ";"; }
  std::string Seen;
};

struct TDriveLog {
  std::vector<std::string> Events;
  std::vector<TObject*> Senders;
  bool Throw = false;
  void Inserted(TObject* sender, char drive) { Record("insert", sender, drive); }
  void Removed(TObject* sender, char drive) { Record("remove", sender, drive); }
  void Record(const char* what, TObject* sender, char drive) {
    Events.push_back(std::string(what) + " " + drive);
    Senders.push_back(sender);
    if (Throw) throw Exception("the handler failed");
  }
};

struct TExceptionLog {
  std::vector<std::string> Messages;
  void Handle(TObject*, const Exception& e) { Messages.push_back(e.Message()); }
};

// What reaches the form below the CD triggers.
struct TFormMessages {
  std::vector<TMessage> Seen;
  void Message(TObject*, TMessage& m) {
    if (m.Msg == WM_DEVICECHANGE || m.Msg >= WM_APP) Seen.push_back(m);
  }
};

DEV_BROADCAST_VOLUME Volume(DWORD unitMask, WORD flags = DBTF_MEDIA) {
  DEV_BROADCAST_VOLUME v{};
  v.dbcv_size = sizeof v;
  v.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  v.dbcv_unitmask = unitMask;
  v.dbcv_flags = flags;
  return v;
}

constexpr DWORD Drive(char letter) { return 1u << (letter - 'A'); }

class CDTriggers : public ::testing::Test {
 protected:
  void SetUp() override {
    form = new TForm(nullptr);
    below = new TKYTFormHook(form);
    below->SetOnMessage(TKYTHookMessage::Bind<&TFormMessages::Message>(&formMessages));
    // reference example: TKYTCDTriggers
    cd = new TKYTCDTriggers(form);
    cd->SetAfterInsert(TKYTDeviceChangeEvent::Bind<&TDriveLog::Inserted>(&log));
    cd->SetAfterRemove(TKYTDeviceChangeEvent::Bind<&TDriveLog::Removed>(&log));
    // end of reference example
  }
  void TearDown() override { delete form; }

  LRESULT Send(WPARAM event, const void* record) {
    return ::SendMessageA(form->Handle(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record));
  }

  TForm* form = nullptr;
  TKYTFormHook* below = nullptr;
  TKYTCDTriggers* cd = nullptr;
  TDriveLog log;
  TFormMessages formMessages;
};

TEST_F(CDTriggers, ADiscInsertedAndEjectedReportsItsDrive) {
  const auto e = Volume(Drive('E'));
  EXPECT_EQ(Send(DBT_DEVICEARRIVAL, &e), 0);
  EXPECT_EQ(Send(DBT_DEVICEREMOVECOMPLETE, &e), 0);
  EXPECT_EQ(log.Events, (std::vector<std::string>{"insert E", "remove E"}));
  EXPECT_EQ(log.Senders, (std::vector<TObject*>{cd, cd}));
  EXPECT_TRUE(formMessages.Seen.empty()) << "the notice reached the form";
}

TEST_F(CDTriggers, OnlyTheLowestDriveOfTheMaskIsReported) {
  const auto df = Volume(Drive('D') | Drive('F'));
  const auto az = Volume(Drive('Z') | 0x80000000u);
  Send(DBT_DEVICEARRIVAL, &df);
  Send(DBT_DEVICEARRIVAL, &az);
  EXPECT_EQ(log.Events, (std::vector<std::string>{"insert D", "insert Z"}));
  EXPECT_EQ(TKYTCDTriggers::GetFirstDriveLetter(Drive('A')), 'A');
}

TEST_F(CDTriggers, OnlyAssignedEventsAreRaised) {
  cd->SetAfterInsert({});
  const auto e = Volume(Drive('E'));
  Send(DBT_DEVICEARRIVAL, &e);
  Send(DBT_DEVICEREMOVECOMPLETE, &e);
  EXPECT_EQ(log.Events, std::vector<std::string>{"remove E"});
}

TEST_F(CDTriggers, NoticesOtherThanAMediumInAVolumeRaiseNothing) {
  const auto attached = Volume(Drive('G'), 0);
  const auto network = Volume(Drive('H'), DBTF_NET);
  DEV_BROADCAST_VOLUME port = Volume(Drive('E'));
  port.dbcv_devicetype = DBT_DEVTYP_PORT;
  const auto e = Volume(Drive('E'));
  Send(DBT_DEVICEARRIVAL, &attached);
  Send(DBT_DEVICEREMOVECOMPLETE, &network);
  Send(DBT_DEVICEARRIVAL, &port);
  Send(DBT_DEVICEQUERYREMOVE, &e);
  Send(DBT_DEVNODES_CHANGED, nullptr);
  EXPECT_TRUE(log.Events.empty());
}

TEST_F(CDTriggers, NullShortOrEmptyRecordsRaiseNothing) {
  DEV_BROADCAST_HDR shortRecord{};
  shortRecord.dbch_size = sizeof shortRecord;  // a header alone: no unit mask follows
  shortRecord.dbch_devicetype = DBT_DEVTYP_VOLUME;
  const auto none = Volume(0);
  const auto beyondZ = Volume(0xFC000000u);  // bits 26 to 31 name no drive letter
  EXPECT_EQ(Send(DBT_DEVICEARRIVAL, nullptr), 0);
  EXPECT_EQ(Send(DBT_DEVICEARRIVAL, &shortRecord), 0);
  EXPECT_EQ(Send(DBT_DEVICEARRIVAL, &none), 0);
  EXPECT_EQ(Send(DBT_DEVICEREMOVECOMPLETE, &beyondZ), 0);
  EXPECT_TRUE(log.Events.empty());
  EXPECT_EQ(TKYTCDTriggers::GetFirstDriveLetter(0), 0);
  EXPECT_EQ(TKYTCDTriggers::GetFirstDriveLetter(0xFC000000u), 0);
}

TEST_F(CDTriggers, AFailingHandlerGoesToTheApplicationAndTheNextNoticeIsHandled) {
  TExceptionLog errors;
  const auto previous = Application->OnException();
  Application->SetOnException(TExceptionEvent::Bind<&TExceptionLog::Handle>(&errors));
  log.Throw = true;
  const auto e = Volume(Drive('E'));
  EXPECT_EQ(Send(DBT_DEVICEARRIVAL, &e), 0);
  log.Throw = false;
  Send(DBT_DEVICEREMOVECOMPLETE, &e);
  Application->SetOnException(previous);
  EXPECT_EQ(errors.Messages, std::vector<std::string>{"the handler failed"});
  EXPECT_EQ(log.Events, (std::vector<std::string>{"insert E", "remove E"}));
}

TEST_F(CDTriggers, EveryOtherMessageReachesTheFormUnchanged) {
  ::SendMessageA(form->Handle(), WM_APP + 7, 0x1234, -99);
  ASSERT_EQ(formMessages.Seen.size(), 1u);
  EXPECT_EQ(formMessages.Seen[0].Msg, static_cast<UINT>(WM_APP + 7));
  EXPECT_EQ(formMessages.Seen[0].WParam, 0x1234u);
  EXPECT_EQ(formMessages.Seen[0].LParam, -99);
  form->SetCaption("Disc form");
  EXPECT_EQ(::SendMessageA(form->Handle(), WM_GETTEXTLENGTH, 0, 0), 9);
}

TEST_F(CDTriggers, RemovingTheComponentGivesTheFormItsNoticesBack) {
  delete cd;
  const auto e = Volume(Drive('E'));
  Send(DBT_DEVICEARRIVAL, &e);
  EXPECT_TRUE(log.Events.empty());
  EXPECT_EQ(formMessages.Seen.size(), 1u);
}

// A descendant that refuses every removal query through the message record.
class TRefusingTriggers : public TKYTCDTriggers {
 public:
  using TKYTCDTriggers::TKYTCDTriggers;
  void WMDeviceChange(TKYTWMDeviceChange& Message) override {
    if (Message.Event == DBT_DEVICEQUERYREMOVE) Message.Result = BROADCAST_QUERY_DENY;
    else TKYTCDTriggers::WMDeviceChange(Message);
  }
};

TEST(CDTriggersDescendant, TheResultItSetsReachesTheSender) {
  TForm form(nullptr);
  new TRefusingTriggers(&form);
  const auto e = Volume(Drive('E'));
  EXPECT_EQ(::SendMessageA(form.Handle(), WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&e)),
            BROADCAST_QUERY_DENY);
  EXPECT_EQ(::SendMessageA(form.Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&e)), 0);
}

TEST(CDTriggersOwner, MustBeAWindowedControl) {
  TComponent plain(nullptr);
  EXPECT_THROW(new TKYTCDTriggers(&plain), EInvalidCast);
  EXPECT_THROW(new TKYTCDTriggers(nullptr), EInvalidCast);
  EXPECT_EQ(plain.ComponentCount(), 0);
}

TEST(CDTriggersFormFile, StoresTheHandlersAndTheLoadedFormHearsTheNotices) {
  RegisterClasses({&TDiscForm::StaticClass(), &TKYTCDTriggers::StaticClass()});
  TDiscForm root(nullptr);
  root.SetDesigning(true);
  auto* cd = new TKYTCDTriggers(&root);
  cd->SetName("Discs");
  cd->SetAfterInsert(TKYTDeviceChangeEvent::Bind<&TDiscForm::DiscIn>(&root));
  std::string text = FormText(root);
  EXPECT_NE(text.find("AfterInsert = DiscIn"), std::string::npos) << text;
  EXPECT_EQ(text.find("AfterRemove"), std::string::npos) << text;
  const std::string key = "AfterInsert = DiscIn";
  text.insert(text.find(key) + key.size(), "\n    AfterRemove = DiscOut");

  TDiscForm loaded(nullptr);
  ReadFormText(loaded, text);
  const auto e = Volume(Drive('E'));
  ::SendMessageA(loaded.Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&e));
  ::SendMessageA(loaded.Handle(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(loaded.Seen, "in E;out E;");
}

}  // namespace
}  // namespace kyt
