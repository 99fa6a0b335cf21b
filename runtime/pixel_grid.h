#pragma once

namespace rt {

// Twips to device pixels, in one place for every window system.
//
// A length in twips becomes a whole number of pixels by dividing by the twips per pixel and
// rounding half away from zero; each of left, top, width and height is rounded on its own,
// so a right edge is the sum of two rounded numbers. Read back, a length is that whole number
// of pixels times the twips per pixel. In exact mode nothing is rounded: a length reads back
// exactly as it was set.
class PixelGrid {
 public:
  static constexpr double kDefaultTwipsPerPixel = 15.0;  // 96 dots per inch

  explicit PixelGrid(double twips_per_pixel = kDefaultTwipsPerPixel, bool exact = false);

  double twips_per_pixel() const { return twips_per_pixel_; }
  bool exact() const { return exact_; }

  // Whole pixels (as a double, so that no length can overflow an integer here).
  double to_pixels(double twips) const;
  double to_twips(double pixels) const { return pixels * twips_per_pixel_; }
  // The length as the window system holds it.
  float snap(float twips) const;

 private:
  double twips_per_pixel_;
  bool exact_;
};

}  // namespace rt
