#pragma once

#include <string_view>
#include <vector>

#include "runtime/handle_table.h"
#include "runtime/pixel_grid.h"
#include "runtime/window_system.h"

namespace rt::headless {

struct Config {
  double twips_per_pixel = PixelGrid::kDefaultTwipsPerPixel;
  bool exact = false;  // keep fractional twips: a length reads back exactly as it was set
  // Frame metrics of a child form with a sizable frame, and the MDI client's scroll bars.
  int border_px = 4;
  int caption_px = 26;
  int scroll_bar_px = 17;
  // The narrowest a child with a sizable frame can be made, as real window systems keep room
  // for the caption's buttons; 0 for none.
  int min_child_width_px = 0;
  // A minimised child: an icon of this size, in rows from the client area's bottom left.
  int icon_width_px = 196;
  int icon_height_px = 26;
  // A maximised child fills the client area, but is never smaller than this: room for its
  // title bar's caption and buttons.
  int maximized_min_width_px = 0;
  int maximized_min_height_px = 0;
};

class ChildPeer;
class ControlPeer;
class HeadlessPeer;
class WindowPeer;

// A window system held in memory: deterministic, with lengths snapped to whole pixels (or
// kept exact), child frames and the MDI client's scroll bars. Faults are injected in front of
// it, by FaultInjection, as in front of any window system.
class HeadlessWindowSystem final : public WindowSystem {
  // Its native objects, each a kind of its own.
  friend class HeadlessPeer;
  friend class WindowPeer;
  friend class MainPeer;
  friend class ChildPeer;
  friend class ControlPeer;

 public:
  explicit HeadlessWindowSystem(Config config = {});
  ~HeadlessWindowSystem() override;

  const Config& config() const { return config_; }

  // WindowSystem
  std::int32_t send_message(WindowHandle window, std::uint32_t message, std::int32_t wparam,
                            std::int32_t lparam) override;
  void idle() override;
  int run_message_loop() override { return 0; }
  void quit() override { closed_ = true; }
  bool closed() const { return closed_; }
  ScrollBars client_scroll_bars() const override { return bars_; }
  Metrics metrics() const override {
    return {config_.twips_per_pixel, config_.scroll_bar_px, config_.border_px, config_.caption_px};
  }

 private:
  // WindowSystem: what it makes.
  PeerPtr make_main_window(const FormDesign& design, Object& owner) override;
  PeerPtr make_child_form(const FormDesign& design, Object& owner) override;
  PeerPtr make_control(const Object& form, const ControlDesign& design, Object& owner) override;
  PeerPtr make_menu_item(const MenuDesign& design, Object& owner) override;

  // A child form's window is gone.
  void forget(ChildPeer& child);
  // The client area less the scroll bars it shows.
  Size visible_client() const;
  Rect snap(const Rect& rect) const;
  // Makes a child the active one, in front; the other icons go to the back, as they do on an
  // MDI client.
  void activate(ChildPeer& child);
  // The child after the active one in the window list's order, or before it, made the active
  // one; its state stays as it is.
  void cycle_children(Cycle cycle);
  // Where a child is on the screen, in a client area that leaves `viewport` to the children.
  Rect shown(const ChildPeer& child, const Size& viewport) const;
  // 0 for the front.
  int z_of(const ChildPeer& child) const;
  ScrollBars settled_bars() const;

  Config config_;
  Size client_;
  ScrollBars bars_;
  std::vector<ChildPeer*> children_;  // child forms, in creation order
  std::vector<ChildPeer*> stack_;     // child forms, the front first
  ChildPeer* active_ = nullptr;
  HandleTable<WindowPeer> handles_;
  bool closed_ = false;
};

}  // namespace rt::headless
