// KYTScramble: the data store's scrambled strings, a byte transform kept apart from the
// platform so that it can be checked on its own.
#ifndef KYT_PERSISTENCE_KYTSCRAMBLE_H
#define KYT_PERSISTENCE_KYTSCRAMBLE_H

#include <cstdint>
#include <string>

namespace kyt {

// The one-byte offset of the scrambled strings: each character's code is shifted by it. A few
// shifted codes cannot be kept by a back-end (0 ends a platform string; an ini file loses line
// breaks, blanks and quotes at either end of a value), so such a code, and the escape code
// itself, is stored as KYTCryptEscape followed by the code with bit 6 flipped. Only the
// characters 0x00, 0x7F, 0x88-0x8C, 0x99, 0x9F, 0xA1 and 0xA6 take two bytes; every other
// character keeps its place, and a scrambled text always reads back as written.
inline constexpr uint8_t KYTCryptOffset = 0x81;
inline constexpr uint8_t KYTCryptEscape = KYTCryptOffset;  // what a zero character shifts to
std::string KYTScramble(const std::string& text);
std::string KYTUnscramble(const std::string& text);

}  // namespace kyt

#endif
