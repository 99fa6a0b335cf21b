#pragma once

#include <cstdint>
#include <unordered_map>

#include "runtime/window_system.h"

namespace rt {

// The handles of a window system's native windows, and the peer behind each. Both window systems
// count them up from 1 in the order the windows are made, so a trace reads the same on either;
// 0 is never a handle.
template <class P>
class HandleTable {
 public:
  WindowHandle add(P& peer) {
    const WindowHandle handle = next_++;
    peers_.emplace(handle, &peer);
    return handle;
  }
  void remove(WindowHandle handle) { peers_.erase(handle); }
  // A message sent to the window of `handle`: a list box takes its horizontal extent; a handle
  // of no window, or any other message, does nothing and gives 0.
  std::int32_t send(WindowHandle handle, std::uint32_t message, std::int32_t wparam) const {
    const auto found = peers_.find(handle);
    if (found != peers_.end() && message == LB_SETHORIZONTALEXTENT) {
      found->second->set_horizontal_extent(wparam);
    }
    return 0;
  }

 private:
  std::unordered_map<WindowHandle, P*> peers_;
  WindowHandle next_ = 1;
};

}  // namespace rt
