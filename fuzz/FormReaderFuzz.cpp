// libFuzzer target: arbitrary bytes as a form file. A refused file must raise EReadError only and
// leave nothing alive; an accepted one must write back and re-read to the same text, and a failed
// read into an existing root must put the root back.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/core/FormFile.h"
#include "tests/core/TestComponents.h"

namespace {

using namespace kyt;
using namespace kyt::test;

void Check(bool condition) {
  if (!condition) std::abort();
}

void RoundTrip(const TComponent& root) {
  const std::string written = WriteComponentText(root);
  std::unique_ptr<TComponent> again(ReadComponentText(written, "rewritten.kfm", nullptr));
  Check(WriteComponentText(*again) == written);
}

void ReadCreatingRoot(const std::string& text) {
  std::unique_ptr<TComponent> root;
  try {
    root.reset(ReadComponentText(text, "fuzz.kfm", nullptr));
  } catch (const EReadError&) {
    Check(TTestComponent::LiveCount() == 0 && TTestForm::LiveCount() == 0);
    return;
  }
  RoundTrip(*root);
}

void ReadIntoExistingRoot(const std::string& text) {
  TTestForm form(nullptr);
  form.SetCaption("kept");
  form.Lines()->Add("kept line");
  new TTestComponent(&form);
  const std::string before = WriteComponentText(form);
  try {
    ReadRootText(form, text, "fuzz.kfm");
  } catch (const EReadError&) {
    Check(WriteComponentText(form) == before);
    Check(form.ComponentCount() == 1 && form.ComponentState().Empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (RegisterTestClasses(), true);
  (void)registered;
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReadCreatingRoot(text);
  ReadIntoExistingRoot(text);
  Check(TTestComponent::LiveCount() == 0 && TTestForm::LiveCount() == 0);
  // The test classes note every destruction and Loaded for the unit tests; nothing here reads
  // those notes, and kept across millions of inputs they would grow without end.
  Log().clear();
  Log().shrink_to_fit();
  return 0;
}
