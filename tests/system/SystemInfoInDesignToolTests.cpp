// The four information components in the real design tool (kytdesign.exe, run as a child
// process): added, inspected and set as the object inspector does, in the designing state.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/system/InfoTestSupport.h"

namespace kyt {
namespace {

using infotest::ChildRun;
using infotest::Sandbox;

class InfoInDesignTool : public ::testing::Test {
 protected:
  std::string Tool() const { return infotest::ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe"; }
  ChildRun Run(const std::vector<std::string>& args) { return infotest::RunChild(box, Tool(), args); }
  std::string Ok(const std::vector<std::string>& args) {
    const ChildRun run = Run(args);
    EXPECT_EQ(run.ExitCode, 0u) << args[0] << ": " << run.Err;
    return run.Out;
  }
  // The name the tool gave a component it added.
  std::string Added(const std::vector<std::string>& args) {
    const std::vector<std::string> lines = infotest::Lines(Ok(args));
    return lines.empty() ? std::string() : lines[0];
  }
  // The inspector's lines of one component: path -> value (with "  (read-only)" when so).
  std::map<std::string, std::string> Inspect(const std::string& name) {
    return infotest::NamedValues(Ok({"inspect", form, name}), " = ");
  }
  void SetUp() override {
    ASSERT_NE(::GetFileAttributesA(Tool().c_str()), INVALID_FILE_ATTRIBUTES) << "not built: " << Tool();
    Ok({"new", form});
  }

  Sandbox box{"system-info-tmp"};
  std::string form = box.File("Unit1.kfm");
};

constexpr const char* kReadOnly = "  (read-only)";

TEST_F(InfoInDesignTool, DriveVolumeShowsDriveCWithReadOnlyDataEntries) {
  EXPECT_EQ(Added({"add", form, "TKYTDriveVolume"}), "DriveVolume1");
  auto lines = Inspect("DriveVolume1");
  for (const char* entry : {"VolumeIsCompressed", "CasePreserved", "CaseSensitive", "StoredUniCodeOnDisk",
                            "PersistentACLS", "FileCompression", "VolumeLabel", "SerialNumber", "FileSystemName",
                            "FileSystemFlags"}) {
    ASSERT_TRUE(lines.count(entry)) << entry;
    const std::string& value = lines[entry];
    EXPECT_TRUE(value.size() >= 13 && value.substr(value.size() - 13) == kReadOnly) << entry << " = " << value;
  }
  char fileSystem[MAX_PATH + 1] = {};
  DWORD serial = 0;
  ASSERT_TRUE(::GetVolumeInformationA("C:\\", nullptr, 0, &serial, nullptr, nullptr, fileSystem, sizeof fileSystem));
  EXPECT_EQ(lines["FileSystemName"], std::string(CharUpperA(fileSystem)) + kReadOnly);
  EXPECT_EQ(lines["CurrentDrive"], "C") << "the drive entry stays editable";
  EXPECT_EQ(lines["About"], "(KYT System Components)  (read-only)");

  const ChildRun refused = Run({"set", form, "DriveVolume1.VolumeLabel", "MINE"});
  EXPECT_NE(refused.ExitCode, 0u);
  EXPECT_NE(refused.Err.find("read-only"), std::string::npos) << refused.Err;
  EXPECT_NE(Run({"set", form, "DriveVolume1.FileSystemFlags", "7"}).ExitCode, 0u);
  EXPECT_NE(Run({"set", form, "DriveVolume1.CaseSensitive", "True"}).ExitCode, 0u);

  // Editing the drive refreshes the values shown; the drive itself is not stored.
  Ok({"set", form, "DriveVolume1.CurrentDrive", "c"});
  const std::string text = infotest::ReadFileText(form);
  EXPECT_NE(text.find("object DriveVolume1: TKYTDriveVolume"), std::string::npos) << text;
  EXPECT_EQ(text.find("CurrentDrive"), std::string::npos) << text;
  EXPECT_EQ(text.find("FileSystemName"), std::string::npos) << text;
}

TEST_F(InfoInDesignTool, VersionDetailsShowsTheDesignersOwnRecord) {
  EXPECT_EQ(Added({"add", form, "TKYTVersionDetails", "Version"}), "Version");
  auto lines = Inspect("Version");
  EXPECT_EQ(lines["CompanyName"], "KYT Components");
  EXPECT_EQ(lines["FileDescription"], "KYT form designer");
  EXPECT_EQ(lines["InternalName"], "kytdesign");
  EXPECT_EQ(lines["OriginalFilename"], "kytdesign.exe");
  Ok({"set", form, "Version.ProductName", "Something else"});
  EXPECT_EQ(Inspect("Version")["ProductName"], "KYT System Components") << "the value typed is ignored";
  const std::string text = infotest::ReadFileText(form);
  EXPECT_EQ(text.find("ProductName"), std::string::npos) << text;
  EXPECT_EQ(text.find("Components"), std::string::npos) << text;
}

TEST_F(InfoInDesignTool, SystemDetailsShowsTheMachineAndIgnoresTypedValues) {
  EXPECT_EQ(Added({"add", form, "TKYTSystemDetails"}), "SystemDetails1");
  auto lines = Inspect("SystemDetails1");
  EXPECT_EQ(lines["OS"], "Windows NT");
  EXPECT_TRUE(lines.count("Owner")) << "the registered owner is published as Owner";
  EXPECT_EQ(lines["ScreenWidth"], std::to_string(::GetSystemMetrics(SM_CXSCREEN)));
  char name[256] = {};
  DWORD size = sizeof name;
  ::GetComputerNameA(name, &size);
  EXPECT_EQ(lines["ComputerName"], name);
  Ok({"set", form, "SystemDetails1.OS", "Windows 2000"});
  Ok({"set", form, "SystemDetails1.Owner", "Somebody"});
  lines = Inspect("SystemDetails1");
  EXPECT_EQ(lines["OS"], "Windows NT");
  EXPECT_NE(lines["Owner"], "Somebody");
  const std::string text = infotest::ReadFileText(form);
  EXPECT_EQ(text.find(" = ", text.find("object SystemDetails1")), std::string::npos) << text;
}

TEST_F(InfoInDesignTool, ResourceInfoShowsFiguresAndKeepsOnlyItsHandler) {
  EXPECT_EQ(Added({"add", form, "TKYTResourceInfo"}), "ResourceInfo1");
  auto lines = Inspect("ResourceInfo1");
  EXPECT_NE(lines["MemoryPercInUse"].find(" Percent"), std::string::npos);
  EXPECT_NE(lines["PhysMemTotal"].find(" KB"), std::string::npos);
  EXPECT_NE(lines["CurrDriveSize"].find(" MB"), std::string::npos);
  EXPECT_EQ(lines["CapsLock"], (::GetKeyState(VK_CAPITAL) & 1) ? "True" : "False");
  Ok({"set", form, "ResourceInfo1.CurrentTime", "never"});
  Ok({"set", form, "ResourceInfo1.NumLock", "True"});
  Ok({"set", form, "ResourceInfo1.OnNewValues", "ResourceInfo1NewValues"});
  lines = Inspect("ResourceInfo1");
  EXPECT_NE(lines["CurrentTime"], "never");
  EXPECT_EQ(lines["OnNewValues"], "ResourceInfo1NewValues");
  const std::string text = infotest::ReadFileText(form);
  const std::string block = text.substr(text.find("object ResourceInfo1"));
  EXPECT_NE(block.find("OnNewValues = ResourceInfo1NewValues"), std::string::npos) << text;
  EXPECT_EQ(block.find("CurrentTime"), std::string::npos) << text;
  EXPECT_EQ(block.find("TTimer"), std::string::npos) << text;
}

}  // namespace
}  // namespace kyt
