// The program on the Win32 window system (under Wine on this machine): its layout pass against
// the same final rectangles placed straight on the same windows with SetWindowPos, and the same
// label text and list extents set with SetWindowTextW and LB_SETHORIZONTALEXTENT. A program of
// its own, as the Windows build has no Google Benchmark: checks, then paired ratios.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/drag.h"
#include "bench/figures.h"
#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/win32/win32_api.h"
#include "runtime/win32/win32_window_system.h"
#include "shell/project.h"

namespace {

using bench::drag_widths;
using bench::kDragHeight;

struct Win32Program {
  explicit Win32Program(bool oplossing = false) : app(shell::make_project(), ws) {
    app.start();
    if (oplossing) ws.person().user_click(*form("MDIResize").loaded_menu("mnuOplossing"));
  }
  rt::Form& form(const char* name) { return *app.existing_instance(name); }
  HWND window(const char* name) { return ws.native(form(name)); }
  HWND control(const char* form_name, std::string_view name, int index = -1) {
    const rt::Control* c = form(form_name).loaded_control(name, index);
    if (c == nullptr) throw std::logic_error("no such control");
    return ws.native(*c);
  }

  rt::win32::Win32WindowSystem ws;
  rt::Application app;
};

// Takes the program's place when the main window is resized: the rectangles the pass gives,
// computed directly with floats and set straight on the windows in pixels, and the label's
// text and the lists' extents where the pass sets them. No variants, no lookups by name, no
// runtime between the arithmetic and the platform.
class DirectPlacement final : public rt::EventSink {
 public:
  DirectPlacement(Win32Program& p, bool oplossing)
      : ws_(p.ws),
        area_(p.ws.mdi_client()),
        left_(p.window("frmResizeL")),
        right_(p.window("frmResizeR")),
        bottom_(p.window("frmResizeB")),
        top_(p.window("frmResizeT")),
        text_(p.control("frmResizeB", "Text1")),
        label_(p.control("frmResizeT", "Label1")),
        lists_{p.control("frmResizeL", "List1", 0), p.control("frmResizeL", "List1", 1),
               p.control("frmResizeL", "List1", 2)},
        twips_per_pixel_(static_cast<float>(p.ws.twips_per_pixel())),
        oplossing_(oplossing) {
    // The program's menu says what this placement does.
    p.form("MDIResize").loaded_menu("mnuOplossing")->peer().set_checked(oplossing);
    p.ws.attach(this);
  }
  ~DirectPlacement() override { ws_.attach(nullptr); }
  DirectPlacement(const DirectPlacement&) = delete;
  DirectPlacement& operator=(const DirectPlacement&) = delete;

  void main_window_resized() override {
    const SIZE visible = client_of(area_);
    const float width = twips(visible.cx);
    const float height = twips(visible.cy);
    const auto upper = static_cast<float>(std::floor(height * 0.8));
    const auto lower = static_cast<float>(std::floor(height * 0.2));
    const float half = oplossing_ ? std::floor(width / 2) : width / 2;
    place(left_, 0, 0, half, upper);
    place_lists();
    place(right_, twips(width_of(left_)), 0, half, upper);
    place(bottom_, 0, upper, width, lower);
    const SIZE text = client_of(bottom_);
    SetWindowPos(text_, nullptr, 0, 0, text.cx, text.cy, kFlags);
    place(top_, 0, 1000, 6000, 1200);
    if (oplossing_ && 6000 > width) {
      SetWindowTextW(label_, wide(kTwoLineText).c_str());
      RECT top;
      GetWindowRect(top_, &top);
      SetWindowPos(top_, nullptr, 0, 0, std::max(0, pixels(width)), top.bottom - top.top,
                   kFlags | SWP_NOMOVE);
      ws_.idle();
      return;
    }
    SetWindowTextW(label_, 6000 > width ? L"Oeps. Dubbele scrollbar" : L"");
    // As the runtime does at the end of every event it delivers: the client area's bars brought
    // up to date while its drawing is held, so that it is drawn once, with its bars.
    ws_.idle();
  }
  void clicked(rt::Object&) override {}
  void form_resized_by_user(rt::Object&) override {}
  void main_window_closed() override {}

 private:
  static constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

  static std::wstring wide(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), length);
    out.resize(out.size() - 1);
    return out;
  }
  static SIZE client_of(HWND window) {
    RECT area;
    GetClientRect(window, &area);
    return SIZE{area.right, area.bottom};
  }
  static int width_of(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
  }

  // frmResizeL's columns: plain thirds, or with "Oplossing" whole-number edges and the extent
  // that lets a list scroll sideways.
  void place_lists() const {
    const SIZE client = client_of(left_);
    const float third = twips(client.cx) / 3;
    const float list_height = twips(client.cy);
    if (oplossing_) {
      float previous = 0;
      for (int j = 0; j < 3; ++j) {
        const float edge = std::floor(static_cast<float>(j + 1) * third);
        place(lists_[j], previous, 0, edge - previous, list_height);
        previous = edge;
        SendMessageA(lists_[j], rt::LB_SETHORIZONTALEXTENT, 1000, 0);
      }
      return;
    }
    place(lists_[0], 0, 0, third, list_height);
    const float w0 = twips(width_of(lists_[0]));
    place(lists_[1], w0, 0, std::floor(third), list_height);
    const float w1 = twips(width_of(lists_[1]));
    place(lists_[2], w0 + w1, 0, std::floor(third), list_height);
  }

  float twips(long pixels) const { return static_cast<float>(pixels) * twips_per_pixel_; }
  int pixels(float twips) const { return static_cast<int>(ws_.grid().to_pixels(twips)); }
  void place(HWND window, float left, float top, float width, float height) const {
    SetWindowPos(window, nullptr, pixels(left), pixels(top), std::max(0, pixels(width)),
                 std::max(0, pixels(height)), kFlags);
  }

  rt::win32::Win32WindowSystem& ws_;
  HWND area_, left_, right_, bottom_, top_, text_, label_;
  HWND lists_[3];
  float twips_per_pixel_;
  bool oplossing_;
};

// A window as the platform holds it: its place in its parent's client area, its text, and a
// list's extent.
struct WindowFacts {
  RECT rect{};
  std::wstring text;
  LRESULT extent = 0;
  bool operator==(const WindowFacts& o) const {
    return EqualRect(&rect, &o.rect) != 0 && text == o.text && extent == o.extent;
  }
};

WindowFacts facts_of(HWND window) {
  WindowFacts facts;
  GetWindowRect(window, &facts.rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&facts.rect), 2);
  const int length = GetWindowTextLengthW(window);
  facts.text.resize(static_cast<std::size_t>(length) + 1);
  facts.text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, facts.text.data(), static_cast<int>(facts.text.size()))));
  wchar_t kind[16] = {};
  GetClassNameW(window, kind, 16);
  if (std::wstring_view(kind) == L"ListBox" || std::wstring_view(kind) == L"LISTBOX") {
    facts.extent = SendMessageW(window, LB_GETHORIZONTALEXTENT, 0, 0);
  }
  return facts;
}

// Whether two programs' windows are alike as the platform holds them (the window system's
// own records are the pass's only): every child and control in the same place with the same
// text and extent, and the same scroll bars on the client area.
bool alike(Win32Program& a, Win32Program& b) {
  const auto& forms_a = a.app.loaded_forms();
  const auto& forms_b = b.app.loaded_forms();
  if (forms_a.size() != forms_b.size()) return false;
  for (std::size_t f = 0; f < forms_a.size(); ++f) {
    if (facts_of(a.ws.native(*forms_a[f])) != facts_of(b.ws.native(*forms_b[f]))) return false;
    const auto& controls_a = forms_a[f]->controls();
    const auto& controls_b = forms_b[f]->controls();
    if (controls_a.size() != controls_b.size()) return false;
    for (std::size_t c = 0; c < controls_a.size(); ++c) {
      if (facts_of(a.ws.native(*controls_a[c])) != facts_of(b.ws.native(*controls_b[c]))) {
        return false;
      }
    }
  }
  return a.ws.client_scroll_bars() == b.ws.client_scroll_bars();
}

// The drag, and with "Oplossing" narrow widths too, where the top form is narrowed.
std::vector<float> check_widths(bool oplossing) {
  std::vector<float> widths;
  for (float w = oplossing ? 3000.0f : 6000.0f; w <= 9000; w += 15) widths.push_back(w);
  return widths;
}

bool direct_placement_alike(bool oplossing) {
  Win32Program pass(oplossing);
  Win32Program direct;
  DirectPlacement placement(direct, oplossing);
  for (const float w : check_widths(oplossing)) {
    pass.ws.person().user_resize_client(w, kDragHeight);
    direct.ws.person().user_resize_client(w, kDragHeight);
    if (!alike(pass, direct)) {
      std::fprintf(stderr, "win32: the windows differ at %g twips\n", static_cast<double>(w));
      return false;
    }
  }
  return true;
}

const bench::Check kAlike{"win32: direct placement leaves the windows as the pass does",
                          [] { return direct_placement_alike(false); }};
const bench::Check kAlikeOplossing{
    "win32: the same with \"Oplossing\" (whole-twip halves, list extents), narrow widths too",
    [] { return direct_placement_alike(true); }};

// The ratio, each side timed by turns with the other (5 resize events, a hundred times over), on
// the wall clock: Wine's thread CPU clock moves in 10 ms ticks, about one resize event.
double paired(bool oplossing) {
  Win32Program pass_program(oplossing);
  Win32Program direct_program;
  DirectPlacement direct(direct_program, oplossing);
  const std::vector<float> widths = drag_widths();
  std::size_t p = 0, d = 0;
  const auto pass = [&] {
    pass_program.ws.person().user_resize_client(widths[p], kDragHeight);
    p = (p + 1) % widths.size();
  };
  const auto place_directly = [&] {
    direct_program.ws.person().user_resize_client(widths[d], kDragHeight);
    d = (d + 1) % widths.size();
  };
  return bench::paired_ratio(pass, place_directly, 5, 100, bench::wall_seconds);
}

// One resize event of the drag on each side by turns, the wall time of each: medians.
std::vector<bench::Figure> per_resize() {
  Win32Program pass_program;
  Win32Program direct_program;
  DirectPlacement direct(direct_program, false);
  std::vector<double> pass, baseline;
  for (const float w : drag_widths()) {
    double start = bench::wall_seconds();
    pass_program.ws.person().user_resize_client(w, kDragHeight);
    pass.push_back(bench::wall_seconds() - start);
    start = bench::wall_seconds();
    direct_program.ws.person().user_resize_client(w, kDragHeight);
    baseline.push_back(bench::wall_seconds() - start);
  }
  const auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + std::ssize(v) / 2, v.end());
    return v[v.size() / 2] * 1000;
  };
  return {{"(win32 resize event with the layout pass: median)", median(pass), "ms"},
          {"(win32 resize event with direct placement: median)", median(baseline), "ms"}};
}

const bench::Measurement kPaired{
    "win32 ratio", [] {
      std::vector<bench::Figure> figures{
          {"layout pass / direct placement, on win32", paired(false), "x", 1.10},
          {"(the same with \"Oplossing\", list extents set)", paired(true), "x"},
      };
      for (bench::Figure& f : per_resize()) {
        figures.push_back(std::move(f));
      }
      return figures;
    }};

}  // namespace

int main(int argc, char** argv) {
  return bench::run_figures(argc, argv);
}
