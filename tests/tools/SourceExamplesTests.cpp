// Tests of the search for marked examples: what a region gives a reference page and which broken
// markers are reported. The markers are built from the constants, so this file marks nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/kytdesign/SourceExamples.h"

namespace kyt {
namespace {

std::string Start(const std::string& indent, const std::string& name) {
  return indent + std::string(kExampleStart) + name + "\n";
}
std::string End(const std::string& indent) { return indent + std::string(kExampleEnd) + "\n"; }

TEST(SourceExamples, TakesTheMarkedLinesWithoutTheirCommonIndentation) {
  const std::string text = "TEST(Log, Lines) {\n" + Start("  ", "TKYTLogFile") +
                           "\n  auto* log = new TKYTLogFile(form);\r\n  if (log) {\n    log->Log(\"x\");   \n  }\n\n" +
                           End("  ") + "}\n" + Start("", "TKYTTopMost") + "top->SetActive(true);\n" + End("");
  std::vector<std::string> problems;
  const std::vector<TSourceExample> examples = FindSourceExamples(text, "tests/files/Log.cpp", problems);
  EXPECT_TRUE(problems.empty());
  ASSERT_EQ(examples.size(), 2u);
  EXPECT_EQ(examples[0].ClassName, "TKYTLogFile");
  EXPECT_EQ(examples[0].File, "tests/files/Log.cpp");
  EXPECT_EQ(examples[0].Line, 2);
  EXPECT_EQ(examples[0].Code, "auto* log = new TKYTLogFile(form);\nif (log) {\n  log->Log(\"x\");\n}\n");
  EXPECT_EQ(examples[1].ClassName, "TKYTTopMost");
  EXPECT_EQ(examples[1].Code, "top->SetActive(true);\n");
}

TEST(SourceExamples, MarkersInsideCodeOrStringsAreNoMarkers) {
  const std::string text = "const char* s = \"" + std::string(kExampleStart) + "TKYTLogFile\";\n" +
                           "x();  " + std::string(kExampleEnd) + "\n";
  std::vector<std::string> problems;
  EXPECT_TRUE(FindSourceExamples(text, "a.cpp", problems).empty());
  EXPECT_TRUE(problems.empty());
}

TEST(SourceExamples, ReportsBrokenMarkersWithFileAndLine) {
  const std::string text = Start("", "TKYTLogFile") + "a();\n" + Start("", "TKYTTopMost") + "b();\n" + End("") +
                           End("") + Start("", "TKYTWallPaper") + "\n" + End("") + Start("", "") +
                           Start("", "TKYTWavePlayer") + "c();\n";
  std::vector<std::string> problems;
  const std::vector<TSourceExample> examples = FindSourceExamples(text, "b.cpp", problems);
  ASSERT_EQ(examples.size(), 1u);
  EXPECT_EQ(examples[0].ClassName, "TKYTTopMost");
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "b.cpp:1: the reference example of TKYTLogFile has no end marker",
                          "b.cpp:6: an end of reference example without its start",
                          "b.cpp:7: the reference example of TKYTWallPaper holds no code",
                          "b.cpp:10: a reference example names no component",
                          "b.cpp:11: the reference example of TKYTWavePlayer has no end marker",
                      }));
}

}  // namespace
}  // namespace kyt
