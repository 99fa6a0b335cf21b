#pragma once

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
  // The peer of a window that is still there, or nullptr.
  P* find(WindowHandle handle) const {
    const auto found = peers_.find(handle);
    return found == peers_.end() ? nullptr : found->second;
  }

 private:
  std::unordered_map<WindowHandle, P*> peers_;
  WindowHandle next_ = 1;
};

}  // namespace rt
