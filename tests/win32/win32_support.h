#pragma once

// What the Win32 tests share: the in-memory window system set up as Win32 draws, the process's
// USER and GDI objects, where a scroll bar's arrow buttons are and what they look like.

#include "runtime/headless/headless_window_system.h"
#include "runtime/win32/win32_api.h"
#include "runtime/win32/win32_window_system.h"

namespace win32_support {

// The in-memory window system's metrics as the Win32 window system has them: frames, scroll
// bars and icons, measured on the program itself.
rt::headless::Config config_like_win32();

// The process's USER and GDI objects. GetGuiResources counts them on Windows; where it answers
// nothing (Wine's is a stub), every handle of the process's own tables that a query of its kind
// accepts is counted instead.
struct GuiObjects {
  long user = 0;
  long gdi = 0;
  bool by_get_gui_resources = false;
};
GuiObjects gui_objects();

// The four arrow buttons of a window's scroll bars, as squares in `window`'s own capture: the
// horizontal bar's left and right ends, the vertical bar's top and bottom. `area` is the part
// of `window` that holds the bars, with both of them shown.
struct ArrowButtons {
  RECT left, right, up, down;
};
ArrowButtons arrow_buttons(HWND window, HWND area);

// Whether `square` of `picture` holds exactly the pixels of `reference_square` of `reference`.
bool same_pixels(const rt::win32::Pixels& picture, const RECT& square,
                 const rt::win32::Pixels& reference, const RECT& reference_square);

// A window of the platform's with both scroll bars, as it draws them when a page is smaller than
// what there is to scroll: what any window's arrow buttons look like.
class ReferenceBars {
 public:
  ReferenceBars();
  ~ReferenceBars();
  ReferenceBars(const ReferenceBars&) = delete;
  ReferenceBars& operator=(const ReferenceBars&) = delete;

  const rt::win32::Pixels& pixels() const { return pixels_; }
  const ArrowButtons& buttons() const { return buttons_; }

 private:
  HWND window_ = nullptr;
  rt::win32::Pixels pixels_;
  ArrowButtons buttons_{};
};

}  // namespace win32_support
