// Tests of the common dialog components: the real dialogs come up with the component's title and
// answer the way the user did; the records they are given carry the properties; a dialog the
// system cannot show is reported, a cancel is not.
#include "host/vcl/Dialogs.h"

#include <gtest/gtest.h>

#include <string>

#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"
#include "tests/support/DialogAnswerer.h"

namespace kyt {
namespace {

// A folder of the test's own for the file dialogs to open in, so they list nothing else.
struct SandboxFolder {
  std::string Path;
  SandboxFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    Path = std::string(temp) + "kyt-common-dialogs";
    ::CreateDirectoryA(Path.c_str(), nullptr);
  }
  ~SandboxFolder() { ::RemoveDirectoryA(Path.c_str()); }
};

// The user presses Cancel in each real dialog: Execute says so and changes nothing.
TEST(CommonDialogs, CancelInTheRealDialogLeavesThePropertiesAlone) {
  SandboxFolder sandbox;
  TForm form(nullptr);
  form.Show();
  auto* open = new TOpenDialog(&form);
  open->SetTitle("Pick a report");
  open->SetFileName("report.txt");
  open->SetInitialDir(sandbox.Path);
  auto* save = new TSaveDialog(&form);
  save->SetTitle("Save the report");
  save->SetInitialDir(sandbox.Path);
  auto* colour = new TColorDialog(&form);
  colour->SetColor(clRed);
  struct Case {
    TCommonDialog* Dialog;
    const char* Title;  // null: the system's own
  };
  for (const Case& c : {Case{open, "Pick a report"}, Case{save, "Save the report"}, Case{colour, nullptr}}) {
    DialogAction cancel = Press("Cancel");
    if (c.Title) cancel.Title(c.Title);
    DialogAnswerer answer(cancel);
    EXPECT_FALSE(c.Dialog->Execute()) << c.Dialog->ClassName();
    EXPECT_TRUE(answer.Answered()) << c.Dialog->ClassName() << ": " << answer.FailureReason();
    EXPECT_EQ(answer.SeenClassName(), "#32770");
  }
  EXPECT_EQ(open->FileName(), "report.txt");
  EXPECT_EQ(colour->Color(), clRed);
}

// Fakes of the dialog calls (WINAPI functions: on i686 a lambda is no stdcall pointer).
OPENFILENAMEA gSeen;
std::string gFilter;
int gWhich;
DWORD gExtended;
COLORREF gInitial;

BOOL Accept(LPOPENFILENAMEA ofn) {
  gSeen = *ofn;
  gFilter.assign(ofn->lpstrFilter, 40);
  const std::string chosen = std::string(ofn->lpstrFile) + ".chosen";
  chosen.copy(ofn->lpstrFile, chosen.size());
  ofn->lpstrFile[chosen.size()] = '\0';
  ofn->nFilterIndex = 2;
  return TRUE;
}
BOOL WINAPI AcceptOpen(LPOPENFILENAMEA ofn) {
  gWhich = 1;
  return Accept(ofn);
}
BOOL WINAPI AcceptSave(LPOPENFILENAMEA ofn) {
  gWhich = 2;
  return Accept(ofn);
}
BOOL WINAPI RefuseFile(LPOPENFILENAMEA) { return FALSE; }
BOOL WINAPI RefuseColour(LPCHOOSECOLORA) { return FALSE; }
DWORD WINAPI Extended() { return gExtended; }
BOOL WINAPI ChooseDarkBlue(LPCHOOSECOLORA cc) {
  gInitial = cc->rgbResult;
  cc->lpCustColors[3] = RGB(1, 2, 3);
  cc->rgbResult = RGB(10, 20, 30);
  return (cc->Flags & CC_RGBINIT) ? TRUE : FALSE;
}

// What the open and save records carry, and what Execute takes back from an accepted dialog.
TEST(CommonDialogs, TheFileRecordCarriesThePropertiesAndGivesTheChoiceBack) {
  os::ScopedOverride openCall(os::comdlg32.GetOpenFileNameA, &AcceptOpen);
  os::ScopedOverride saveCall(os::comdlg32.GetSaveFileNameA, &AcceptSave);
  TForm form(nullptr);
  for (int kind : {1, 2}) {
    TOpenDialog* d = kind == 1 ? new TOpenDialog(&form) : new TSaveDialog(&form);
    d->SetFilter("Text files (*.txt)|*.txt|All files|*.*");
    d->SetFileName("C:\\sandbox\\notes");
    d->SetDefaultExt("txt");
    d->SetOptions(TOpenOptions{ofOverwritePrompt, ofFileMustExist});
    ASSERT_TRUE(d->Execute());
    EXPECT_EQ(gWhich, kind);
    EXPECT_EQ(gFilter, std::string("Text files (*.txt)\0*.txt\0All files\0*.*\0\0", 40));
    EXPECT_GE(gSeen.nMaxFile, 32768u);
    EXPECT_STREQ(gSeen.lpstrDefExt, "txt");
    EXPECT_EQ(gSeen.Flags & (OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY),
              static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST));
    EXPECT_EQ(gSeen.nFilterIndex, 1u);
    EXPECT_EQ(d->FileName(), "C:\\sandbox\\notes.chosen");
    EXPECT_EQ(d->FilterIndex(), 2);
  }
}

// A FALSE from the system is a cancel when no common dialog error follows, a report otherwise.
TEST(CommonDialogs, AFailedDialogRaisesAndACancelDoesNot) {
  os::ScopedOverride error(os::comdlg32.CommDlgExtendedError, &Extended);
  os::ScopedOverride open(os::comdlg32.GetOpenFileNameA, &RefuseFile);
  os::ScopedOverride save(os::comdlg32.GetSaveFileNameA, &RefuseFile);
  os::ScopedOverride colour(os::comdlg32.ChooseColorA, &RefuseColour);
  TForm form(nullptr);
  TCommonDialog* dialogs[] = {new TOpenDialog(&form), new TSaveDialog(&form), new TColorDialog(&form)};
  for (TCommonDialog* d : dialogs) {
    gExtended = 0;
    EXPECT_FALSE(d->Execute()) << d->ClassName();
    gExtended = CDERR_INITIALIZATION;
    try {
      d->Execute();
      ADD_FAILURE() << d->ClassName() << " reported a failed dialog as a cancel";
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find("0x0002"), std::string::npos) << e.Message();
    }
  }
}

TEST(ColorDialog, OpensOnItsColourAndKeepsTheCustomColours) {
  os::ScopedOverride choose(os::comdlg32.ChooseColorA, &ChooseDarkBlue);
  TForm form(nullptr);
  auto* d = new TColorDialog(&form);
  d->SetColor(clBtnFace);  // a system colour opens on its value
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(gInitial, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(d->Color(), ColorOf(RGB(10, 20, 30)));
  EXPECT_EQ(d->CustomColor(3), RGB(1, 2, 3));
  EXPECT_THROW(d->CustomColor(16), EListError);
}

}  // namespace
}  // namespace kyt
