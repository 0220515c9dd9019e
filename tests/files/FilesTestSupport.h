// FilesTestSupport.h: what the file component tests share: a sandbox folder of the test's own
// under the temporary folder, a log of the events a component raised, and drops of file names.
#ifndef KYT_TESTS_FILES_FILESTESTSUPPORT_H
#define KYT_TESTS_FILES_FILESTESTSUPPORT_H

#include <gtest/gtest.h>

#include <shlobj.h>  // DROPFILES

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "host/core/Events.h"
#include "host/rtl/WideText.h"
#include "tests/rtl/RtlTestSupport.h"

namespace kyt::filestest {

using rtltest::PathExists;
using rtltest::ReadBytes;
using rtltest::ScopedCurrentDir;
using rtltest::ScopedFormatSettings;
using rtltest::WriteBytes;

// A folder named after the running test, created empty and removed with everything in it.
class Sandbox {
 public:
  Sandbox() : FDir(Tag()) {}
  const std::string& Path() const { return FDir.Path(); }
  std::string operator/(const std::string& name) const { return FDir / name; }
  // Creates the file (and its folders) with the given text.
  std::string File(const std::string& name, const std::string& text = "x") const {
    const std::string path = FDir / name;
    MakeParents(path);
    EXPECT_TRUE(WriteBytes(path, text)) << path;
    return path;
  }
  std::string Folder(const std::string& name) const {
    const std::string path = FDir / name;
    MakeParents(path + "\\x");
    return path;
  }

 private:
  static std::string Tag() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("files-") + info->test_suite_name() + "-" + info->name();
  }
  void MakeParents(const std::string& path) const {
    for (size_t pos = FDir.Path().size() + 1; (pos = path.find('\\', pos)) != std::string::npos; ++pos)
      ::CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
  }
  rtltest::TempDir FDir;
};

// A real drop handle holding names, as the shell hands one to a window: in UTF-16.
inline HDROP MakeDrop(const std::vector<std::string>& names) {
  std::wstring text;
  for (const std::string& n : names) text += WideFromText(n) + L'\0';
  text += L'\0';
  HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + text.size() * sizeof(wchar_t));
  auto* block = static_cast<DROPFILES*>(::GlobalLock(memory));
  block->pFiles = sizeof(DROPFILES);
  block->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(block) + sizeof(DROPFILES), text.data(), text.size() * sizeof(wchar_t));
  ::GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// Names of the events raised, in order: bind each event to one name with Notify(name).
class EventLog {
 public:
  TNotifyEvent Notify(const std::string& name) {
    FNames.push_back({this, name});
    return TNotifyEvent::FromFunction(&Thunk, &FNames.back());
  }
  const std::vector<std::string>& Calls() const { return FCalls; }
  void Clear() { FCalls.clear(); }

 private:
  struct TNamed {
    EventLog* Log;
    std::string Name;
  };
  static void Thunk(void* data, TObject*) {
    auto* named = static_cast<TNamed*>(data);
    named->Log->FCalls.push_back(named->Name);
  }
  std::deque<TNamed> FNames;  // stable addresses
  std::vector<std::string> FCalls;
};

}  // namespace kyt::filestest

#endif  // KYT_TESTS_FILES_FILESTESTSUPPORT_H
