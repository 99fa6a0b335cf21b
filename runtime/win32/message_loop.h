#pragma once

#include <functional>
#include <map>

#include "runtime/win32/win32_api.h"

namespace rt::win32 {

// Calls made later from inside the thread's message loop, whichever loop that is: each on a
// timer of a window of its own that only takes messages.
class LaterCalls {
 public:
  LaterCalls();
  ~LaterCalls();
  LaterCalls(const LaterCalls&) = delete;
  LaterCalls& operator=(const LaterCalls&) = delete;

  // `call` once, `milliseconds` from now (at the least the platform's timer resolution).
  void later(unsigned milliseconds, std::function<void()> call);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  UINT_PTR next_ = 1;
  std::map<UINT_PTR, std::function<void()>> calls_;
};

// A program of the GUI subsystem started from a console writes to that console: standard
// output and error that were not given it (a pipe, a file) go there. Nothing when there is no
// such console.
void write_to_parent_console();

}  // namespace rt::win32
