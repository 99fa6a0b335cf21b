#pragma once

#include <cstdint>

#include "runtime/object.h"
#include "runtime/window_system.h"

namespace rt {

// What forms and controls share: a native window with a position and a size in twips.
class Window : public Object {
 public:
  using Object::Object;

  float Left();
  float Top();
  float Width();
  float Height();
  // Outer width; a form whose size changes gets its Resize before this returns.
  void set_Width(const Variant& width);
  // Left is a single; Top, Width and Height are variants of a numeric type, all four given.
  void Move(float left, const Variant& top, const Variant& width, const Variant& height);
  std::int32_t hWnd();

  Variant get_member(std::string_view name) override;

 protected:
  // The native window, loaded first where that is needed.
  virtual Peer& window() = 0;
  virtual void size_changed() {}

  float read(std::string_view property, float value);
};

}  // namespace rt
