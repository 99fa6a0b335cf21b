#pragma once

#include <string>

#include "runtime/win32/win32_window_system.h"

namespace app {

// The window's pixels as a PNG file, for `shot` on Win32: empty, or what went wrong.
std::string write_png(const rt::win32::Pixels& pixels, const std::string& path);

}  // namespace app
