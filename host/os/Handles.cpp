// Handles.cpp: compile-time checks of the handle wrappers (the wrappers themselves are inline).
#include "host/os/Handles.h"

namespace kyt::os {

static_assert(!std::is_copy_constructible_v<UniqueFindHandle>);
static_assert(!std::is_copy_constructible_v<UniqueHandleObj>);
static_assert(!std::is_copy_constructible_v<UniqueHIcon>);
static_assert(!std::is_copy_constructible_v<UniqueHMenu>);
static_assert(!std::is_copy_constructible_v<UniqueHWnd>);
static_assert(!std::is_copy_constructible_v<UniqueGdiObject>);
static_assert(!std::is_copy_constructible_v<UniqueHGlobal>);
static_assert(!std::is_copy_constructible_v<UniqueHFont>);
static_assert(std::is_nothrow_move_constructible_v<UniqueFile>);
static_assert(!std::is_copy_constructible_v<ScopedWindowDC>);
static_assert(!std::is_copy_constructible_v<ScopedSelectObject>);
static_assert(!std::is_copy_constructible_v<ScopedErrorMode>);

}  // namespace kyt::os
