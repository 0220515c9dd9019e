// WideText.h: the process's 8-bit text (in its code page: UTF-8 under the package's manifest) to
// and from UTF-16, which is what the platform counts, cases and compares. Lengths, cuts, case and
// order of text go through here so that they are right for every language, never per byte.
#ifndef KYT_HOST_RTL_WIDETEXT_H
#define KYT_HOST_RTL_WIDETEXT_H

#include <cstddef>
#include <string>
#include <string_view>

#include "host/os/Win.h"

namespace kyt {

// Text of code page codePage as UTF-16 and back. A byte sequence the code page cannot read
// becomes U+FFFD; a character it cannot hold becomes its default character. Callers that must
// not change what they were given ask IsExactText first.
std::wstring WideFromText(std::string_view text, UINT codePage = CP_ACP);
std::string TextFromWide(std::wstring_view text, UINT codePage = CP_ACP);

// UTF-8 takes at most three bytes for one UTF-16 unit (four for a surrogate pair of two): a
// buffer for n characters of any script in the process's code page takes this many bytes each.
inline constexpr size_t kMaxBytesPerChar = 3;

// Whether text is all characters of the process's code page, so that it reaches the platform's
// wide form unchanged: false for a stray byte (a line of a code page 1252 file read under UTF-8).
bool IsExactText(std::string_view text);

// Characters of text as the platform counts them (UTF-16 units): MAX_PATH and the length limits
// of window texts and tips are in these.
size_t WideLength(std::string_view text);
// The longest start of text of at most maxChars characters, never cut inside a character. A
// stray byte counts as the one character it becomes.
std::string CutToWideLength(std::string_view text, size_t maxChars);

// Locale-aware comparison of all of Unicode (the user's locale): <0, 0 or >0. Text that is not
// exact (IsExactText) and compares equal is then ordered by its stray bytes, so two different
// lines never compare equal because both became U+FFFD.
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);

}  // namespace kyt

#endif
