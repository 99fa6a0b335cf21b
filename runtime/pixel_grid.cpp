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
  return std::round(twips / twips_per_pixel_);
}

float PixelGrid::snap(float twips) const {
  if (exact_) return twips;
  return static_cast<float>(to_twips(to_pixels(twips)));
}

}  // namespace rt
