// Events: header-only templates; this unit anchors the library's event types.
#include "host/core/Events.h"

namespace kyt {
static_assert(sizeof(TNotifyEvent) == 2 * sizeof(void*), "an event is a receiver and a code pointer");
}  // namespace kyt
