#include "runtime/window.h"

#include <cmath>

#include "runtime/application.h"
#include "runtime/error.h"

namespace rt {
namespace {

[[noreturn, gnu::cold]] void negative_size(float twips) {
  raise(ErrorCode::InvalidProcedureCall, "negative size " + format_number(twips));
}

[[noreturn, gnu::cold]] void bad_left(float left) {
  if (std::isnan(left)) raise(ErrorCode::InvalidProcedureCall, "Left is not a number");
  raise(ErrorCode::Overflow);
}

float checked_length(const Variant& v) {
  const float twips = to_twips(v);
  if (twips < 0) negative_size(twips);
  return twips;
}

}  // namespace

void Window::tell_moved(float left, const Variant& top, const Variant& width,
                        const Variant& height) {
  app().notify([&](Observer& o) { o.moved(*this, left, top, width, height); });
}

void Window::set_Width(const Variant& width) {
  Peer& peer = window();
  if (observed()) [[unlikely]] {
    tell_written("Width", width);
  }
  Placement placement;
  placement.width = checked_length(width);
  if (peer.place(placement)) size_changed();
}

void Window::Move(float left, const Variant& top, const Variant& width, const Variant& height) {
  Peer& peer = window();
  if (observed()) [[unlikely]] {
    tell_moved(left, top, width, height);
  }
  if (!std::isfinite(left)) bad_left(left);
  Placement placement;
  placement.left = left;
  placement.top = to_twips(top);
  placement.width = checked_length(width);
  placement.height = checked_length(height);
  if (peer.place(placement)) size_changed();
}

std::int32_t Window::hWnd() {
  const WindowHandle handle = window().handle();
  if (observed()) [[unlikely]] {
    tell_read("hWnd", Variant::Long(handle));
  }
  return handle;
}

Variant Window::get_member(std::string_view name) {
  if (name == "Left") return Variant(Left());
  if (name == "Top") return Variant(Top());
  if (name == "Width") return Variant(Width());
  if (name == "Height") return Variant(Height());
  // hWnd is a 32-bit value; the variant has no such type, so it is not reachable by name.
  return Object::get_member(name);
}

}  // namespace rt
