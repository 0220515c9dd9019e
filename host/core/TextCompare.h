// TextCompare.h: how string lists compare lines (IndexOf, Find, sorting). The portable default
// compares bytes, folding ASCII letters when case is ignored; the Windows runtime installs the
// user's locale's comparison of all of Unicode at start-up.
#ifndef KYT_HOST_CORE_TEXTCOMPARE_H
#define KYT_HOST_CORE_TEXTCOMPARE_H

#include <string_view>

namespace kyt {

// <0, 0 or >0 as a sorts before, with or after b.
using TTextCompare = int (*)(std::string_view a, std::string_view b, bool ignoreCase);
// Installs compare for every list; nullptr puts the portable default back.
void SetTextCompare(TTextCompare compare);
int CompareListText(std::string_view a, std::string_view b, bool ignoreCase);

}  // namespace kyt

#endif
