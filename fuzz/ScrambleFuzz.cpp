// libFuzzer target: the data store's scrambled strings. Any bytes come back whole from their
// scrambled form, and the scrambled form holds nothing a back-end would not keep as written: no
// zero byte, line break, blank or quote, and an escape only with a code after it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "persistence/KYTScramble.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Storable(uint8_t code) {
  switch (code) {
    case 0x00: case '\t': case '\n': case 0x0B: case 0x0C: case '\r': case 0x1A:
    case ' ': case '"': case '\'':
      return false;
    default:
      return true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string scrambled = kyt::KYTScramble(text);
  Check(kyt::KYTUnscramble(scrambled) == text);
  for (size_t i = 0; i < scrambled.size(); ++i) {
    const auto code = static_cast<uint8_t>(scrambled[i]);
    Check(Storable(code));
    if (code == kyt::KYTCryptEscape) Check(++i < scrambled.size());
  }
  // Text no scrambler wrote still reads without harm, and as long as it is or shorter.
  Check(kyt::KYTUnscramble(text).size() <= text.size());
  return 0;
}
