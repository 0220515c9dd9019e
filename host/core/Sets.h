// Sets: a Delphi-like set over an enumeration whose ordinals are below 64.
#ifndef KYT_HOST_CORE_SETS_H
#define KYT_HOST_CORE_SETS_H

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace kyt {

template <class E>
class TSet {
 public:
  using Element = E;
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> members) {
    for (E m : members) Include(m);
  }

  constexpr bool Contains(E m) const { return (FBits & Bit(m)) != 0; }
  constexpr TSet& Include(E m) { FBits |= Bit(m); return *this; }
  constexpr TSet& Exclude(E m) { FBits &= ~Bit(m); return *this; }
  constexpr uint64_t Bits() const { return FBits; }
  static constexpr TSet FromBits(uint64_t bits) { TSet s; s.FBits = bits; return s; }
  constexpr bool Empty() const { return FBits == 0; }

  constexpr bool operator==(const TSet&) const = default;
  constexpr TSet operator+(const TSet& o) const { return FromBits(FBits | o.FBits); }
  constexpr TSet operator-(const TSet& o) const { return FromBits(FBits & ~o.FBits); }
  constexpr TSet operator*(const TSet& o) const { return FromBits(FBits & o.FBits); }
  constexpr TSet& operator+=(const TSet& o) { FBits |= o.FBits; return *this; }
  constexpr TSet& operator-=(const TSet& o) { FBits &= ~o.FBits; return *this; }
  // Subset test, as Delphi's <= on sets.
  constexpr bool operator<=(const TSet& o) const { return (FBits & ~o.FBits) == 0; }

 private:
  static constexpr uint64_t Bit(E m) { return uint64_t{1} << static_cast<unsigned>(m); }
  uint64_t FBits = 0;
};

template <class T>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};

}  // namespace kyt

#endif
