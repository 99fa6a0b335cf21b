#pragma once

#include <cstdint>
#include <memory>

#include "runtime/object.h"
#include "runtime/window_system.h"

namespace rt {

// What forms and controls share: a native window with a position and a size in twips.
class Window : public Object {
 public:
  using Object::Object;

  // Inline, as the program reads these several times a pass.
  float Left() { return read("Left", window().geometry().left); }
  float Top() { return read("Top", window().geometry().top); }
  float Width() { return read("Width", window().geometry().width); }
  float Height() { return read("Height", window().geometry().height); }
  // Outer width; a form whose size changes gets its Resize before this returns.
  void set_Width(const Variant& width);
  // Left is a single; Top, Width and Height are variants of a numeric type, all four given.
  void Move(float left, const Variant& top, const Variant& width, const Variant& height);
  std::int32_t hWnd();

  Variant get_member(std::string_view name) override;

 protected:
  // The native window, loaded first where that is needed. Every property read and Move comes
  // through here, so the window that is there is had without a virtual call.
  Peer& window() { return peer_ != nullptr ? *peer_ : load_window(); }
  // There is no window yet: load it, or say why there cannot be one.
  virtual Peer& load_window() = 0;
  virtual void size_changed() {}

  Peer* current_window() const { return peer_.get(); }
  void set_window(PeerPtr peer) { peer_ = std::move(peer); }

  float read(std::string_view property, float value) {
    if (observed()) [[unlikely]] {
      tell_read(property, value);
    }
    return value;
  }

 private:
  [[gnu::cold, gnu::noinline]] void tell_moved(float left, const Variant& top, const Variant& width,
                                               const Variant& height);

  PeerPtr peer_;
};

}  // namespace rt
