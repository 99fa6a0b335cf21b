#pragma once

#include <cstdint>
#include <vector>

#include "runtime/geometry.h"
#include "runtime/win32/win32_api.h"

namespace rt::win32 {

class ChildPeer;
class Win32WindowSystem;

// The command id of the first child's entry in the window list; the program's own menu items
// are numbered below it.
inline constexpr UINT kFirstChildId = 50000;

// The main window's client area: the platform's MDICLIENT, made with both scroll bars and every
// child style allowed (a frameless child among them), and subclassed for what the program needs
// of it besides.
//
// The scroll bars are the platform's first: a child that moves or changes size has the MDI
// client queue its own update, which idle() lets it make. The platform is documented to show a
// bar whenever a child reaches past the client area's edge, and to hide it when the children
// fit again; where it leaves out a bar that a child calls for (as Wine's MDI client does once
// it has hidden both), update() brings it the documented way: from the union of the visible
// children's rectangles against the client area, with SetScrollInfo and ShowScrollBar.
//
// A child changes its window state by its own buttons only. The platform restores a maximised
// child whenever another one is activated, and maximises that one instead; here the maximised
// one keeps its state and stays behind, laid over the whole area the bars leave (the platform
// keeps only the active child maximised, so that one is natively normal until it is made the
// active child again, when it is maximised natively once more).
class MdiClient {
 public:
  MdiClient(Win32WindowSystem& ws, HWND frame, std::uint32_t back_color);
  ~MdiClient();
  MdiClient(const MdiClient&) = delete;
  MdiClient& operator=(const MdiClient&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The window's whole size, and what its scroll bars leave of it.
  SIZE size() const;
  SIZE viewport() const;
  // The scroll bars as the window shows them.
  ScrollBars bars() const;

  // Control has returned to the message loop: the platform's queued update, then what it left
  // out; the icons and the maximised children behind the active one follow the area left.
  void update();
  long brought() const { return brought_; }

  // An activation of `target` (none: the platform chooses, as for the next window), from
  // construction to finish(). In between the platform may restore, maximise, activate and
  // restack as it does; when the outermost one finishes, the active child is in front (the other
  // icons behind the rest, if it is a newly active one), the one maximised before it keeps its
  // state behind it, and the active child is maximised natively if its state says so.
  class Activation {
   public:
    Activation(MdiClient& client, HWND target);
    ~Activation();
    Activation(const Activation&) = delete;
    Activation& operator=(const Activation&) = delete;
    // The platform's part is done: the children are put in order.
    void finish();

   private:
    MdiClient* client_;
  };

  // A child's place in the stacking order, 0 the front; -1 for none.
  int z_of(const ChildPeer& child) const;

  // Where a minimised child's icon lies in an area of `viewport`: in rows from the bottom left,
  // in the order the children were made.
  RECT icon_rect(const ChildPeer& child, SIZE viewport) const;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

  void activation_begins(HWND target);
  void activation_ends();
  void activation_abandoned();
  ChildPeer* active() const;
  // The children, the front first, as the window holds them.
  std::vector<ChildPeer*> stacking() const;
  void restack(const std::vector<ChildPeer*>& order);
  // What the platform queued for this window, its scroll-bar update among it.
  void deliver_queued();
  // The bars a child reaching past the edge calls for, settled: a bar takes room from the
  // other direction and can bring the other bar with it.
  ScrollBars wanted_bars() const;
  void show_bars(const ScrollBars& wanted);
  // The icons and the maximised children that are not the active one, in an area of `viewport`.
  void lay_out(SIZE viewport);

  Win32WindowSystem& ws_;
  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
  HBRUSH background_ = nullptr;
  bool own_background_ = false;
  long brought_ = 0;
  // The activation under way.
  int activating_ = 0;
  std::vector<ChildPeer*> stack_before_;
  ChildPeer* active_before_ = nullptr;
};

}  // namespace rt::win32
