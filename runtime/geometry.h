#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rt {

// Lengths at this interface are twips; each window system turns them into its own units.
struct Rect {
  float left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  float width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A change of position and size; what is not given stays as it is.
struct Placement {
  std::optional<float> left, top, width, height;
};

using WindowHandle = std::int32_t;

struct ScrollBars {
  bool horizontal = false;
  bool vertical = false;
  friend bool operator==(const ScrollBars&, const ScrollBars&) = default;
};

// A child form as the person leaves it with the buttons of its title bar.
enum class WindowState { Normal, Minimized, Maximized };

// "normal", "minimized", "maximized".
std::string_view window_state_name(WindowState state);

}  // namespace rt
