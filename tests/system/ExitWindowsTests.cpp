// Tests of the exit-windows component. The real ExitWindowsEx would end every process of the
// prefix, the test run included: every test replaces that one seam entry in its fixture, and the
// privilege switching around it runs for real on this process's token.
#include "system/KYTTExitWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/vcl/Application.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SeamOverride.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

static_assert(xLogoff == 0 && xReboot == 1 && xShutDown == 2 && xPowerOff == 3 && xForce == 4);
static_assert(sizeof(TKYTExitType) == 1);

// Whether the shutdown privilege of this process's token is enabled now (-1: cannot tell).
int ShutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
  LUID luid{};
  ::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &luid);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  int result = -1;
  if (size && ::GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i)
      if (privileges->Privileges[i].Luid.LowPart == luid.LowPart && privileges->Privileges[i].Luid.HighPart == luid.HighPart)
        result = (privileges->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) ? 1 : 0;
  }
  ::CloseHandle(token);
  return result;
}

// Puts the shutdown privilege back as the test found it.
void SetShutdownPrivilege(bool enabled) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  ::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid);
  tp.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
  ::AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
  ::CloseHandle(token);
}

// The stand-in for ExitWindowsEx: records each request, the privilege state during it, and
// accepts or refuses with an error code as told.
struct TExitRecord {
  std::vector<UINT> Flags;
  std::vector<int> PrivilegeDuringCall;
  bool Accept = true;
  DWORD Refusal = ERROR_PRIVILEGE_NOT_HELD;
};
TExitRecord* gExit = nullptr;

BOOL WINAPI FakeExitWindowsEx(UINT flags, DWORD reserved) {
  EXPECT_EQ(reserved, 0u);
  gExit->Flags.push_back(flags);
  gExit->PrivilegeDuringCall.push_back(ShutdownPrivilegeEnabled());
  if (gExit->Accept) return TRUE;
  ::SetLastError(gExit->Refusal);
  return FALSE;
}

struct TExecuteLog {
  int Calls = 0;
  size_t RequestsSeen = 0;
  TExitRecord* Record = nullptr;
  void Execute(TObject*) {
    ++Calls;
    RequestsSeen = Record->Flags.size();
  }
};

class ExitWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    gExit = &record;
    privilegeBefore = ShutdownPrivilegeEnabled();
    log.Record = &record;
  }
  void TearDown() override {
    // An accepted request terminates the application: the quit message is taken out here.
    PumpPending();
    TakeQuitMessage();
    if (privilegeBefore >= 0) SetShutdownPrivilege(privilegeBefore == 1);
    gExit = nullptr;
  }

  os::ScopedOverride<decltype(os::user32.ExitWindowsEx)> noRealExit{os::user32.ExitWindowsEx, &FakeExitWindowsEx};
  TExitRecord record;
  TExecuteLog log;
  TComponent owner{nullptr};
  int privilegeBefore = -1;
};

TEST_F(ExitWindows, StartsAsAConfirmedLogOff) {
  TKYTExitWindows exit(&owner);
  EXPECT_EQ(exit.ExitType(), xLogoff);
  EXPECT_TRUE(exit.Confirm());
  EXPECT_EQ(exit.ConfirmMessage(), "Are you sure you want to Logoff ?");
  EXPECT_EQ(exit.LastFailure(), "");
  EXPECT_FALSE(exit.OnExecute());
}

TEST_F(ExitWindows, EachExitTypePassesItsOwnFlags) {
  const std::pair<TKYTExitType, UINT> cases[] = {{xLogoff, 0}, {xReboot, 2}, {xShutDown, 1}, {xPowerOff, 8}, {xForce, 4}};
  for (const auto& [type, flags] : cases) {
    EXPECT_EQ(KYTExitFlags(type), flags);
    TKYTExitWindows exit(&owner);
    exit.SetConfirm(false);
    exit.SetExitType(type);
    EXPECT_TRUE(exit.Execute());
    ASSERT_FALSE(record.Flags.empty());
    EXPECT_EQ(record.Flags.back(), flags);
  }
  EXPECT_EQ(record.Flags.size(), 5u);

  // A value outside the enumeration (a cast, a damaged stored value) requests nothing at all.
  TKYTExitWindows exit(&owner);
  exit.SetConfirm(false);
  exit.SetExitType(static_cast<TKYTExitType>(xForce + 1));
  EXPECT_FALSE(exit.Execute());
  EXPECT_EQ(record.Flags.size(), 5u);
  EXPECT_EQ(exit.LastFailure(), "Error: 87");
}

TEST_F(ExitWindows, TheShutdownPrivilegeIsOnDuringTheRequestAndOffAfterIt) {
  if (privilegeBefore < 0) GTEST_SKIP() << "the token's privileges cannot be read here";
  record.Accept = false;
  EXPECT_FALSE(KYTExitWindows(EWX_SHUTDOWN));
  record.Accept = true;
  EXPECT_TRUE(KYTExitWindows(EWX_REBOOT));
  EXPECT_EQ(record.PrivilegeDuringCall, (std::vector<int>{1, 1}));
  EXPECT_EQ(ShutdownPrivilegeEnabled(), 0);
}

TEST_F(ExitWindows, AnAcceptedRequestTerminatesTheApplication) {
  // reference example: TKYTExitWindows
  TKYTExitWindows exit(&owner);
  exit.SetConfirm(false);
  exit.SetOnExecute(TNotifyEvent::Bind<&TExecuteLog::Execute>(&log));
  // end of reference example
  PumpPending();
  TakeQuitMessage();
  EXPECT_TRUE(exit.Execute());
  EXPECT_EQ(log.Calls, 1);
  EXPECT_EQ(log.RequestsSeen, 0u) << "OnExecute comes before the request";
  PumpPending();
  EXPECT_TRUE(TakeQuitMessage()) << "the application was not terminated";
}

TEST_F(ExitWindows, ARefusalKeepsTheApplicationRunningAndItsOwnErrorCode) {
  TKYTExitWindows exit(&owner);
  exit.SetConfirm(false);
  record.Accept = false;
  PumpPending();
  TakeQuitMessage();
  EXPECT_FALSE(exit.Execute());
  EXPECT_EQ(exit.LastFailure(), "Error: 1314");
  record.Refusal = ERROR_NOT_READY;
  EXPECT_FALSE(exit.Execute());
  EXPECT_EQ(exit.LastFailure(), "Error: 21");
  PumpPending();
  EXPECT_FALSE(TakeQuitMessage()) << "a refusal terminated the application";
  // The stand-alone call leaves the refusal's code for its caller too.
  ::SetLastError(0);
  EXPECT_FALSE(KYTExitWindows(EWX_LOGOFF));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
}

TEST_F(ExitWindows, AnsweringNoMakesNoRequest) {
  TKYTExitWindows exit(&owner);
  exit.SetExitType(xShutDown);
  exit.SetConfirmMessage("Shut the machine down?");
  exit.SetOnExecute(TNotifyEvent::Bind<&TExecuteLog::Execute>(&log));
  DialogAnswerer answer(Press("&No").Title("Confirmation"));
  EXPECT_FALSE(exit.Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_NE(answer.SeenText().find("Shut the machine down?"), std::string::npos) << answer.SeenText();
  EXPECT_EQ(log.Calls, 1);
  EXPECT_TRUE(record.Flags.empty());
}

TEST_F(ExitWindows, AnsweringYesMakesTheRequest) {
  TKYTExitWindows exit(&owner);
  exit.SetExitType(xPowerOff);
  DialogAnswerer answer(Press("&Yes"));
  EXPECT_TRUE(exit.Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(record.Flags, std::vector<UINT>{EWX_POWEROFF});
}

// A token that cannot be opened is neither adjusted nor closed, and the request still goes out.
HANDLE gClosed = nullptr;
int gAdjustCalls = 0;
BOOL WINAPI FailOpenProcessToken(HANDLE, DWORD, PHANDLE token) {
  *token = reinterpret_cast<HANDLE>(0x4711);  // what a careless caller would then close
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}
BOOL WINAPI RecordCloseHandle(HANDLE h) {
  if (h == reinterpret_cast<HANDLE>(0x4711)) {
    gClosed = h;
    return FALSE;
  }
  return ::CloseHandle(h);
}
BOOL WINAPI CountAdjust(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD) {
  ++gAdjustCalls;
  return FALSE;
}

TEST_F(ExitWindows, ATokenThatCannotBeOpenedIsNeitherUsedNorClosed) {
  gClosed = nullptr;
  gAdjustCalls = 0;
  os::ScopedOverride open(os::advapi32.OpenProcessToken, &FailOpenProcessToken);
  os::ScopedOverride adjust(os::advapi32.AdjustTokenPrivileges, &CountAdjust);
  os::ScopedOverride close(os::kernel32.CloseHandle, &RecordCloseHandle);
  EXPECT_TRUE(KYTExitWindows(EWX_LOGOFF));
  EXPECT_EQ(record.Flags, std::vector<UINT>{EWX_LOGOFF});
  EXPECT_EQ(gClosed, nullptr);
  EXPECT_EQ(gAdjustCalls, 0);
}

TEST_F(ExitWindows, FormFileStoresOnlyWhatDiffersFromTheStart) {
  RegisterClasses({&TSystemTestForm::StaticClass(), &TKYTExitWindows::StaticClass()});
  TSystemTestForm root(nullptr);
  root.SetDesigning(true);
  auto* plain = new TKYTExitWindows(&root);
  plain->SetName("Plain");
  auto* changed = new TKYTExitWindows(&root);
  changed->SetName("Changed");
  changed->SetExitType(xReboot);
  changed->SetConfirm(false);
  changed->SetConfirmMessage("");
  const std::string text = FormText(root);
  const std::string plainBlock = text.substr(text.find("object Plain"), text.find("object Changed") - text.find("object Plain"));
  EXPECT_EQ(plainBlock.find("ExitType"), std::string::npos) << text;
  EXPECT_NE(plainBlock.find("ConfirmMessage = 'Are you sure you want to Logoff ?'"), std::string::npos) << text;
  EXPECT_EQ(plainBlock.find("Confirm ="), std::string::npos) << text;
  EXPECT_NE(text.find("ExitType = xReboot"), std::string::npos) << text;
  EXPECT_NE(text.find("Confirm = False"), std::string::npos) << text;
  EXPECT_EQ(text.find("DesignExecute"), std::string::npos) << text;

  TSystemTestForm loaded(nullptr);
  ReadFormText(loaded, text);
  auto* back = ObjectCast<TKYTExitWindows>(loaded.FindComponent("Changed"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->ExitType(), xReboot);
  EXPECT_FALSE(back->Confirm());
  EXPECT_EQ(back->ConfirmMessage(), "Are you sure you want to Logoff ?");  // emptied: not stored
  EXPECT_TRUE(record.Flags.empty());
}

}  // namespace
}  // namespace kyt
