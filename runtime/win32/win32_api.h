#pragma once

// <windows.h> as this window system includes it: the wide functions called by their own names,
// without the min and max macros, which would break std::min and std::max.
//
// The runtime names the list-box message that a program sends itself (rt::LB_SETHORIZONTALEXTENT,
// the same number); the header's macro of that name would turn that declaration into a number,
// so the runtime's comes first and the macro goes.

#include "runtime/window_system.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef LB_SETHORIZONTALEXTENT
static_assert(rt::LB_SETHORIZONTALEXTENT == 0x0194);
