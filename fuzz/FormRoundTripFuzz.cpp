// libFuzzer target: for any text the form reader accepts, what the writer writes reads back to
// the same tree and writes the same text again. "The same tree" is what a form file keeps: the
// components with their classes, names and order, and each published property that either side
// stores (references by the name of the component they reach, handlers by the root's method
// name). A property the writer never stores (About) is left out: it is not kept by design.
// Inputs of odd length are read under a classic single-byte code page (Latin-1, '?' for what it
// lacks) instead of UTF-8, so both conversions are fuzzed.
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/core/CodePage.h"
#include "host/core/FormFile.h"
#include "tests/core/TestComponents.h"

namespace {

using namespace kyt;
using namespace kyt::test;

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Latin1ToUtf16(std::string_view text, std::u16string& units) {
  for (char c : text) units += static_cast<unsigned char>(c);
  return true;
}
void Utf16ToLatin1(std::u16string_view units, std::string& text) {
  for (char16_t u : units) text += u <= 0xFF ? static_cast<char>(u) : '?';
}

void SameObject(const TPersistent& a, const TPersistent& b, const TComponent& rootA, const TComponent& rootB, int depth);

std::string ReferenceName(const TPersistent* target, const TComponent& root) {
  if (!target) return {};
  const auto* c = dynamic_cast<const TComponent*>(target);
  Check(c != nullptr);
  return (c == &root ? "<root>" : "") + c->Name();
}

void SameProperty(const TPropInfo& prop, const TPersistent& a, const TPersistent& b, const TComponent& rootA,
                  const TComponent& rootB, int depth) {
  switch (prop.Kind()) {
    case pkString:
      Check(prop.GetStr(&a) == prop.GetStr(&b));
      return;
    case pkBinary:
      Check(prop.GetBinary(&a) == prop.GetBinary(&b));
      return;
    case pkEvent:
      Check(PublishedMethodName(rootA, StoodInMethod(prop.GetMethod(&a))) ==
            PublishedMethodName(rootB, StoodInMethod(prop.GetMethod(&b))));
      return;
    case pkComponentRef:
      Check(ReferenceName(prop.GetObject(&a), rootA) == ReferenceName(prop.GetObject(&b), rootB));
      return;
    case pkStrings: {
      const auto* la = static_cast<const TStrings*>(prop.GetObject(&a));
      const auto* lb = static_cast<const TStrings*>(prop.GetObject(&b));
      Check(la && lb && la->Equals(lb));
      return;
    }
    case pkCollection: {
      const auto* ca = static_cast<const TCollection*>(prop.GetObject(&a));
      const auto* cb = static_cast<const TCollection*>(prop.GetObject(&b));
      Check(ca && cb && ca->Count() == cb->Count());
      for (int i = 0; i < ca->Count(); ++i) {
        Check(ca->Items(i)->ClassName() == cb->Items(i)->ClassName());
        SameObject(*ca->Items(i), *cb->Items(i), rootA, rootB, depth + 1);
      }
      return;
    }
    case pkClass: {
      const TPersistent* sa = prop.GetObject(&a);
      const TPersistent* sb = prop.GetObject(&b);
      Check((sa == nullptr) == (sb == nullptr));
      if (sa) SameObject(*sa, *sb, rootA, rootB, depth + 1);
      return;
    }
    case pkFloat:  // bit for bit: -0.0 and 0.0 differ
      Check(std::bit_cast<uint64_t>(prop.GetFloat(&a)) == std::bit_cast<uint64_t>(prop.GetFloat(&b)));
      return;
    default:
      Check(prop.GetOrd(&a) == prop.GetOrd(&b));
      return;
  }
}

void SameObject(const TPersistent& a, const TPersistent& b, const TComponent& rootA, const TComponent& rootB, int depth) {
  Check(depth < 64 && a.ClassName() == b.ClassName());
  for (const TPropInfo* prop : a.ClassType().Properties()) {
    // Sub-objects are walked whatever their stored rule: their own properties say what is kept.
    if (prop->Kind() != pkClass && !prop->IsStored(&a) && !prop->IsStored(&b)) continue;
    SameProperty(*prop, a, b, rootA, rootB, depth);
  }
}

void SameComponents(const TComponent& a, const TComponent& b, const TComponent& rootA, const TComponent& rootB,
                    int depth) {
  Check(a.Name() == b.Name());
  SameObject(a, b, rootA, rootB, depth);
  std::vector<TComponent*> childrenA, childrenB;
  a.GetChildren(childrenA, rootA);
  b.GetChildren(childrenB, rootB);
  Check(childrenA.size() == childrenB.size());
  for (size_t i = 0; i < childrenA.size(); ++i) SameComponents(*childrenA[i], *childrenB[i], rootA, rootB, depth + 1);
}

void RoundTrip(const std::string& text) {
  std::unique_ptr<TComponent> first;
  try {
    first.reset(ReadComponentText(text, "fuzz.kfm", nullptr));
  } catch (const EReadError&) {
    return;
  }
  const std::string written = WriteComponentText(*first);
  std::unique_ptr<TComponent> second(ReadComponentText(written, "written.kfm", nullptr));
  SameComponents(*first, *second, *first, *second, 0);
  Check(WriteComponentText(*second) == written);
}

// A descendant's file (one that starts with `inherited`) is read over this ancestor's form.
const char* const kAncestor =
    "object Main: TTestForm\n  Caption = 'Base'\n  object A: TTestComponent\n    Count = 1\n    Buddy = B\n  end\n"
    "  object B: TTestComponent\n    Zoom = 1.5\n  end\n  inline F: TTestFrame\n  end\nend\n";

std::unique_ptr<TComponent> ReadDescendant(const std::string& text, const std::string& fileName) {
  auto form = std::make_unique<TTestDerivedForm>(nullptr);
  ReadRootTexts(*form, {TFormText{kAncestor, "base.kfm"}, TFormText{text, fileName}});
  return form;
}

// Only the differences are written, and they read back over the ancestor to the same form.
void InheritedRoundTrip(const std::string& text) {
  std::unique_ptr<TComponent> first;
  try {
    first = ReadDescendant(text, "fuzz.kfm");
  } catch (const EReadError&) {
    return;
  }
  const std::unique_ptr<TComponent> ancestor(ReadComponentText(kAncestor, "base.kfm", nullptr));
  const std::string written = WriteComponentText(*first, *ancestor);
  const std::unique_ptr<TComponent> second = ReadDescendant(written, "written.kfm");
  SameComponents(*first, *second, *first, *second, 0);
  Check(WriteComponentText(*second, *ancestor) == written);
}

void AnyRoundTrip(const std::string& text) {
  if (text.compare(0, 9, "inherited") == 0) InheritedRoundTrip(text);
  else RoundTrip(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (RegisterTestClasses(), true);
  (void)registered;
  static const TTestFrameSource frames;  // inline blocks of TTestFrame find its form file
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (size % 2 == 0) {
    AnyRoundTrip(text);
  } else {
    const TCodePageConversion saved = SetCodePageConversion({&Latin1ToUtf16, &Utf16ToLatin1});
    try {
      AnyRoundTrip(text);
    } catch (...) {
      SetCodePageConversion(saved);
      throw;
    }
    SetCodePageConversion(saved);
  }
  Check(TTestComponent::LiveCount() == 0 && TTestForm::LiveCount() == 0);
  // The test classes note every destruction and Loaded for the unit tests; nothing here reads
  // those notes, and kept across millions of inputs they would grow without end.
  Log().clear();
  Log().shrink_to_fit();
  return 0;
}
