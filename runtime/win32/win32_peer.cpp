#include "runtime/win32/win32_peer.h"

#include <algorithm>
#include <limits>

namespace rt::win32 {

std::wstring to_wide(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    raise(ErrorCode::OutOfMemory);
  }
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  check(needed > 0, "MultiByteToWideChar", "text");
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  check(MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), needed) == needed,
        "MultiByteToWideChar", "text");
  // A window's text ends at a NUL.
  wide.resize(std::min(wide.size(), wide.find(L'\0')));
  return wide;
}

std::string from_wide(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  check(needed > 0, "WideCharToMultiByte", "text");
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  check(WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), needed, nullptr,
                            nullptr) == needed,
        "WideCharToMultiByte", "text");
  return narrow;
}

void platform_failed(std::string_view call, const std::string& subject) {
  const DWORD code = GetLastError();
  raise(ErrorCode::PlatformCallFailed,
        std::string(call) + " " + subject + " (error " + std::to_string(code) + ")");
}

std::wstring window_text(HWND window) {
  SetLastError(0);
  const int length = GetWindowTextLengthW(window);
  check(length > 0 || GetLastError() == 0, "GetWindowTextLength", "a window");
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SetLastError(0);
  const int got = GetWindowTextW(window, text.data(), length + 1);
  check(got > 0 || GetLastError() == 0, "GetWindowText", "a window");
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return text;
}

Win32Peer::Win32Peer(Win32WindowSystem& ws, Object& owner) : ws_(&ws), owner_(&owner) {
  ws.peers_.push_back(this);
  ws.person().add(owner, *this);
}

Win32Peer::~Win32Peer() {
  ws_->person().remove(*owner_);
  std::erase(ws_->peers_, this);
  if (handle_ != 0) ws_->handles_.erase(handle_);
  if (hwnd_ != nullptr && IsWindow(hwnd_) &&
      GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
}

Win32Peer* Win32Peer::of(HWND window) {
  return window == nullptr ? nullptr
                           : reinterpret_cast<Win32Peer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Win32Peer::attach(HWND window) {
  hwnd_ = window;
  SetLastError(0);
  // The previous value is 0 for a fresh window: only the last error tells a failure.
  check(SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this)) != 0 ||
            GetLastError() == 0,
        "SetWindowLongPtr", path());
  // Counted from 1 in the order the windows are made, as on the other window systems, so that
  // a trace reads the same on each; send_message() finds the window by it.
  handle_ = ws_->next_handle_++;
  ws_->handles_.emplace(handle_, window);
}

HWND Win32Peer::alive() const {
  if (hwnd_ == nullptr || !IsWindow(hwnd_) || of(hwnd_) != this) {
    raise(ErrorCode::PlatformCallFailed, owner_->path() + " has no window");
  }
  return hwnd_;
}

WindowHandle Win32Peer::handle() {
  if (handle_ == 0) raise(ErrorCode::UnsupportedMember, owner_->path() + ".hWnd");
  alive();
  return handle_;
}

}  // namespace rt::win32
