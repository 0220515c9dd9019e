// Sets: header-only template; compile-time checks of its behaviour.
#include "host/core/Sets.h"

namespace kyt {
namespace {
enum TSample : uint8_t { sA, sB, sC };
static_assert(TSet<TSample>{sA, sC}.Contains(sC));
static_assert(!(TSet<TSample>{sA} + TSet<TSample>{sB}).Contains(sC));
static_assert((TSet<TSample>{sA, sB} - TSet<TSample>{sA}) == TSet<TSample>{sB});
}  // namespace
}  // namespace kyt
