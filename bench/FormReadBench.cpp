// Reading forms of 500 to 16,000 components, against constructing and assigning them in code, and
// how the cost per component grows with the form (reading, building, freeing).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

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

constexpr int kSizes[] = {500, 2000, 8000, 16000};
constexpr int kPairs = 15;

// The same values in code, as a form's constructor would set them.
TComponent* BuildInCode(int components) {
  auto* form = new TBenchForm(nullptr);
  form->SetName("BenchForm");
  TBenchComponent* previous = nullptr;
  for (int i = 0; i < components; ++i) {
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


// Microseconds per component of one size: each pair reads, frees, builds and frees in turn.
struct TSizeRun {
  bench::TRatioStats ReadToBuild;
  std::vector<double> ReadUs, BuildUs, FreeUs;
};

TSizeRun RunSize(int components) {
  std::unique_ptr<TComponent> model(BuildInCode(components));
  const std::string text = WriteComponentText(*model);
  model.reset();
  TSizeRun run;
  std::vector<double> readMs, buildMs;
  TComponent* form = nullptr;
  const auto freeForm = [&] { delete form; };
  for (int i = -1; i < kPairs; ++i) {  // the first pair warms the heap and is not counted
    const double read = bench::TimeMs([&] { form = ReadComponentText(text, "Bench.kfm", nullptr); });
    const double freeRead = bench::TimeMs(freeForm);
    const double build = bench::TimeMs([&] { form = BuildInCode(components); });
    const double freeBuilt = bench::TimeMs(freeForm);
    if (i < 0) continue;
    readMs.push_back(read);
    buildMs.push_back(build);
    const double perMs = 1000.0 / components;
    run.ReadUs.push_back(read * perMs);
    run.BuildUs.push_back(build * perMs);
    run.FreeUs.push_back((freeRead + freeBuilt) / 2 * perMs);
  }
  run.ReadToBuild = bench::StatsOf(readMs, buildMs);
  return run;
}

// Growth from the smallest form to the largest: each per-component sample of the largest over the
// median of the smallest.
bench::TRatioStats Growth(const std::vector<double>& small, const std::vector<double>& large) {
  std::vector<double> s = small;
  const double base = bench::Quantile(s, 0.5);
  return bench::StatsOf(large, std::vector<double>(large.size(), base));
}

double Median(std::vector<double> v) { return bench::Quantile(v, 0.5); }

}  // namespace
}  // namespace kyt

// Arguments, when given, replace the sizes (to profile one of them).
int main(int argc, char** argv) {
  using namespace kyt;
  RegisterClasses({&TBenchForm::StaticClass(), &TBenchComponent::StaticClass()});
  std::vector<int> sizes(std::begin(kSizes), std::end(kSizes));
  if (argc > 1) sizes.clear();
  for (int i = 1; i < argc; ++i) sizes.push_back(std::max(1, std::atoi(argv[i])));
  std::vector<TSizeRun> runs;
  for (int size : sizes) {
    runs.push_back(RunSize(size));
    const TSizeRun& r = runs.back();
    std::printf("formread: %5d components, per component: read %.3f us, built in code %.3f us, freed %.3f us\n",
                size, Median(r.ReadUs), Median(r.BuildUs), Median(r.FreeUs));
  }
  for (size_t i = 0; i < runs.size(); ++i) {
    const std::string what = "reading " + std::to_string(sizes[i]) + " components against building them in code";
    bench::Report("bench_formread", what.c_str(), runs[i].ReadToBuild, 1.2);
  }
  const TSizeRun& small = runs.front();
  const TSizeRun& large = runs.back();
  if (runs.size() < 2) return 0;
  bench::Report("bench_formread", "growth per component read, 500 to 16,000", Growth(small.ReadUs, large.ReadUs), 1.5);
  bench::Report("bench_formread", "growth per component built in code, the same", Growth(small.BuildUs, large.BuildUs),
                1.5);
  bench::Report("bench_formread", "growth per component freed, the same", Growth(small.FreeUs, large.FreeUs), 1.5);
  return 0;
}
