#include "app/png_file.h"

#include <cstdint>
#include <vector>

// The one translation unit that holds the PNG writer's code.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace app {

std::string write_png(const rt::win32::Pixels& pixels, const std::string& path) {
  std::vector<unsigned char> rgb;
  rgb.reserve(pixels.data.size() * 3);
  for (const std::uint32_t pixel : pixels.data) {
    rgb.push_back(static_cast<unsigned char>(pixel >> 16));
    rgb.push_back(static_cast<unsigned char>(pixel >> 8));
    rgb.push_back(static_cast<unsigned char>(pixel));
  }
  if (stbi_write_png(path.c_str(), pixels.width, pixels.height, 3, rgb.data(), pixels.width * 3) ==
      0) {
    return "cannot write " + path;
  }
  return {};
}

}  // namespace app
