// Reading a form of 1,000 components, against constructing and assigning them in code.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "host/core/Core.h"

namespace kyt {
namespace {

enum TBenchKind : uint8_t { bkPlain, bkFancy, bkOther };
KYT_ENUM_INFO(TBenchKind, "bkPlain", "bkFancy", "bkOther")
enum TBenchFlag : uint8_t { bfOne, bfTwo, bfThree };
KYT_ENUM_INFO(TBenchFlag, "bfOne", "bfTwo", "bfThree")

// A component with the mix of properties a typical component publishes.
class TBenchComponent : public TComponent {
  KYT_CLASS(TBenchComponent, TComponent)
 public:
  static void Publish(TPublisher<TBenchComponent>& p) {
    p.Property("Count", &TBenchComponent::Count, &TBenchComponent::SetCount).Default(0);
    p.Property("Caption", &TBenchComponent::Caption, &TBenchComponent::SetCaption);
    p.Property("Enabled", &TBenchComponent::Enabled, &TBenchComponent::SetEnabled).Default(true);
    p.Property("Kind", &TBenchComponent::Kind, &TBenchComponent::SetKind).Default(bkPlain);
    p.Property("Flags", &TBenchComponent::Flags, &TBenchComponent::SetFlags).Default({});
    p.Property("Color", &TBenchComponent::Color, &TBenchComponent::SetColor).Default(clBtnFace);
    p.Property("Lines", &TBenchComponent::Lines, &TBenchComponent::SetLines);
    p.Property("Buddy", &TBenchComponent::Buddy, &TBenchComponent::SetBuddy);
  }
  using TComponent::TComponent;

  int32_t Count() const { return FCount; }
  void SetCount(int32_t v) { FCount = v; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v) { FCaption = v; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  TBenchKind Kind() const { return FKind; }
  void SetKind(TBenchKind v) { FKind = v; }
  TSet<TBenchFlag> Flags() const { return FFlags; }
  void SetFlags(TSet<TBenchFlag> v) { FFlags = v; }
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(const TStrings* v) { FLines->Assign(v); }
  TBenchComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TBenchComponent* v) { FBuddy = v; }

 private:
  int32_t FCount = 0;
  std::string FCaption;
  bool FEnabled = true;
  TBenchKind FKind = bkPlain;
  TSet<TBenchFlag> FFlags;
  TColor FColor = clBtnFace;
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  TBenchComponent* FBuddy = nullptr;
};

class TBenchForm : public TComponent {
  KYT_CLASS(TBenchForm, TComponent)
 public:
  using TComponent::TComponent;
};

constexpr int kComponents = 1000;
constexpr int kRepetitions = 25;

// The same values in code, as a form's constructor would set them.
TComponent* BuildInCode() {
  auto* form = new TBenchForm(nullptr);
  form->SetName("BenchForm");
  TBenchComponent* previous = nullptr;
  for (int i = 0; i < kComponents; ++i) {
    auto* c = new TBenchComponent(form);
    c->SetName("Item" + std::to_string(i));
    c->SetCount(i);
    c->SetCaption("Caption of item " + std::to_string(i));
    c->SetEnabled(i % 2 == 0);
    c->SetKind(bkFancy);
    c->SetFlags({bfOne, bfThree});
    c->SetColor(clInfoBk);
    TStringList lines;
    lines.Add("first line");
    lines.Add("second line");
    c->SetLines(&lines);
    c->SetBuddy(previous);
    previous = c;
  }
  return form;
}

}  // namespace
}  // namespace kyt

int main() {
  using namespace kyt;
  RegisterClasses({&TBenchForm::StaticClass(), &TBenchComponent::StaticClass()});
  std::unique_ptr<TComponent> model(BuildInCode());
  const std::string text = WriteComponentText(*model);
  model.reset();

  // Interleaved, so a busy machine slows both sides alike; the best of each counts.
  const auto discard = [](TComponent* form) { delete form; };
  double readMs = 1e300, codeMs = 1e300;
  for (int i = 0; i < kRepetitions; ++i) {
    readMs = std::min(readMs, bench::BestOfMs(
                                  1, [&] { return ReadComponentText(text, "Bench.kfm", nullptr); }, discard));
    codeMs = std::min(codeMs, bench::BestOfMs(1, [] { return BuildInCode(); }, discard));
  }
  const double ratio = bench::Ratio(readMs, codeMs);
  std::printf("formread: read %d components %.2f ms, code %.2f ms (%zu bytes)\n", kComponents, readMs, codeMs,
              text.size());
  bench::Report("bench_formread", "reading 1,000 components against building them in code", ratio, 1.2);
  return 0;
}
