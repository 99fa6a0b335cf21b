#include "runtime/win32/message_loop.h"

#include <cstdio>
#include <utility>

#include "runtime/win32/win32_peer.h"

namespace rt::win32 {
namespace {

constexpr const wchar_t* kClassName = L"mdiresize later";

void register_class() {
  static const bool registered = [] {
    WNDCLASSEXW later{};
    later.cbSize = sizeof later;
    later.lpfnWndProc = DefWindowProcW;
    later.hInstance = GetModuleHandleW(nullptr);
    later.lpszClassName = kClassName;
    check(RegisterClassExW(&later) != 0, "RegisterClassEx", "the class of later calls");
    return true;
  }();
  static_cast<void>(registered);
}

bool given(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

LaterCalls::LaterCalls() {
  register_class();
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  check(window_ != nullptr, "CreateWindowEx", "the window of later calls");
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterCalls::procedure));
}

LaterCalls::~LaterCalls() {
  for (const auto& entry : calls_) KillTimer(window_, entry.first);
  DestroyWindow(window_);
}

void LaterCalls::later(unsigned milliseconds, std::function<void()> call) {
  const UINT_PTR id = next_++;
  check(SetTimer(window_, id, milliseconds, nullptr) != 0, "SetTimer", "a later call");
  calls_.emplace(id, std::move(call));
}

LRESULT CALLBACK LaterCalls::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<LaterCalls*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message != WM_TIMER || self == nullptr) {
    return DefWindowProcW(window, message, wparam, lparam);
  }
  KillTimer(window, wparam);
  const auto found = self->calls_.find(wparam);
  if (found == self->calls_.end()) return 0;
  const std::function<void()> call = std::move(found->second);
  self->calls_.erase(found);
  call();
  return 0;
}

void write_to_parent_console() {
  const bool out = given(STD_OUTPUT_HANDLE);
  const bool err = given(STD_ERROR_HANDLE);
  if (out && err) return;
  if (AttachConsole(ATTACH_PARENT_PROCESS) == 0) return;
  // The streams' buffers stay; only where they write changes.
  FILE* ignored = nullptr;
  if (!out) freopen_s(&ignored, "CONOUT$", "w", stdout);
  if (!err) freopen_s(&ignored, "CONOUT$", "w", stderr);
}

}  // namespace rt::win32
