#pragma once

// Situations that decide whether the client area shows scroll bars, and what the label says:
// options chosen, then the client area resized to `width` x 4860 twips, 15 twips a pixel.
// Both window systems must leave them the same.

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "runtime/window_system.h"
#include "texts.h"

namespace bar_cases {

struct BarCase {
  const char* name;
  bool oplossing;
  bool wiskundig;
  float width;
  std::string caption;
  float top_width;   // frmResizeT's outer width
  float right_edge;  // where frmResizeR ends
  rt::ScrollBars bars;
};

inline void PrintTo(const BarCase& c, std::ostream* os) {
  *os << c.name;
}

inline constexpr float kHeight = 4860;  // the designed client height, 324 pixels
inline constexpr rt::ScrollBars kNone{false, false};
inline constexpr rt::ScrollBars kBoth{true, true};

// At 4500 the 6000-twip top form overhangs; its horizontal bar covers the bottom form's lower
// edge and brings the vertical one. 6015 twips is 401 pixels: each naive half is 200.5 pixels,
// both round up, and the right form ends a pixel past the edge.
inline const BarCase kBarCases[] = {
    {"Neither4500", false, false, 4500, texts::kDouble, 6000, 4500, kBoth},
    {"Oplossing4500", true, false, 4500, texts::kTwoLines, 4500, 4500, kNone},
    {"Wiskundig4500", false, true, 4500, texts::kTwoLines, 4500, 4500, kNone},
    {"Wiskundig4515", false, true, 4515, texts::kTwoLines, 4515, 4515, kNone},
    {"OplossingExactlyAsWideAsTheTop", true, false, 6000, "", 6000, 6000, kNone},
    {"Neither6015", false, false, 6015, "", 6000, 6030, kBoth},
    {"Wiskundig6015", false, true, 6015, "", 6000, 6015, kNone},
};

inline std::string test_name(const ::testing::TestParamInfo<BarCase>& info) {
  return info.param.name;
}

}  // namespace bar_cases
