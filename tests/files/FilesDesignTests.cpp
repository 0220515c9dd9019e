// The file components in the design tool and in form files: the real kytdesign.exe adds,
// inspects, sets and execute-tests them on a form file in a sandbox folder, and the runtime
// reads what it wrote.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "files/KYTTFileCollector.h"
#include "files/KYTTFileOperator.h"
#include "files/KYTTFileProperties.h"
#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/support/FormText.h"
#include "tests/support/StartProcess.h"

namespace kyt {
namespace {

using filestest::PathExists;
using filestest::Sandbox;
using Lines = std::vector<std::string>;

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  os::kernel32.GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string s = path;
  return s.substr(0, s.find_last_of("\\/"));
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The form file's text with each string as the text it stands for (long strings are split by the
// writer, and characters beyond ASCII are # codes).
std::string JoinedText(const std::string& path) { return test::ReadableFormText(ReadText(path)); }

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::stringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

// The value of one "Path = value" line of the inspector's output.
std::string Value(const std::string& inspect, const std::string& path) {
  for (const std::string& l : SplitLines(inspect))
    if (l.rfind(path + " = ", 0) == 0) return l.substr(path.size() + 3);
  return "<missing>";
}

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return os::kernel32.CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
}

class FileOperationsInDesignTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PathExists(Tool())) << "the design tool is not built: " << Tool();
    form = box / "Unit1.kfm";
  }
  static std::string Tool() { return ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe"; }

  // Runs the tool in the sandbox; the exit code must be 0. Returns its standard output.
  std::string Ok(const Lines& args) {
    const std::string outPath = box / "out.txt", errPath = box / "err.txt";
    HANDLE out = InheritableFile(outPath), err = InheritableFile(errPath);
    std::string line = "\"" + Tool() + "\"";
    for (const std::string& a : args) line += " \"" + a + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const DWORD startError = StartProcess(line, box.Path(), si, pi, true);
    const bool started = startError == 0;
    os::kernel32.CloseHandle(out);
    os::kernel32.CloseHandle(err);
    EXPECT_TRUE(started) << line << " (error " << startError << ")";
    if (!started) return {};
    DWORD code = 0xFFFFFFFF;
    if (os::kernel32.WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
      os::kernel32.GetExitCodeProcess(pi.hProcess, &code);
    } else {
      os::kernel32.TerminateProcess(pi.hProcess, 1);
      os::kernel32.WaitForSingleObject(pi.hProcess, 5000);
    }
    os::kernel32.CloseHandle(pi.hThread);
    os::kernel32.CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u) << args[0] << ": " << ReadText(errPath);
    return ReadText(outPath);
  }
  // Adds lines to the component's block of the form file (lists cannot be set from text).
  void AddToBlock(const std::string& name, const std::string& lines) {
    std::string text = ReadText(form);
    const size_t at = text.find("object " + name + ":");
    ASSERT_NE(at, std::string::npos) << text;
    const size_t eol = text.find('\n', at);
    text.insert(eol + 1, lines);
    std::ofstream(form, std::ios::binary) << text;
  }

  Sandbox box;
  std::string form;
};

TEST_F(FileOperationsInDesignTool, FileOperatorIsAddedInspectedSetAndExecuteTested) {
  box.File("src\\a.txt", "alpha");
  box.File("src\\b.txt", "beta");
  Ok({"new", form});
  EXPECT_EQ(SplitLines(Ok({"add", form, "TKYTFileOperator"})), Lines{"FileOperator1"});
  const std::string fresh = Ok({"inspect", form, "FileOperator1"});
  EXPECT_EQ(Value(fresh, "Operation"), "CopyFile");
  EXPECT_EQ(Value(fresh, "Flags"), "[opAllowUndo, opNoConfirmMkDir]");
  EXPECT_EQ(Value(fresh, "DesignExecute"), "(Execute Test)  (read-only)");
  EXPECT_EQ(Value(fresh, "FilesFrom"), "(TStringList)  (read-only)");

  Ok({"set", form, "FileOperator1.DirFrom", box / "src"});
  Ok({"set", form, "FileOperator1.DirTo", box / "dst"});
  Ok({"set", form, "FileOperator1.Flags.opAllowUndo", "False"});
  Ok({"set", form, "FileOperator1.Flags.opSilent", "True"});
  Ok({"set", form, "FileOperator1.Flags.opNoConfirmation", "True"});
  AddToBlock("FileOperator1", "    FilesFrom.Strings = (\r\n      'a.txt'\r\n      'b.txt')\r\n");
  const std::string set = Ok({"inspect", form, "FileOperator1"});
  EXPECT_EQ(Value(set, "Flags"), "[opNoConfirmation, opNoConfirmMkDir, opSilent]");
  EXPECT_EQ(Value(set, "DirTo"), box / "dst");

  Ok({"test", form, "FileOperator1"});
  EXPECT_EQ(filestest::ReadBytes(box / "dst\\a.txt"), "alpha");
  EXPECT_EQ(filestest::ReadBytes(box / "dst\\b.txt"), "beta");
  // The execute test gave DirFrom its backslash, and that is what the form now holds.
  EXPECT_NE(JoinedText(form).find("DirFrom = '" + box.Path() + "\\src\\'"), std::string::npos)
      << JoinedText(form);
}

TEST_F(FileOperationsInDesignTool, FileCollectorsExecuteTestStoresWhatItFound) {
  box.File("tree\\one.txt");
  box.File("tree\\sub\\two.txt");
  Ok({"new", form});
  EXPECT_EQ(SplitLines(Ok({"add", form, "TKYTFileCollector"})), Lines{"FileCollector1"});
  EXPECT_EQ(Value(Ok({"inspect", form, "FileCollector1"}), "LocatedObjects"), "(TStringList)  (read-only)");
  Ok({"set", form, "FileCollector1.InitialDirectory", box / "tree"});
  Ok({"set", form, "FileCollector1.FileMask", "*.txt"});
  Ok({"test", form, "FileCollector1"});
  const std::string text = JoinedText(form);
  EXPECT_NE(text.find("InitialDirectory = '" + box.Path() + "\\tree\\'"), std::string::npos) << text;
  EXPECT_NE(text.find("'" + box.Path() + "\\tree\\one.txt'"), std::string::npos) << text;
  EXPECT_NE(text.find("'" + box.Path() + "\\tree\\sub\\two.txt'"), std::string::npos) << text;
  EXPECT_NE(text.find("FileMask = '*.txt'"), std::string::npos) << text;
}

TEST_F(FileOperationsInDesignTool, FilePropertiesShowAFileAndStoreNothing) {
  const std::string file = box.File("shown.txt", "123");
  Ok({"new", form});
  EXPECT_EQ(SplitLines(Ok({"add", form, "TKYTFileProperties"})), Lines{"FileProperties1"});
  const std::string empty = Ok({"inspect", form, "FileProperties1"});
  EXPECT_EQ(Value(empty, "Filename"), "");
  EXPECT_EQ(Value(empty, "Size"), "0");
  EXPECT_EQ(Value(empty, "DesignExecute"), "<missing>");
  Ok({"set", form, "FileProperties1.Filename", file});
  Ok({"set", form, "FileProperties1.Attributes.ftReadOnly", "True"});
  // Nothing is stored, so each run of the tool starts with an empty component again.
  const std::string text = ReadText(form);
  EXPECT_EQ(text.find("Filename"), std::string::npos) << text;
  EXPECT_EQ(text.find("Attributes"), std::string::npos) << text;
  EXPECT_EQ(::GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

// The form-file round trip: which properties are written, and that they read back.
class TFilesTestRoot : public TComponent {
  KYT_CLASS(TFilesTestRoot, TComponent)
 public:
  using TComponent::TComponent;
};

TEST(FilesFormFile, StoresOnlyTheValuesThatDifferFromTheirDefaults) {
  RegisterClasses({&TFilesTestRoot::StaticClass(), &TKYTFileOperator::StaticClass(),
                   &TKYTFileCollector::StaticClass(), &TKYTFileProperties::StaticClass()});
  TFilesTestRoot root(nullptr);
  auto* op = new TKYTFileOperator(&root);
  op->SetName("Op");
  auto* collector = new TKYTFileCollector(&root);
  collector->SetName("Collector");
  auto* props = new TKYTFileProperties(&root);
  props->SetName("Props");
  std::string text = WriteComponentText(root);
  // Strings have no declared default and are written even when empty, as everywhere.
  for (const char* absent : {"Operation", "Flags", "FilesFrom", "LocatedObjects", "Filename",
                             "Size", "AttributesShort", "About", "DesignExecute"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;

  op->SetOperation(TKYTFileFunction::DeleteFile);
  op->SetFlags({opSilent, opFilesOnly});
  op->FilesFrom()->Add("a.txt");
  op->SetDirFrom("C:\\src");
  op->SetDirTo("D:\\dst");
  collector->SetInitialDirectory("C:\\tree\\");
  collector->SetFileMask("*.log");
  collector->LocatedObjects()->Add("C:\\tree\\x.log");
  text = WriteComponentText(root);
  EXPECT_NE(text.find("Operation = DeleteFile"), std::string::npos) << text;
  EXPECT_NE(text.find("Flags = [opFilesOnly, opSilent]"), std::string::npos) << text;

  TFilesTestRoot copy(nullptr);
  ReadRootText(copy, text, "files.kfm");
  auto* op2 = ObjectCast<TKYTFileOperator>(copy.FindComponent("Op"));
  auto* collector2 = ObjectCast<TKYTFileCollector>(copy.FindComponent("Collector"));
  ASSERT_NE(op2, nullptr);
  ASSERT_NE(collector2, nullptr);
  EXPECT_EQ(op2->Operation(), TKYTFileFunction::DeleteFile);
  EXPECT_EQ(op2->GetFlags(), (TKYTFileFlags{opSilent, opFilesOnly}));
  EXPECT_EQ(op2->FilesFrom()->Text(), op->FilesFrom()->Text());
  EXPECT_EQ(op2->DirFrom(), "C:\\src");
  EXPECT_EQ(op2->DirTo(), "D:\\dst");
  EXPECT_EQ(collector2->InitialDirectory(), "C:\\tree\\");
  EXPECT_EQ(collector2->FileMask(), "*.log");
  EXPECT_EQ(collector2->LocatedObjects()->Text(), collector->LocatedObjects()->Text());
  EXPECT_EQ(WriteComponentText(copy), text);

  // The empty flag set differs from the default, so it is written too.
  op2->SetFlags({});
  EXPECT_NE(WriteComponentText(copy).find("Flags = []"), std::string::npos);
}

}  // namespace
}  // namespace kyt
