// Fault sweeps of the string components: a form holding each is read and written with every
// fallible platform call of that failing once; the read then raises or the lines come back whole.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "strings/KYTTHolders.h"
#include "strings/KYTTMultiLists.h"
#include "tests/support/FaultSweep.h"
#include "tests/support/NonAscii.h"

namespace kyt {
namespace {

using namespace test;

struct TStringsCase {
  const char* Name;
  void (*Place)(TForm&);
};

class StringsSweep : public ::testing::TestWithParam<TStringsCase> {};

TEST_P(StringsSweep, AFormHoldingTheComponentReadsAndWritesOrRaises) {
  std::string text;
  {
    TOwned<TForm> form(new TForm(nullptr));
    form->SetName("SweepForm");
    GetParam().Place(*form);
    text = WriteComponentText(*form);
  }
  EXPECT_SWEEP_CLEAN(Sweep(FormFileScenario(GetParam().Name, text)));
}

INSTANTIATE_TEST_SUITE_P(
    Strings, StringsSweep,
    ::testing::Values(TStringsCase{"StringHolder",
                                   [](TForm& form) {
                                     auto* holder = new TKYTStringHolder(&form);
                                     holder->SetName("Holder1");
                                     holder->Items()->Add(kLatin);
                                     holder->Items()->Add(kCjk);
                                   }},
                      TStringsCase{"JokeHolder", [](TForm& form) { (new TKYTJokeHolder(&form))->SetName("Jokes1"); }},
                      TStringsCase{"MultiLists",
                                   [](TForm& form) {
                                     auto* lists = new TKYTMultiLists(&form);
                                     lists->SetName("Lists1");
                                     lists->Lists()->AddOfClass(TKYTStringList::StaticClass());
                                     lists->Lists()->GeTKYTStringList(0)->Strings()->Add(kCyrillic);
                                   }}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace kyt
