#pragma once

// The drag of the main window's border that the benchmarks on either window system make.

#include <vector>

namespace bench {

inline constexpr float kDragHeight = 5000;

// Client widths a drag passes through: every pixel from 6000 to 9000 twips.
inline std::vector<float> drag_widths() {
  std::vector<float> widths;
  for (float w = 6000; w <= 9000; w += 15) widths.push_back(w);
  return widths;
}

}  // namespace bench
