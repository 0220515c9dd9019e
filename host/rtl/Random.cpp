// Random.cpp: the family's generator over one 32-bit seed.
#include "host/rtl/Random.h"

#include "host/os/OsSeam.h"

namespace kyt {

uint32_t RandSeed = 0;

namespace {
uint32_t Next() {
  RandSeed = RandSeed * 0x08088405u + 1u;
  return RandSeed;
}
}  // namespace

void Randomize() {
  LARGE_INTEGER counter;
  if (os::kernel32.QueryPerformanceCounter(&counter))
    RandSeed = static_cast<uint32_t>(counter.QuadPart) ^ static_cast<uint32_t>(counter.QuadPart >> 32);
  else
    RandSeed = os::kernel32.GetTickCount();
}

int Random(int range) {
  uint64_t r = Next();
  if (range <= 0) return 0;
  return static_cast<int>((r * static_cast<uint64_t>(range)) >> 32);
}

double Random() { return static_cast<double>(Next()) / 4294967296.0; }

int RandomRange(int from, int to) {
  if (from > to) return Random(from - to) + to;
  return Random(to - from) + from;
}

}  // namespace kyt
