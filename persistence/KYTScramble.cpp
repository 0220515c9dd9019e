// KYTScramble: the scrambled strings of the data store.
#include "persistence/KYTScramble.h"

namespace kyt {

namespace {

// Shifted codes that some back-end would not keep as written: the platform's string end, the
// blanks GetPrivateProfileString trims, line breaks, the quotes it strips, and the escape.
bool NeedsEscape(uint8_t code) {
  switch (code) {
    case 0x00: case '\t': case '\n': case 0x0B: case 0x0C: case '\r': case 0x1A:
    case ' ': case '"': case '\'': case KYTCryptEscape:
      return true;
    default:
      return false;
  }
}

constexpr uint8_t kEscapeFlip = 0x40;

}  // namespace

std::string KYTScramble(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto code = static_cast<uint8_t>(static_cast<uint8_t>(c) + KYTCryptOffset);
    if (NeedsEscape(code)) {
      out.push_back(static_cast<char>(KYTCryptEscape));
      out.push_back(static_cast<char>(code ^ kEscapeFlip));
    } else {
      out.push_back(static_cast<char>(code));
    }
  }
  return out;
}

std::string KYTUnscramble(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    auto code = static_cast<uint8_t>(text[i]);
    // An escape at the very end (text not written by KYTScramble) stands for itself.
    if (code == KYTCryptEscape && i + 1 < text.size())
      code = static_cast<uint8_t>(static_cast<uint8_t>(text[++i]) ^ kEscapeFlip);
    out.push_back(static_cast<char>(static_cast<uint8_t>(code - KYTCryptOffset)));
  }
  return out;
}

}  // namespace kyt
