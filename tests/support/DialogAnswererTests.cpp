// DialogAnswererTests.cpp: the answerer finds real modal windows, records them and presses buttons.
#include "tests/support/DialogAnswerer.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/MessagePump.h"

namespace kyt {
namespace {

// Builds an in-memory dialog template: a caption, a label, an edit or combo box, OK and Cancel.
class DialogTemplate {
 public:
  DialogTemplate(const char* title, const char* inputClass) {
    Align();
    DLGTEMPLATE head{};
    head.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
    head.cdit = 4;
    head.cx = 180;
    head.cy = 80;
    Put(&head, sizeof head);
    Word(0);  // no menu
    Word(0);  // default class
    Text(title);
    Word(8);
    Text("MS Shell Dlg");
    Item(0xFFFF, 0x0082, WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 5, 170, 10, "Name:");
    Item(100, 0, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP |
         (std::strcmp(inputClass, "ComboBox") == 0 ? CBS_DROPDOWN : ES_AUTOHSCROLL),
         5, 20, 170, 12, "", inputClass);
    Item(IDOK, 0x0080, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 70, 60, 50, 14, "&OK");
    Item(IDCANCEL, 0x0080, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 125, 60, 50, 14, "Cancel");
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  void Put(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    data_.insert(data_.end(), b, b + n);
  }
  void Word(WORD w) { Put(&w, sizeof w); }
  void Text(const char* s) {
    for (; *s; ++s) Word(static_cast<unsigned char>(*s));
    Word(0);
  }
  void Align() { while (data_.size() % 4) data_.push_back(0); }
  void Item(WORD id, WORD atom, DWORD style, short x, short y, short cx, short cy,
            const char* text, const char* className = nullptr) {
    Align();
    DLGITEMTEMPLATE item{};
    item.style = style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    Put(&item, sizeof item);
    if (className) {
      Text(className);
    } else {
      Word(0xFFFF);
      Word(atom);
    }
    Text(text);
    Word(0);  // no creation data
  }
  std::vector<unsigned char> data_;
};

struct DialogResult {
  std::string typed;
};

// The dialog being run records into this (one dialog at a time in these tests).
DialogResult* currentResult = nullptr;

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    currentResult = reinterpret_cast<DialogResult*>(lParam);
    return TRUE;
  }
  if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    DialogResult* result = currentResult;
    char text[128] = {};
    ::GetDlgItemTextA(dialog, 100, text, sizeof text);
    if (result) result->typed = text;
    ::EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

INT_PTR RunInputDialog(const char* title, const char* inputClass, DialogResult* result) {
  DialogTemplate tpl(title, inputClass);
  return ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), tpl.Get(), nullptr,
                                   &InputDialogProc, reinterpret_cast<LPARAM>(result));
}

TEST(DialogAnswerer, PressesMessageBoxButtonByCaptionAndRecordsWhatItShowed) {
  DialogAnswerer answer(Press("no"));
  const int result = ::MessageBoxA(nullptr, "Replace the file?", "Confirm", MB_YESNO);
  EXPECT_EQ(result, IDNO);
  EXPECT_TRUE(answer.Answered());
  EXPECT_FALSE(answer.Failed());
  EXPECT_EQ(answer.SeenTitle(), "Confirm");
  EXPECT_EQ(answer.SeenClassName(), "#32770");
  EXPECT_NE(answer.SeenText().find("Replace the file?"), std::string::npos);
  EXPECT_GT(answer.SeenRect().right - answer.SeenRect().left, 0);
  EXPECT_GT(answer.SeenClientRect().bottom, 0);
}

TEST(DialogAnswerer, PressesButtonByControlId) {
  DialogAnswerer answer(Press(IDCANCEL));
  EXPECT_EQ(::MessageBoxA(nullptr, "Go on?", "Question", MB_OKCANCEL), IDCANCEL);
  EXPECT_TRUE(answer.Answered());
}

TEST(DialogAnswerer, SendsCommandWhenAskedInsteadOfClicking) {
  DialogAnswerer answer(Press(IDCANCEL).Command());
  DialogResult result;
  EXPECT_EQ(RunInputDialog("Command", "Edit", &result), IDCANCEL);
  EXPECT_TRUE(answer.Answered());
}

TEST(DialogAnswerer, TypesIntoTheFirstEditBeforePressing) {
  DialogAnswerer answer(Press("OK").Type("typed name"));
  DialogResult result;
  EXPECT_EQ(RunInputDialog("Rename", "Edit", &result), IDOK);
  EXPECT_EQ(result.typed, "typed name");
  EXPECT_EQ(answer.SeenTitle(), "Rename");
  ASSERT_FALSE(answer.SeenTexts().empty());
  EXPECT_EQ(answer.SeenTexts().front(), "Name:");
}

TEST(DialogAnswerer, TypesIntoADropDownComboBox) {
  DialogAnswerer answer(Press("OK").Type("combo text"));
  DialogResult result;
  EXPECT_EQ(RunInputDialog("Choose", "ComboBox", &result), IDOK);
  EXPECT_EQ(result.typed, "combo text");
}

TEST(DialogAnswerer, LetsTheTestInspectTheWindowBeforePressing) {
  std::vector<std::string> buttons;
  HWND seen = nullptr;
  DialogAnswerer answer(Press("OK").OnFound([&](HWND w) {
    seen = w;
    for (HWND child : ChildWindows(w))
      if (WindowClass(child) == "Button") buttons.push_back(WindowText(child));
  }));
  ::MessageBoxA(nullptr, "Done.", "Info", MB_OKCANCEL);
  EXPECT_EQ(seen, answer.SeenWindow());
  EXPECT_EQ(buttons.size(), 2u);
}

TEST(DialogAnswerer, IgnoresWindowsWithAnotherTitle) {
  DialogAnswerer answer(Press("OK").Title("Other").Timeout(300));
  ::MessageBoxA(nullptr, "text", "Mine", MB_OK);  // closed by the give-up, not answered
  EXPECT_FALSE(answer.Answered());
  EXPECT_TRUE(answer.Failed());
  EXPECT_FALSE(answer.FailureReason().empty());
}

TEST(DialogAnswererGiveUp, ClosesTheDialogWhenTheButtonDoesNotExist) {
  DialogAnswerer answer(Press("Maybe").Timeout(300));
  ::MessageBoxA(nullptr, "text", "No such button", MB_OK);  // WM_CLOSE ends it; result is Wine's
  EXPECT_TRUE(answer.Failed());
  EXPECT_EQ(answer.SeenTitle(), "No such button");
}

TEST(DialogAnswererGiveUp, FailsWhenNoDialogAppears) {
  DialogAnswerer answer(Press("OK").Timeout(100));
  EXPECT_FALSE(answer.Wait(2000));
  EXPECT_TRUE(answer.Failed());
}

TEST(DialogAnswerer, LeavesWindowsThatWereAlreadyShowingAlone) {
  DialogTemplate tpl("Already here", "Edit");
  DialogResult result;
  HWND modeless = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), tpl.Get(), nullptr,
                                               &InputDialogProc,
                                               reinterpret_cast<LPARAM>(&result));
  ASSERT_NE(modeless, nullptr);
  ::ShowWindow(modeless, SW_SHOW);
  {
    DialogAnswerer answer(Press("OK").Timeout(200));
    EXPECT_FALSE(answer.Wait(2000));
  }
  EXPECT_TRUE(::IsWindow(modeless));  // never pressed, never closed
  EXPECT_TRUE(ProcessTopLevelWindows(true).size() >= 1u);
  ::DestroyWindow(modeless);
}

}  // namespace
}  // namespace kyt
