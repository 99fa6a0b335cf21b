#include "runtime/pixel_grid.h"

#include <cmath>
#include <stdexcept>

namespace rt {

PixelGrid::PixelGrid(double twips_per_pixel, bool exact)
    : twips_per_pixel_(twips_per_pixel), exact_(exact) {
  if (!(twips_per_pixel > 0) || !std::isfinite(twips_per_pixel)) {
    throw std::invalid_argument("twips per pixel must be a positive number");
  }
}

double PixelGrid::to_pixels(double twips) const {
  // Half away from zero, as std::round, without its library call: this runs for every length
  // of every window on every pass.
  const double pixels = twips / twips_per_pixel_;
  if (!(std::fabs(pixels) < 4.5e15)) return pixels;  // already whole, or not a number
  auto whole = static_cast<double>(static_cast<long long>(pixels));
  if (std::fabs(pixels - whole) >= 0.5) whole += std::copysign(1.0, pixels);
  return whole;
}

float PixelGrid::snap(float twips) const {
  if (exact_) return twips;
  return static_cast<float>(to_twips(to_pixels(twips)));
}

}  // namespace rt
