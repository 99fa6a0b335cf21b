#pragma once

#include <string>
#include <string_view>

#include "runtime/error.h"
#include "runtime/object.h"
#include "runtime/win32/win32_api.h"
#include "runtime/win32/win32_window_system.h"
#include "runtime/window_system.h"

namespace rt::win32 {

// The program's strings are UTF-8; the windows hold UTF-16. A byte that is not UTF-8 text comes
// back as U+FFFD, and text ends at a NUL, as a window's text does.
std::wstring to_wide(std::string_view text);
std::string from_wide(std::wstring_view text);

// A platform call returned failure: the run-time error for it, with what the platform says.
[[noreturn]] void platform_failed(std::string_view call, const std::string& subject);
// Raises that error unless `ok`; reads GetLastError() at once, before anything can change it.
inline void check(bool ok, std::string_view call, const std::string& subject) {
  if (!ok) platform_failed(call, subject);
}

// The window text of `window`, however long.
std::wstring window_text(HWND window);

// A native object on Win32. A person's actions on it come to it by its runtime object. A peer
// with a window keeps its pointer in the window's GWLP_USERDATA, so that the window procedures
// find it; the window system's handle for the program (hWnd) stands for that window.
class Win32Peer : public Peer, public Person::Target {
 public:
  Win32Peer(Win32WindowSystem& ws, Object& owner);
  ~Win32Peer() override;
  Win32Peer(const Win32Peer&) = delete;
  Win32Peer& operator=(const Win32Peer&) = delete;

  Object& owner() const { return *owner_; }
  // The peer's window; none for a menu item.
  HWND hwnd() const { return hwnd_; }
  // The peer of a window of this window system, if it is one.
  static Win32Peer* of(HWND window);

  WindowHandle handle() override;
  Win32WindowSystem& ws() const { return *ws_; }

 protected:
  // The window is made: the peer is found by it from now on, and the program's hWnd names it.
  void attach(HWND window);
  // The window, which the platform may have taken down under the program.
  HWND alive() const;
  const std::string& path() const { return owner_->path(); }

 private:
  Win32WindowSystem* ws_;
  Object* owner_;
  HWND hwnd_ = nullptr;
  WindowHandle handle_ = 0;
};

}  // namespace rt::win32
