// Tests of the header outline the reference pages are made from: what it takes from a header in
// the project's style and what it leaves out.
#include <gtest/gtest.h>

#include "tools/kytdesign/HeaderOutline.h"

namespace kyt {
namespace {

const char kHeader[] = R"(// KYTTSample: a sample component
// over two lines.
#ifndef SAMPLE_H
#define SAMPLE_H

// Forward declarations and one-line classes are not classes to outline.
class TOther;
class EOops : public Exception { using Exception::Exception; };

// The sample. Its second sentence.
class TKYTSample : public TKYTExecuteComponent {
  KYT_CLASS(TKYTSample, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTSample>& p) {
    p.Property("Count", &TKYTSample::Count, &TKYTSample::SetCount).Default(3);
  }

  // Constructors are no methods.
  explicit TKYTSample(TComponent* AOwner);
  ~TKYTSample() override;

  // Properties
  int32_t Count() const { return FCount; }
  void SetCount(int32_t value);

  // Events
  // Raised after a run.
  const TNotifyEvent& OnRun() const { return FOnRun; }

  // A comment that a blank line parts from any declaration.

  // Methods
  // Runs it. Then more.
  bool Execute() override;
  // Declared over
  // several lines.
  virtual std::vector<std::string> Split(const std::string& text,
                                         char delimiter) const;
  static int Twice(int value) {
    if (value > 0) {
      return value * 2;
    }
    return 0;
  }
  enum TInner { iOne, iTwo };
  void Reset(const std::string& value = {});
  bool operator==(const TKYTSample& other) const;

 protected:
  // Not public.
  void Hidden();

 private:
  int32_t FCount = 3;
};

class TKYTSecond : public TComponent {
 public:
  void Last();
};

#endif
)";

TEST(HeaderOutline, TakesClassesCommentsAndPublicFunctions) {
  const THeaderOutline outline = OutlineHeader(kHeader);
  EXPECT_EQ(outline.Comment, "KYTTSample: a sample component over two lines.");
  ASSERT_EQ(outline.Classes.size(), 2u);
  const TDeclaredClass& sample = outline.Classes[0];
  EXPECT_EQ(sample.Name, "TKYTSample");
  EXPECT_EQ(sample.Comment, "The sample. Its second sentence.");

  std::vector<std::string> signatures;
  for (const TDeclaredFunction& f : sample.Functions) signatures.push_back(f.Signature);
  EXPECT_EQ(signatures, (std::vector<std::string>{
                            "int32_t Count() const",
                            "void SetCount(int32_t value)",
                            "const TNotifyEvent& OnRun() const",
                            "bool Execute()",
                            "std::vector<std::string> Split(const std::string& text, char delimiter) const",
                            "int Twice(int value)",
                            "void Reset(const std::string& value = {})",
                        }));
  EXPECT_EQ(sample.Functions[2].ReturnType, "const TNotifyEvent&");
  EXPECT_EQ(sample.Functions[2].Comment, "Raised after a run.");
  EXPECT_EQ(sample.Functions[3].Comment, "Runs it. Then more.");
  EXPECT_EQ(sample.Functions[4].Comment, "Declared over several lines.");
  EXPECT_EQ(sample.Functions[0].Comment, "") << "a section label describes nothing";
  EXPECT_EQ(sample.Functions[5].Comment, "");

  ASSERT_EQ(outline.Classes[1].Functions.size(), 1u) << "the class after a multi-line body is read too";
  EXPECT_EQ(outline.Classes[1].Functions[0].Signature, "void Last()");
}

TEST(HeaderOutline, CopesWithCarriageReturnsAndAnUnclosedClass) {
  const THeaderOutline outline = OutlineHeader("// Top.\r\nclass TA {\r\n public:\r\n  // Does it.\r\n  void Do();\r\n");
  EXPECT_EQ(outline.Comment, "Top.");
  ASSERT_EQ(outline.Classes.size(), 1u);
  ASSERT_EQ(outline.Classes[0].Functions.size(), 1u);
  EXPECT_EQ(outline.Classes[0].Functions[0].Comment, "Does it.");
  EXPECT_TRUE(OutlineHeader("").Classes.empty());
}

// The comment above each statement of Publish describes the member the statement names.
TEST(HeaderOutline, TakesTheDescriptionsAboveThePublishedMembers) {
  const THeaderOutline outline = OutlineHeader(R"(class TKYTInfo : public TKYTSystemsComponent {
 public:
  // Not a description: it is above the function.
  static void Publish(TPublisher<TKYTInfo>& p) {
    // Turns it on.
    p.Property("Active", &TKYTInfo::Active, &TKYTInfo::SetActive)
        .Default(true);
    p.Property("Bare", &TKYTInfo::Bare, &TKYTInfo::SetBare);
    using C = TKYTInfo;
    const auto info = [&](const char* name, auto getter) {
      p.Property(name, getter, &C::SetSelf).Stored(TStored::Never);
    };
    // The processor, as the
    // system names it.
    info("CPU", &C::CPU);

    // A blank line parts this comment from the statement.

    info("OS", &C::OS);
  }

  // Properties
  bool Active() const;
};
)");
  ASSERT_EQ(outline.Classes.size(), 1u);
  std::vector<std::string> published;
  for (const TPublishedMember& m : outline.Classes[0].Published) published.push_back(m.Name + ": " + m.Comment);
  EXPECT_EQ(published, (std::vector<std::string>{"Active: Turns it on.", "Bare: ",
                                                  "CPU: The processor, as the system names it.", "OS: "}));
  ASSERT_EQ(outline.Classes[0].Functions.size(), 1u) << "the Publish body holds no methods";
  EXPECT_EQ(outline.Classes[0].Functions[0].Comment, "");
}

TEST(HeaderOutline, FirstSentenceStopsAtAFullStopFollowedByABlank) {
  EXPECT_EQ(FirstSentence("Copies files. Raises on errors."), "Copies files.");
  EXPECT_EQ(FirstSentence("Reads file.txt, then ends."), "Reads file.txt, then ends.");
  EXPECT_EQ(FirstSentence(""), "");
}

}  // namespace
}  // namespace kyt
