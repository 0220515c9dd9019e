// Tests of the design tool: the real kytdesign.exe runs as a child process on real form files
// in a temporary folder; each test checks its exit code, its output and the file it left.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "framework/KYTTFormHook.h"
#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/NonAscii.h"
#include "tests/support/StartProcess.h"

namespace kyt {
namespace {

struct TToolRun {
  DWORD ExitCode = 0xFFFFFFFF;
  std::string Out;
  std::string Err;
};

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  os::kernel32.GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of("\\/"));
}

std::string ToolPath() { return ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe"; }

std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  for (char c : arg) {
    if (c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return os::kernel32.CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A form class as an application has it, with a handler the tool's files may name.
class TForm1 : public TForm {
  KYT_CLASS(TForm1, TForm)
 public:
  static void PublishMethods(TMethodPublisher<TForm1>& m) { m.Method<&TForm1::FormHook1Message>("FormHook1Message"); }
  explicit TForm1(TComponent* owner) : TForm(owner) {}
  void FormHook1Message(TObject*, TMessage& message) {
    if (message.Msg == WM_APP + 21) ++Messages;
  }
  int Messages = 0;
};

class KytDesign : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = ModuleFolder() + "\\tools-tmp";
    os::kernel32.CreateDirectoryA(folder.c_str(), nullptr);
    folder += std::string("\\") + info->name();
    os::kernel32.CreateDirectoryA(folder.c_str(), nullptr);
    form = folder + "\\Unit1.kfm";
    os::kernel32.DeleteFileA(form.c_str());
  }
  void TearDown() override {
    for (const char* name : {"\\Unit1.kfm", "\\out.txt", "\\err.txt", "\\Unit1.kfm.kytdesign-tmp", "\\Unit1.~kfm",
                             "\\Base.kfm", "\\Base.~kfm"})
      os::kernel32.DeleteFileA((folder + name).c_str());
    os::kernel32.RemoveDirectoryA(folder.c_str());
  }

  // Starts the tool; with press, presses the button of that caption on the first dialog the
  // child shows (a dialog answerer works only in its own process, so this looks for the
  // child's window by process id).
  TToolRun Run(const std::vector<std::string>& args, const char* press = nullptr, std::string* seenTitle = nullptr) {
    TToolRun run;
    const std::string outPath = folder + "\\out.txt", errPath = folder + "\\err.txt";
    HANDLE out = InheritableFile(outPath), err = InheritableFile(errPath);
    std::string line = Quote(ToolPath());
    for (const std::string& a : args) line += " " + Quote(a);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const DWORD startError = StartProcess(line, folder, si, pi, true);
    os::kernel32.CloseHandle(out);
    os::kernel32.CloseHandle(err);
    EXPECT_EQ(startError, 0u) << "cannot start " << ToolPath();
    if (startError) return run;
    if (press) {
      HWND button = nullptr;
      for (int i = 0; i < 1000 && !button; ++i) {
        if (os::kernel32.WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
        for (HWND top : TopLevelWindowsOf(pi.dwProcessId, true)) {
          for (HWND child : ChildWindows(top)) {
            if (WindowClass(child) == "Button" && WindowText(child) == press) {
              button = child;
              if (seenTitle) *seenTitle = WindowText(top);
            }
          }
        }
      }
      EXPECT_NE(button, nullptr) << "no dialog of the design tool appeared";
      if (button) os::user32.PostMessageA(button, BM_CLICK, 0, 0);
    }
    if (os::kernel32.WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "the design tool did not end";
      os::kernel32.TerminateProcess(pi.hProcess, 1);
      os::kernel32.WaitForSingleObject(pi.hProcess, 5000);
    }
    os::kernel32.GetExitCodeProcess(pi.hProcess, &run.ExitCode);
    os::kernel32.CloseHandle(pi.hThread);
    os::kernel32.CloseHandle(pi.hProcess);
    run.Out = ReadFileText(outPath);
    run.Err = ReadFileText(errPath);
    return run;
  }
  // Runs a command that must succeed.
  std::string Ok(const std::vector<std::string>& args) {
    const TToolRun run = Run(args);
    EXPECT_EQ(run.ExitCode, 0u) << args[0] << ": " << run.Err;
    return run.Out;
  }
  // Runs a command that must be refused without touching the form file.
  TToolRun Refused(const std::vector<std::string>& args) {
    const std::string before = ReadFileText(form);
    const TToolRun run = Run(args);
    EXPECT_NE(run.ExitCode, 0u) << args[0];
    EXPECT_FALSE(run.Err.empty()) << args[0];
    EXPECT_EQ(ReadFileText(form), before) << args[0] << " changed the file";
    return run;
  }
  std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    std::string l;
    while (std::getline(in, l)) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      lines.push_back(l);
    }
    return lines;
  }
  std::string Value(const std::string& inspectOutput, const std::string& path) {
    for (const std::string& l : Lines(inspectOutput))
      if (l.rfind(path + " = ", 0) == 0) return l.substr(path.size() + 3);
    return "<missing>";
  }

  std::string folder;
  std::string form;
};

TEST_F(KytDesign, PaletteListsBothPagesInRegistrationOrder) {
  const std::vector<std::string> lines = Lines(Ok({"palette"}));
  ASSERT_EQ(lines.size(), 2u + 18u + 19u);
  EXPECT_EQ(lines[0], "Page KYT System (18 components)");
  EXPECT_EQ(lines[1].rfind("  TKYTExitWindows", 0), 0u);
  EXPECT_EQ(lines[12], "  TKYTFormHook");
  EXPECT_EQ(lines[18].rfind("  TKYTMultiLists", 0), 0u);
  EXPECT_EQ(lines[19], "Page KYT System 2 (19 components)");
  EXPECT_EQ(lines[20].rfind("  TKYTFormSizes", 0), 0u);
  EXPECT_EQ(lines[38].rfind("  TKYTResourceInfo", 0), 0u);
}

TEST_F(KytDesign, NewWritesAnEmptyFormTheRuntimeLoads) {
  Ok({"new", form});
  const std::string text = ReadFileText(form);
  EXPECT_EQ(text.rfind("object Form1: TForm1", 0), 0u) << text;
  RegisterClass(TForm1::StaticClass());
  TForm1 loaded(nullptr);
  ReadRootText(loaded, text, form);
  EXPECT_EQ(loaded.Name(), "Form1");
  EXPECT_EQ(loaded.Caption(), "Form1");
  EXPECT_EQ(loaded.ComponentCount(), 0);
}

TEST_F(KytDesign, NewRefusesToOverwriteAFile) {
  Ok({"new", form});
  const TToolRun run = Refused({"new", form});
  EXPECT_NE(run.Err.find("already exists"), std::string::npos) << run.Err;
}

TEST_F(KytDesign, NewInheritWritesOnlyWhatDiffersFromTheAncestor) {
  const std::string base = folder + "\\Base.kfm";
  Ok({"new", base, "TBaseDialog"});
  Ok({"add", base, "TKYTFormHook", "Hook"});
  Ok({"new", form, "--inherit", base, "TSettingsForm"});
  EXPECT_EQ(ReadFileText(form), "inherited SettingsForm: TSettingsForm\r\n  Caption = 'SettingsForm'\r\nend\r\n");
  // What cannot make an inherited form leaves no file behind.
  const std::string other = folder + "\\Other.kfm";
  EXPECT_NE(Run({"new", other, "--inherit", folder + "\\Missing.kfm"}).ExitCode, 0u);
  EXPECT_NE(Run({"new", other, "--inherit", form}).Err.find("inherited form"), std::string::npos);
  EXPECT_NE(Run({"new", other, "--inherit", base, "TBaseDialog"}).Err.find("its own ancestor"), std::string::npos);
  EXPECT_NE(Run({"new", other, "--inherit"}).ExitCode, 0u);
  EXPECT_EQ(os::kernel32.GetFileAttributesA(other.c_str()), INVALID_FILE_ATTRIBUTES);

  // The inherited form's file is edited on its ancestor's form and keeps only its differences;
  // without the ancestor named it is refused and stays as it was.
  const std::string before = ReadFileText(form);
  EXPECT_NE(Run({"add", form, "TKYTFormHook", "Extra"}).Err.find("inherited form"), std::string::npos);
  EXPECT_EQ(ReadFileText(form), before);
  Ok({"add", form, "--inherit", base, "TKYTFormHook", "Extra"});
  Ok({"set", form, "--inherit", base, "Hook.Tag", "7"});
  EXPECT_EQ(ReadFileText(form), "inherited SettingsForm: TSettingsForm\r\n  Caption = 'SettingsForm'\r\n"
                                "  inherited Hook: TKYTFormHook\r\n    Tag = 7\r\n  end\r\n"
                                "  object Extra: TKYTFormHook\r\n  end\r\nend\r\n");
  EXPECT_NE(Ok({"inspect", form, "--inherit", base, "Hook"}).find("Tag = 7"), std::string::npos);
}

TEST_F(KytDesign, AddPlacesComponentsWithUniqueDefaultNames) {
  Ok({"new", form});
  EXPECT_EQ(Lines(Ok({"add", form, "TKYTFormHook"})), (std::vector<std::string>{"FormHook1"}));
  EXPECT_EQ(Lines(Ok({"add", form, "tkytformhook"})), (std::vector<std::string>{"FormHook2"}));
  EXPECT_EQ(Lines(Ok({"add", form, "TKYTFormHook", "Watcher"})), (std::vector<std::string>{"Watcher"}));
  const std::string text = ReadFileText(form);
  EXPECT_NE(text.find("object FormHook1: TKYTFormHook"), std::string::npos) << text;
  EXPECT_NE(text.find("object FormHook2: TKYTFormHook"), std::string::npos) << text;
  EXPECT_NE(text.find("object Watcher: TKYTFormHook"), std::string::npos) << text;
  EXPECT_EQ(text.find("About"), std::string::npos) << text;
  // The freed number is used again, as the designer does.
  Ok({"remove", form, "FormHook1"});
  EXPECT_EQ(Lines(Ok({"add", form, "TKYTFormHook"})), (std::vector<std::string>{"FormHook1"}));
}

// A name outside ASCII makes the file UTF-8 with a byte-order mark: the tool reopens it.
TEST_F(KytDesign, MoveStoresAPlaceAndVerbsListTheSelectionsMenu) {
  Ok({"new", form});
  Ok({"add", form, "TKYTWallPaper", "Paper"});
  Ok({"add", form, "TKYTFormHook", "Hook"});
  Ok({"move", form, "Paper", "24", "-16"});
  const std::string text = ReadFileText(form);
  const size_t paper = text.find("object Paper: TKYTWallPaper"), hook = text.find("object Hook: TKYTFormHook");
  EXPECT_LT(text.find("    Left = 24\r\n    Top = -16\r\n", paper), hook) << text;
  EXPECT_EQ(Lines(Ok({"verbs", form, "Paper"})),
            (std::vector<std::string>{"About", "Execute Test", "Delete", "Cut", "Copy", "Paste"}));
  EXPECT_EQ(Lines(Ok({"verbs", form, "Paper", "Hook"})),
            (std::vector<std::string>{"About", "Delete", "Cut", "Copy", "Paste"}));
  Refused({"move", form, "Paper", "24"});
  Refused({"move", form, "Paper", "x", "1"});
  Refused({"move", form, "Nobody", "1", "1"});
}

TEST_F(KytDesign, AFormWithANameInAnyScriptReopens) {
  const std::string name = "\u041D\u0430\u0431\u043B\u044E\u0434\u0430\u0442\u0435\u043B\u044C";
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook", name});
  EXPECT_EQ(ReadFileText(form).rfind("\xEF\xBB\xBFobject Form1: TForm1", 0), 0u);
  EXPECT_EQ(Lines(Ok({"add", form, "TKYTFormHook"})), (std::vector<std::string>{"FormHook1"}));
  EXPECT_NE(ReadFileText(form).find("object " + name + ": TKYTFormHook"), std::string::npos);
}

// Every palette entry is built now, so no "not available" entry is left to try.
TEST_F(KytDesign, AddRefusesUnknownAndDuplicateComponents) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook"});
  EXPECT_NE(Refused({"add", form, "TKYTNoSuchThing"}).Err.find("not a component of the palette"), std::string::npos);
  Refused({"add", form, "TKYTFormHook", "FormHook1"});
  Refused({"add", form, "TKYTFormHook", "not a name"});
  Refused({"add", form, "TKYTFormHook", "Form1"});
  Refused({"add", form, "TKYTFormHook", "form1"});
  Refused({"add", form, "TKYTFormHook", ""});
  Refused({"add", form, "TForm"});
}

TEST_F(KytDesign, InspectShowsEveryEntryWithItsEditorText) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook"});
  const std::string out = Ok({"inspect", form, "FormHook1"});
  EXPECT_EQ(Lines(out), (std::vector<std::string>{"Name = FormHook1", "Tag = 0",
                                                  "About = (KYT System Components)  (read-only)", "OnMessage = "}));
  const std::string root = Ok({"inspect", form, "Form1"});
  EXPECT_EQ(Value(root, "Caption"), "Form1");
  EXPECT_EQ(Value(root, "BorderStyle"), "bsSizeable");
  EXPECT_NE(Value(root, "Font.Name"), "<missing>") << root;
}

TEST_F(KytDesign, InspectSeveralShowsOnlySharedMultiSelectEntries) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook"});
  Ok({"add", form, "TKYTFormHook"});
  Ok({"set", form, "FormHook2.Tag", "5"});
  const std::string out = Ok({"inspect", form, "FormHook1", "FormHook2"});
  EXPECT_EQ(Lines(out), (std::vector<std::string>{"Tag = ", "About = (KYT System Components)  (read-only)",
                                                  "OnMessage = "}));
  Refused({"inspect", form, "FormHook1", "Nobody"});
}

TEST_F(KytDesign, SetChangesValuesAsTheInspectorTakesThem) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook"});
  Ok({"set", form, "FormHook1.Tag", "$20"});
  Ok({"set", form, "Form1.Caption", "Designed form"});
  Ok({"set", form, "Form1.Font.Size", "12"});
  Ok({"set", form, "Form1.BorderIcons.biMaximize", "False"});
  Ok({"set", form, "FormHook1.Name", "Watcher"});
  const std::string text = ReadFileText(form);
  EXPECT_NE(text.find("Tag = 32"), std::string::npos) << text;
  EXPECT_NE(text.find("Caption = 'Designed form'"), std::string::npos) << text;
  EXPECT_NE(text.find("Font.Height = -16"), std::string::npos) << text;   // the font stores its size as a height
  EXPECT_NE(text.find("BorderIcons = [biSystemMenu, biMinimize]"), std::string::npos) << text;
  EXPECT_NE(text.find("object Watcher: TKYTFormHook"), std::string::npos) << text;
}

// Text in any script goes through the tool whole, and the file it writes stays ASCII: every other
// character is a # code of its UTF-16 units (a pair for the one outside the BMP).
TEST_F(KytDesign, CaptionsInAnyScriptRoundTripThroughAnAsciiFile) {
  const std::string caption = test::kCyrillic + " " + test::kCjk + " " + test::kAstral;
  Ok({"new", form});
  Ok({"set", form, "Form1.Caption", caption});
  const std::string text = ReadFileText(form);
  EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      << text;
  EXPECT_NE(text.find("#1055#1088#1080"), std::string::npos) << text;  // При
  EXPECT_NE(text.find("#55357#56832"), std::string::npos) << text;
  EXPECT_EQ(Value(Ok({"inspect", form, "Form1"}), "Caption"), caption);
}

TEST_F(KytDesign, SetRefusesReadOnlyEntriesAndBadValuesLeavingTheFile) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook"});
  EXPECT_NE(Refused({"set", form, "FormHook1.About", "mine"}).Err.find("read-only"), std::string::npos);
  Refused({"set", form, "FormHook1.Tag", "many"});
  Refused({"set", form, "FormHook1.NoSuchProperty", "1"});
  Refused({"set", form, "Nobody.Tag", "1"});
  Refused({"set", form, "FormHook1", "1"});
  Refused({"set", form, "Form1.BorderStyle", "bsRound"});
  Refused({"set", form, "Form1.Font", "Arial"});
  Refused({"set", form, "FormHook1.OnMessage", "not-a-name"});
  Refused({"set", form, "FormHook1.Name", "Form1 x"});
  Refused({"set", form, "FormHook1.Name", "Form1"});
  Refused({"set", form, "FormHook1.Name", ""});
  Refused({"set", form, "Form1.Name", "FormHook1"});
}

TEST_F(KytDesign, EventHandlerNamesSurviveAndTheRuntimeBindsThem) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook"});
  Ok({"set", form, "FormHook1.OnMessage", "FormHook1Message"});
  Ok({"add", form, "TKYTFormHook"});
  Ok({"set", form, "FormHook2.OnMessage", "FormHook1Message"});
  // Another edit keeps the names the tool has no code for.
  Ok({"set", form, "FormHook2.Tag", "2"});
  const std::string text = ReadFileText(form);
  EXPECT_NE(text.find("OnMessage = FormHook1Message"), std::string::npos) << text;
  EXPECT_EQ(Value(Ok({"inspect", form, "FormHook2"}), "OnMessage"), "FormHook1Message");
  EXPECT_EQ(Value(Ok({"inspect", form, "FormHook1", "FormHook2"}), "OnMessage"), "FormHook1Message");
  // A name already used for another kind of event is refused.
  Refused({"set", form, "Form1.OnShow", "FormHook1Message"});

  RegisterClasses({&TForm1::StaticClass(), &TKYTFormHook::StaticClass()});
  TForm1 loaded(nullptr);
  ReadRootText(loaded, ReadFileText(form), form);
  os::user32.SendMessageA(loaded.Handle(), WM_APP + 21, 0, 0);
  EXPECT_EQ(loaded.Messages, 2);   // both hooks call the application's handler

  // Clearing the event drops the name from the file.
  Ok({"set", form, "FormHook1.OnMessage", ""});
  Ok({"set", form, "FormHook2.OnMessage", ""});
  EXPECT_EQ(ReadFileText(form).find("FormHook1Message"), std::string::npos);
}

TEST_F(KytDesign, HandlerNamesOfSubObjectEventsSurviveToo) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormSaver"});
  Ok({"set", form, "FormSaver1.FormStore.Registry.Path", "Software\\KYT\\Tests\\Tools"});
  Ok({"set", form, "FormSaver1.FormStore.OnError", "SaverError"});
  Ok({"set", form, "FormSaver1.StoreControls", "False"});
  const std::string text = ReadFileText(form);
  EXPECT_NE(text.find("FormStore.Registry.Path = 'Software\\KYT\\Tests\\Tools'"), std::string::npos) << text;
  EXPECT_NE(text.find("FormStore.OnError = SaverError"), std::string::npos) << text;
  EXPECT_EQ(Value(Ok({"inspect", form, "FormSaver1"}), "FormStore.OnError"), "SaverError");
}

TEST_F(KytDesign, TestRefusesComponentsWithoutExecute) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook"});
  EXPECT_NE(Refused({"test", form, "FormHook1"}).Err.find("has no execute test"), std::string::npos);
  Refused({"test", form, "Nobody"});
}

TEST_F(KytDesign, TestRunsExecuteInTheDesignerAndItsHandlerNameStays) {
  Ok({"new", form});
  Ok({"add", form, "TKYTMsgBox"});
  // The handler is a designer method: Execute calls it when OK is pressed, and it does nothing.
  Ok({"set", form, "MsgBox1.OnOk", "MsgBox1Ok"});
  std::string title;
  const TToolRun run = Run({"test", form, "MsgBox1"}, "OK", &title);
  EXPECT_EQ(run.ExitCode, 0u) << run.Err;
  EXPECT_FALSE(title.empty());
  EXPECT_NE(ReadFileText(form).find("OnOk = MsgBox1Ok"), std::string::npos);
}

TEST_F(KytDesign, TestIgnoresAFalseResultOfExecute) {
  Ok({"new", form});
  Ok({"add", form, "TKYTMsgDlg"});
  const TToolRun run = Run({"test", form, "MsgDlg1"}, "Cancel");
  EXPECT_EQ(run.ExitCode, 0u) << run.Err;
  EXPECT_NE(ReadFileText(form).find("Return = 'Default Return'"), std::string::npos);
}

TEST_F(KytDesign, RemoveDeletesTheComponent) {
  Ok({"new", form});
  Ok({"add", form, "TKYTFormHook"});
  Ok({"add", form, "TKYTFormHook"});
  Ok({"remove", form, "FormHook1"});
  const std::string text = ReadFileText(form);
  EXPECT_EQ(text.find("FormHook1"), std::string::npos) << text;
  EXPECT_NE(text.find("FormHook2"), std::string::npos) << text;
  Refused({"remove", form, "FormHook1"});
  Refused({"remove", form, "Form1"});
}

TEST_F(KytDesign, RefusesBadCommandLinesAndBrokenFiles) {
  EXPECT_EQ(Run({}).ExitCode, 2u);
  const TToolRun unknown = Run({"paint", form});
  EXPECT_EQ(unknown.ExitCode, 2u);
  EXPECT_NE(unknown.Err.find("unknown command"), std::string::npos);
  EXPECT_NE(Run({"add", form, "TKYTFormHook"}).ExitCode, 0u);   // no such file
  Ok({"new", form});
  Refused({"add", form});
  Refused({"inspect", form});
  {
    std::ofstream broken(form, std::ios::binary | std::ios::trunc);
    broken << "object Form1: TForm1\r\n  Caption = 'unterminated\r\nend\r\n";
  }
  const TToolRun run = Refused({"add", form, "TKYTFormHook"});
  EXPECT_NE(run.Err.find("Unit1.kfm"), std::string::npos) << run.Err;
}

// Every palette component gets a page from its published table and its header; the check
// finds a page that differs from what would be written, and a page of no component.
TEST_F(KytDesign, ReferencePagesAreWrittenFromTheSourcesAndChecked) {
  const std::string pages = folder + "\\reference";
  const auto removePages = [&] {
    for (const char* name : {"\\*.md", "\\*.kytdesign-tmp"}) {
      WIN32_FIND_DATAA data;
      HANDLE find = os::kernel32.FindFirstFileA((pages + name).c_str(), &data);
      if (find == INVALID_HANDLE_VALUE) continue;
      do os::kernel32.DeleteFileA((pages + "\\" + data.cFileName).c_str());
      while (os::kernel32.FindNextFileA(find, &data));
      os::kernel32.FindClose(find);
    }
    os::kernel32.RemoveDirectoryA(pages.c_str());
  };
  removePages();
  const TToolRun missing = Run({"reference", "--check", KYT_SOURCE_DIR, pages});
  EXPECT_EQ(missing.ExitCode, 2u);
  EXPECT_NE(missing.Err.find("TKYTWavePlayer.md"), std::string::npos) << missing.Err;
  EXPECT_EQ(Lines(Ok({"reference", KYT_SOURCE_DIR, pages})), std::vector<std::string>{"wrote 38 of 38 reference pages"});
  EXPECT_EQ(Lines(Ok({"reference", "--check", KYT_SOURCE_DIR, pages})),
            std::vector<std::string>{"38 reference pages are up to date"});

  const std::string logFile = ReadFileText(pages + "\\TKYTLogFile.md");
  for (const char* row : {"| LogTime | `Boolean` | `False` | when not the default | Puts the time before each line. |",
                          "| Tag | `Integer` | `0` | when not the default | A number for the application's own use; "
                          "the component never reads it. |",
                          "## Example\n\nFrom `examples/showcase/ShowcaseFiles.cpp`:\n\n```cpp\nauto* log = ",
                          "| Header | `string` | &nbsp; | always |",
                          "| About | `TKYTAboutStr` | &nbsp; | never |",
                          "| OnClear | `TNotifyEvent` | when assigned |",
                          "| `void Log(const std::string& Msg)` | Appends the line for Msg; a new file first gets the "
                          "header when LogHeader is set. |",
                          "- Base class: `TKYTSystemsComponent`"})
    EXPECT_NE(logFile.find(row), std::string::npos) << row << "\n" << logFile;
  EXPECT_EQ(logFile.find("SetLogTime"), std::string::npos) << "accessors belong to the property table";
  const std::string wallPaper = ReadFileText(pages + "\\TKYTWallPaper.md");
  EXPECT_NE(wallPaper.find("| Method | Description |\n|---|---|\n| `bool Execute()` |"), std::string::npos) << wallPaper;
  const std::string index = ReadFileText(pages + "\\README.md");
  size_t links = 0;
  for (size_t at = index.find(".md)"); at != std::string::npos; at = index.find(".md)", at + 1)) ++links;
  EXPECT_EQ(links, 37u) << index;
  const size_t settings = index.find("\n## Settings\n"), system = index.find("\n## System\n");
  EXPECT_LT(settings, index.find("[TKYTFormSaver](TKYTFormSaver.md) | KYT System 2 | Keeps the window state")) << index;
  EXPECT_LT(system, index.find("[TKYTWavePlayer](TKYTWavePlayer.md)")) << index;
  EXPECT_LT(index.find("[TKYTFormSaver]"), system) << index;

  {
    std::ofstream changed(pages + "\\TKYTLogFile.md", std::ios::binary | std::ios::app);
    changed << "| Extra | `Integer` | `0` | always |\n";
    std::ofstream stray(pages + "\\TKYTGone.md", std::ios::binary);
    stray << "# TKYTGone\n";
  }
  const TToolRun stale = Run({"reference", "--check", KYT_SOURCE_DIR, pages});
  EXPECT_EQ(stale.ExitCode, 2u);
  EXPECT_NE(stale.Err.find("\n  TKYTLogFile.md"), std::string::npos) << stale.Err;
  EXPECT_NE(stale.Err.find("TKYTGone.md (no such component)"), std::string::npos) << stale.Err;
  EXPECT_EQ(stale.Err.find("TKYTWallPaper.md"), std::string::npos) << stale.Err;
  EXPECT_EQ(Lines(Ok({"reference", KYT_SOURCE_DIR, pages})),
            std::vector<std::string>{"wrote 1 of 38 reference pages, removed 1"});
  EXPECT_EQ(ReadFileText(pages + "\\TKYTLogFile.md"), logFile);
  EXPECT_EQ(Run({"reference", "--check", KYT_SOURCE_DIR, pages}).ExitCode, 0u);

  EXPECT_EQ(Run({"reference", "--check", KYT_SOURCE_DIR}).ExitCode, 2u);
  const TToolRun noSource = Run({"reference", "--check", folder, pages});
  EXPECT_EQ(noSource.ExitCode, 2u);
  EXPECT_NE(noSource.Err.find("defines TKYT"), std::string::npos) << noSource.Err;
  removePages();
}

// A copy of the source tree's headers (no tests, no showcase) for the checks of what a page
// needs; removed again by the test.
class TSourceCopy {
 public:
  explicit TSourceCopy(const std::string& path) : FPath(path) {
    RemoveTree(FPath);
    os::kernel32.CreateDirectoryA(FPath.c_str(), nullptr);
    for (const std::string& folder : Folders(KYT_SOURCE_DIR)) {
      if (folder == "tests" || folder == "examples" || folder == "build") continue;
      os::kernel32.CreateDirectoryA((FPath + "\\" + folder).c_str(), nullptr);
      CopyHeaders(folder);
      for (const std::string& sub : Folders(std::string(KYT_SOURCE_DIR) + "\\" + folder)) CopyHeaders(folder + "\\" + sub);
    }
    os::kernel32.CreateDirectoryA((FPath + "\\tests").c_str(), nullptr);
  }
  ~TSourceCopy() { RemoveTree(FPath); }
  TSourceCopy(const TSourceCopy&) = delete;
  TSourceCopy& operator=(const TSourceCopy&) = delete;

  const std::string& Path() const { return FPath; }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(FPath + "\\" + name, std::ios::binary) << text;
  }
  // Drops the comment lines directly above the line that holds statement.
  void DropCommentAbove(const std::string& header, const std::string& statement) const {
    std::vector<std::string> lines;
    std::stringstream in(ReadFileText(FPath + "\\" + header));
    for (std::string line; std::getline(in, line);) {
      if (line.find(statement) != std::string::npos)
        while (!lines.empty() && lines.back().find_first_not_of(' ') != std::string::npos &&
               lines.back().compare(lines.back().find_first_not_of(' '), 2, "//") == 0)
          lines.pop_back();
      lines.push_back(line);
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    Write(header, text);
  }

 private:
  static std::vector<std::string> Folders(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = os::kernel32.FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = data.cFileName;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name[0] != '.') names.push_back(name);
    } while (os::kernel32.FindNextFileA(find, &data));
    os::kernel32.FindClose(find);
    return names;
  }
  void CopyHeaders(const std::string& folder) const {
    const std::string from = std::string(KYT_SOURCE_DIR) + "\\" + folder, to = FPath + "\\" + folder;
    WIN32_FIND_DATAA data;
    HANDLE find = os::kernel32.FindFirstFileA((from + "\\*.h").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    os::kernel32.CreateDirectoryA(to.c_str(), nullptr);
    do os::kernel32.CopyFileA((from + "\\" + data.cFileName).c_str(), (to + "\\" + data.cFileName).c_str(), FALSE);
    while (os::kernel32.FindNextFileA(find, &data));
    os::kernel32.FindClose(find);
  }
  static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = os::kernel32.FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = data.cFileName, path = dir + "\\" + name;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
        else os::kernel32.DeleteFileA(path.c_str());
      } while (os::kernel32.FindNextFileA(find, &data));
      os::kernel32.FindClose(find);
    }
    os::kernel32.RemoveDirectoryA(dir.c_str());
  }
  std::string FPath;
};

// A page needs a description of the component and of every member it publishes, and an
// example; the check names each one missing, with the header or the source to change.
TEST_F(KytDesign, ReferenceCheckNamesMissingDescriptionsAndExamples) {
  const TSourceCopy source(folder + "\\source");
  const std::string pages = folder + "\\pages";
  const TToolRun noExamples = Run({"reference", "--check", source.Path(), pages});
  EXPECT_EQ(noExamples.ExitCode, 2u);
  EXPECT_NE(noExamples.Err.find("\n  TKYTLogFile has no example: mark one in the tests or the showcase between "
                                "\"// reference example: TKYTLogFile\" and \"// end of reference example\""),
            std::string::npos)
      << noExamples.Err;
  EXPECT_EQ(noExamples.Err.find("has no description"), std::string::npos) << noExamples.Err;

  // An example for every component of the palette, one of them twice, and one of no component.
  std::string examples;
  for (const std::string& line : Lines(Ok({"palette"}))) {
    if (!line.starts_with("  ")) continue;
    const std::string name = line.substr(2, line.find(' ', 2) - 2);
    examples += "// reference example: " + name + "\nUse(\"" + name + "\");\n// end of reference example\n";
  }
  const std::string second = "\n  // reference example: TKYTTopMost\n  Again();\n  // end of reference example\n";
  source.Write("tests\\Examples.cpp", examples);
  source.Write("tests\\Second.cpp", second + "// reference example: TKYTNothing\nx();\n// end of reference example\n");
  source.DropCommentAbove("persistence\\KYTTFormSaver.h", "p.Property(\"StoreSize\"");
  source.DropCommentAbove("framework\\KYTSystem.h", "p.Property(\"About\"");
  const TToolRun gaps = Run({"reference", "--check", source.Path(), pages});
  EXPECT_EQ(gaps.ExitCode, 2u);
  EXPECT_EQ(Lines(gaps.Err), (std::vector<std::string>{
                                 "kytdesign: the reference pages cannot be made from " + source.Path() + ":",
                                 "  tests/Second.cpp:2: a second reference example of TKYTTopMost (the first is in "
                                 "tests/Examples.cpp); mark one only",
                                 "  tests/Second.cpp:5: a reference example of TKYTNothing, which is no component of the "
                                 "palette",
                                 "  TKYTFormSaver.StoreSize (property) has no description: write one in a comment line "
                                 "above its entry in TKYTFormSaver::Publish (persistence/KYTTFormSaver.h)",
                                 "  TKYTSystemsComponent.About (property) has no description: write one in a comment line "
                                 "above its entry in TKYTSystemsComponent::Publish (framework/KYTSystem.h)",
                             }));

  const TToolRun written = Run({"reference", source.Path(), pages});
  EXPECT_EQ(written.ExitCode, 2u) << "nothing is written while a page lacks something";
  EXPECT_EQ(written.Err, gaps.Err);
  EXPECT_EQ(os::kernel32.GetFileAttributesA((pages + "\\README.md").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace kyt
