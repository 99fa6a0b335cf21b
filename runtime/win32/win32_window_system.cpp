#include "runtime/win32/win32_window_system.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "runtime/error.h"
#include "runtime/object.h"
#include "runtime/win32/child_peer.h"
#include "runtime/win32/control_peer.h"
#include "runtime/win32/main_peer.h"
#include "runtime/win32/mdi_client.h"
#include "runtime/win32/menu_peer.h"
#include "runtime/win32/win32_peer.h"

namespace rt::win32 {
namespace {

// Window coordinates stop there, each way.
constexpr double kMaxCoordinate = 32767;

// The display's dots per inch, as a DPI-aware process sees them: lengths then become the
// display's own pixels, not ones the platform scales.
double screen_twips_per_pixel() {
  SetProcessDPIAware();
  const HDC screen = GetDC(nullptr);
  check(screen != nullptr, "GetDC", "the screen");
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? 1440.0 / dpi : PixelGrid::kDefaultTwipsPerPixel;
}

// The main window's and the child forms' classes, once for the process.
void register_classes() {
  static const bool registered = [] {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.style = CS_DBLCLKS;
    main.lpfnWndProc = &MainPeer::procedure;
    main.hInstance = instance;
    main.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    main.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    main.lpszClassName = MainPeer::class_name();
    check(RegisterClassExW(&main) != 0, "RegisterClassEx", "the main window's class");
    WNDCLASSEXW child = main;
    // No Close in a child's system menu, nor a close button that works.
    child.style = CS_DBLCLKS | CS_NOCLOSE;
    child.lpfnWndProc = &ChildPeer::procedure;
    child.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    child.lpszClassName = ChildPeer::class_name();
    check(RegisterClassExW(&child) != 0, "RegisterClassEx", "the child forms' class");
    return true;
  }();
  static_cast<void>(registered);
}

}  // namespace

Pixels capture_window(HWND window) {
  Pixels pixels;
  // Everything drawn as it is now, children and scroll bars included.
  check(RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW) != 0,
        "RedrawWindow", "a window");
  RECT frame;
  check(GetWindowRect(window, &frame) != 0, "GetWindowRect", "a window");
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (width <= 0 || height <= 0) return pixels;
  const HDC source = GetWindowDC(window);
  check(source != nullptr, "GetWindowDC", "a window");
  const HDC memory = CreateCompatibleDC(source);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;  // the top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = memory != nullptr
                             ? CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0)
                             : nullptr;
  const HGDIOBJ before = bitmap != nullptr ? SelectObject(memory, bitmap) : nullptr;
  const bool copied =
      before != nullptr && BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != 0;
  if (copied) {
    GdiFlush();
    const auto* data = static_cast<const std::uint32_t*>(bits);
    pixels.width = width;
    pixels.height = height;
    pixels.data.assign(data,
                       data + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::uint32_t& pixel : pixels.data) pixel &= 0x00FFFFFFu;
  }
  if (before != nullptr) SelectObject(memory, before);
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(window, source);
  check(copied, "BitBlt", "a window");
  return pixels;
}

Win32WindowSystem::Win32WindowSystem() : WindowSystem(PixelGrid(screen_twips_per_pixel())) {
  register_classes();
}

Win32WindowSystem::~Win32WindowSystem() = default;

HWND Win32WindowSystem::main_window() const {
  return main_ != nullptr ? main_->hwnd() : nullptr;
}

HWND Win32WindowSystem::mdi_client() const {
  return client_ != nullptr ? client_->hwnd() : nullptr;
}

HMENU Win32WindowSystem::menu_bar() const {
  return main_ != nullptr ? main_->menu_bar() : nullptr;
}

HWND Win32WindowSystem::native(const Object& owner) const {
  for (const Win32Peer* peer : peers_) {
    if (&peer->owner() == &owner) return peer->hwnd();
  }
  return nullptr;
}

long Win32WindowSystem::bars_brought() const {
  return client_ != nullptr ? client_->brought() : 0;
}

ChildPeer* Win32WindowSystem::child_of(HWND window) const {
  if (window == nullptr) return nullptr;
  const auto found = std::find_if(children_.begin(), children_.end(),
                                  [&](const ChildPeer* child) { return child->hwnd() == window; });
  return found == children_.end() ? nullptr : *found;
}

int Win32WindowSystem::to_pixels(float twips) const {
  const double pixels = grid().to_pixels(twips);
  if (std::isnan(pixels)) return 0;
  return static_cast<int>(std::clamp(pixels, -kMaxCoordinate - 1, kMaxCoordinate));
}

float Win32WindowSystem::to_twips(int pixels) const {
  return static_cast<float>(grid().to_twips(pixels));
}

RECT Win32WindowSystem::to_pixels(const Rect& rect) const {
  const int left = to_pixels(rect.left);
  const int top = to_pixels(rect.top);
  return RECT{left, top, left + std::max(0, to_pixels(rect.width)),
              top + std::max(0, to_pixels(rect.height))};
}

Rect Win32WindowSystem::to_twips(const RECT& rect) const {
  return Rect{to_twips(rect.left), to_twips(rect.top), to_twips(rect.right - rect.left),
              to_twips(rect.bottom - rect.top)};
}

RECT Win32WindowSystem::placed(const RECT& now, const Placement& placement) const {
  const int left = placement.left ? to_pixels(*placement.left) : now.left;
  const int top = placement.top ? to_pixels(*placement.top) : now.top;
  const int width = placement.width ? std::max(0, to_pixels(*placement.width))
                                    : static_cast<int>(now.right - now.left);
  const int height = placement.height ? std::max(0, to_pixels(*placement.height))
                                      : static_cast<int>(now.bottom - now.top);
  return RECT{left, top, left + width, top + height};
}

void Win32WindowSystem::keep_failure(std::exception_ptr failure) {
  if (!failure_) failure_ = std::move(failure);
}

void Win32WindowSystem::rethrow_failure() {
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

LRESULT Win32WindowSystem::send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const LRESULT result = SendMessageW(window, message, wparam, lparam);
  rethrow_failure();
  return result;
}

void Win32WindowSystem::settle() {
  // Until nothing is left to do: what the last action set going is delivered, the windows
  // catch up, and what that set going is delivered in turn.
  for (int round = 0; round < 4; ++round) {
    MSG message;
    bool delivered = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
      if (message.message == WM_QUIT) {
        // The loop's to see, not this one's.
        PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      delivered = true;
      if (client_ == nullptr || TranslateMDISysAccel(client_->hwnd(), &message) == 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    if (!delivered && round > 0) break;
    idle();
  }
  rethrow_failure();
}

std::unique_ptr<Peer> Win32WindowSystem::make_main_window(const FormDesign& design, Object& owner) {
  if (main_ != nullptr) raise(ErrorCode::Internal, "there is a main window already");
  auto peer = std::make_unique<MainPeer>(*this, owner, design);
  main_ = peer.get();
  client_ = &peer->client();
  main_shown_ = false;
  closed_ = false;
  active_ = nullptr;
  return peer;
}

std::unique_ptr<Peer> Win32WindowSystem::make_child_form(const FormDesign& design, Object& owner) {
  if (client_ == nullptr) {
    raise(ErrorCode::Internal, owner.path() + ": a child form needs the main window");
  }
  return std::make_unique<ChildPeer>(*this, owner, design, *client_);
}

std::unique_ptr<Peer> Win32WindowSystem::make_control(const Object& form,
                                                      const ControlDesign& design, Object& owner) {
  const auto parent = std::find_if(children_.begin(), children_.end(), [&](const ChildPeer* child) {
    return &child->owner() == &form;
  });
  if (parent == children_.end()) {
    raise(ErrorCode::Internal, owner.path() + ": controls live on child forms only");
  }
  auto peer = std::make_unique<ControlPeer>(*this, owner, design, **parent);
  peer->show();
  return peer;
}

std::unique_ptr<Peer> Win32WindowSystem::make_menu_item(const MenuDesign& design, Object& owner) {
  if (main_ == nullptr) raise(ErrorCode::Internal, owner.path() + ": menus need a main window");
  return main_->add_menu_item(design, owner);
}

std::int32_t Win32WindowSystem::send_message(WindowHandle window, std::uint32_t message,
                                             std::int32_t wparam, std::int32_t lparam) {
  const auto found = handles_.find(window);
  if (found == handles_.end() || IsWindow(found->second) == 0) return 0;
  // What a 32-bit caller passes: the low 32 bits of each.
  const LRESULT result =
      SendMessageA(found->second, message, static_cast<WPARAM>(static_cast<std::uint32_t>(wparam)),
                   static_cast<LPARAM>(lparam));
  rethrow_failure();
  return static_cast<std::int32_t>(result);
}

void Win32WindowSystem::idle() {
  if (client_ != nullptr && IsWindow(client_->hwnd()) != 0) client_->update();
}

bool Win32WindowSystem::window_up() const {
  const HWND main = main_window();
  return main != nullptr && IsWindowVisible(main) != 0;
}

int Win32WindowSystem::run_message_loop() {
  if (closed_) return 0;
  looping_ = true;
  struct Done {
    bool& looping;
    ~Done() { looping = false; }
  } done{looping_};
  MSG message;
  // Whether something was delivered since the windows last caught up: a painting changes
  // nothing they hold.
  bool caught_up = false;
  for (;;) {
    // Control is back in the loop with nothing to deliver but paintings and timers, which the
    // platform makes only when nothing else waits: the windows catch up before either (under
    // Wine the MDI client's own update of its bars comes as a posted message, after the one
    // that set it going).
    const DWORD waiting =
        HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE | QS_INPUT | QS_HOTKEY));
    if (!caught_up && waiting == 0) {
      idle();
      caught_up = true;
    }
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) platform_failed("GetMessage", "the message loop");
    if (got == 0) break;
    if (message.message != WM_PAINT) caught_up = false;
    if (client_ == nullptr || TranslateMDISysAccel(client_->hwnd(), &message) == 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    rethrow_failure();
  }
  return static_cast<int>(message.wParam);
}

void Win32WindowSystem::quit() {
  closed_ = true;
  if (looping_) PostQuitMessage(0);
}

ScrollBars Win32WindowSystem::client_scroll_bars() const {
  if (client_ == nullptr || IsWindow(client_->hwnd()) == 0) return {};
  return client_->bars();
}

Metrics Win32WindowSystem::metrics() const {
  // The frame the system gives an MDI child with a caption and a sizing border, as the
  // children are made.
  RECT frame{0, 0, 0, 0};
  if (AdjustWindowRectEx(&frame, WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE,
                         WS_EX_MDICHILD) == 0) {
    frame = RECT{-GetSystemMetrics(SM_CXSIZEFRAME),
                 -GetSystemMetrics(SM_CYSIZEFRAME) - GetSystemMetrics(SM_CYCAPTION),
                 GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)};
  }
  const int across = static_cast<int>(frame.right - frame.left);
  return Metrics{twips_per_pixel(), GetSystemMetrics(SM_CXVSCROLL), across / 2,
                 static_cast<int>(frame.bottom - frame.top) - across};
}

void Win32WindowSystem::main_window_shown() {
  main_shown_ = true;
  known_client_ = client_ != nullptr ? client_->size() : SIZE{};
}

void Win32WindowSystem::client_area_resized() {
  // The program is told of its own changes by the runtime, and of the first size when the
  // window is shown.
  if (!main_shown_ || program_changes_ > 0 || resizing_ > 0) return;
  report_client_size(false);
}

void Win32WindowSystem::report_client_size(bool always) {
  if (client_ == nullptr) return;
  // The window's size: a bar coming or going changes only what it leaves of it.
  const SIZE now = client_->size();
  if (now.cx == known_client_.cx && now.cy == known_client_.cy && !always) return;
  known_client_ = now;
  tell_person(UserAction::resize_client(Size{to_twips(now.cx), to_twips(now.cy)}));
  deliver([](EventSink& sink) { sink.main_window_resized(); });
}

void Win32WindowSystem::report_click(Object& owner) {
  tell_person(UserAction::on(UserAction::Kind::Click, owner));
  deliver([&](EventSink& sink) { sink.clicked(owner); });
}

void Win32WindowSystem::report_child_resized(Win32Peer& child) {
  // Sized by the program, or laid out while being shown: the runtime raises Resize itself.
  if (program_changes_ > 0 || consequences_ > 0) return;
  if ((GetWindowLongPtrW(child.hwnd(), GWL_STYLE) & WS_VISIBLE) == 0) return;
  deliver([&](EventSink& sink) { sink.form_resized_by_user(child.owner()); });
}

void Win32WindowSystem::report_place(ChildPeer& child) {
  tell_person(UserAction::place(child.owner(), child.inspect().geometry));
}

void Win32WindowSystem::report_text_changed(Win32Peer& text_box, std::string_view before,
                                            std::string_view after) {
  tell_person(text_changed(text_box.owner(), before, after));
}

void Win32WindowSystem::child_activated(ChildPeer& child) {
  // Said again when nothing changed: only a change is the person's.
  if (&child == active_) return;
  active_ = &child;
  tell_person(UserAction::on(UserAction::Kind::Activate, child.owner()));
}

void Win32WindowSystem::main_window_closing() {
  if (sink() != nullptr) {
    sink()->main_window_closed();
  } else {
    quit();
  }
}

void Win32WindowSystem::resize_client(const Size& client) {
  if (main_ == nullptr) return;
  // As a person dragging the border to that size, which reaches the program once, even where
  // the drag ends where it began. The frame is sized in steps where the menu bar wraps at the
  // new width; the sizes on the way are no size of the person's.
  ++resizing_;
  try {
    main_->set_client_size(
        SIZE{std::max(0, to_pixels(client.width)), std::max(0, to_pixels(client.height))});
  } catch (...) {
    --resizing_;
    throw;
  }
  --resizing_;
  report_client_size(true);
  settle();
}

ChildPeer* Win32WindowSystem::window_list_entry(UINT id) const {
  if (main_ == nullptr || main_->window_menu() == nullptr) return nullptr;
  // Only an entry the platform has put in the list.
  if (GetMenuState(main_->window_menu(), id, MF_BYCOMMAND) == static_cast<UINT>(-1)) {
    return nullptr;
  }
  const auto found = std::find_if(children_.begin(), children_.end(), [&](const ChildPeer* c) {
    return c->hwnd() != nullptr && static_cast<UINT>(GetWindowLongPtrW(c->hwnd(), GWLP_ID)) == id;
  });
  return found == children_.end() ? nullptr : *found;
}

void Win32WindowSystem::choose_window(ChildPeer& child) {
  tell_person(UserAction::on(UserAction::Kind::ChooseWindow, child.owner()));
  Consequences consequences(*this);
  child.choose();
}

void Win32WindowSystem::cycle_children(Cycle cycle) {
  if (client_ == nullptr) return;
  // The window list's order, not the platform's own Ctrl+F6, which goes by the stacking order.
  std::vector<ChildPeer*> listed;
  std::copy_if(children_.begin(), children_.end(), std::back_inserter(listed),
               [](const ChildPeer* child) {
                 return child->hwnd() != nullptr &&
                        (GetWindowLongPtrW(child->hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
               });
  if (listed.empty()) return;
  const auto active = reinterpret_cast<HWND>(SendMessageW(client_->hwnd(), WM_MDIGETACTIVE, 0, 0));
  const auto at = static_cast<std::size_t>(
      std::find_if(listed.begin(), listed.end(),
                   [&](const ChildPeer* child) { return child->hwnd() == active; }) -
      listed.begin());
  tell_person(UserAction::cycle_children(cycle));
  Consequences consequences(*this);
  send(client_->hwnd(), WM_MDIACTIVATE,
       reinterpret_cast<WPARAM>(listed[cycled(at, listed.size(), cycle)]->hwnd()));
  settle();
}

void Win32WindowSystem::choose_window_entry(ChildPeer& child) {
  if (main_ == nullptr || child.hwnd() == nullptr || IsWindow(child.hwnd()) == 0) return;
  const auto id = static_cast<UINT>(GetWindowLongPtrW(child.hwnd(), GWLP_ID));
  if (window_list_entry(id) != &child) return;
  // As the platform's menu sends a chosen entry.
  SendMessageW(main_->hwnd(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

Pixels Win32WindowSystem::capture() const {
  const HWND window = main_window();
  if (window == nullptr || IsWindow(window) == 0) return {};
  return capture_window(window);
}

}  // namespace rt::win32
