// Random: the run-time library's pseudo-random numbers, the family's linear congruential
// generator (seed * 0x08088405 + 1), so a given RandSeed always yields the same sequence.
#ifndef KYT_HOST_RTL_RANDOM_H
#define KYT_HOST_RTL_RANDOM_H

#include <cstdint>

namespace kyt {

// The generator's state; Randomize sets it from the clock, tests may set it directly.
extern uint32_t RandSeed;

void Randomize();
// An integer in [0, range); 0 when range is not positive.
int Random(int range);
// A number in [0, 1).
double Random();
// An integer in [from, to) (or [to, from) when to < from).
int RandomRange(int from, int to);

}  // namespace kyt

#endif  // KYT_HOST_RTL_RANDOM_H
