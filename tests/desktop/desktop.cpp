#include "desktop.h"

// Qt before Xlib, whose macros (Bool, Status) Qt's headers cannot have defined.
#include <QLibraryInfo>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace desktop {
namespace {

using Clock = std::chrono::steady_clock;

std::string program_path() {
  const char* path = std::getenv("MDIRESIZE_PROGRAM");
  if (path == nullptr) throw std::runtime_error("MDIRESIZE_PROGRAM is not set");
  return path;
}

bool on_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "";
  while (!rest.empty()) {
    const std::string_view dir = rest.substr(0, rest.find(':'));
    if (!dir.empty() && access((std::string(dir) + "/" + name).c_str(), X_OK) == 0) return true;
    rest.remove_prefix(std::min(rest.size(), dir.size() + 1));
  }
  return false;
}

}  // namespace

// --- processes ---------------------------------------------------------------------------------

Process::Process(const std::vector<std::string>& command,
                 const std::vector<std::string>& environment, bool piped) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  for (const std::string& setting : environment) {
    const std::string name = setting.substr(0, setting.find('=') + 1);
    std::erase_if(env, [&](const std::string& e) { return e.starts_with(name); });
    if (setting.size() > name.size()) env.push_back(setting);
  }
  int in[2] = {-1, -1}, out[2] = {-1, -1};
  if (piped && (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)) {
    throw std::runtime_error("no pipe");
  }
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("no fork");
  if (pid_ == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(piped ? in[0] : null, 0);
    dup2(piped ? out[1] : null, 1);
    if (!piped) dup2(null, 2);  // the servers' chatter
    std::vector<char*> argv, envp;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    execvpe(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (piped) {
    close(in[0]);
    close(out[1]);
    in_ = in[1];
    out_ = out[0];
  }
}

Process::~Process() {
  if (in_ >= 0) close(in_);
  if (running()) {
    kill(pid_, SIGTERM);
    if (wait(2s) < 0) {
      kill(pid_, SIGKILL);
      wait(2s);
    }
  }
  if (out_ >= 0) close(out_);
}

bool Process::running() {
  return wait(0ms) < 0 && pid_ > 0;
}

int Process::wait(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (pid_ > 0) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      pid_ = -1;
      break;
    }
    if (Clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(10ms);
  }
  return status_;
}

void Process::send(std::string_view line) {
  const std::string text = std::string(line) + "\n";
  if (write(in_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("the program does not take input");
  }
}

std::string Process::read_line(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (buffer_.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd ready{out_, POLLIN, 0};
    if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
      throw std::runtime_error("no answer within " + std::to_string(timeout.count()) + " ms");
    }
    char chunk[4096];
    const ssize_t got = read(out_, chunk, sizeof chunk);
    if (got <= 0) throw std::runtime_error("the program's output ended");
    buffer_.append(chunk, static_cast<std::size_t>(got));
  }
  const std::size_t end = buffer_.find('\n');
  std::string line = buffer_.substr(0, end);
  if (line.ends_with('\r')) line.pop_back();  // a Windows program's console
  buffer_.erase(0, end + 1);
  return line;
}

Program::Program(const std::vector<std::string>& environment, std::vector<std::string> args,
                 std::vector<std::string> command)
    : process_(
          [&] {
            if (command.empty()) command = {program_path()};
            command.insert(command.end(), {"--script", "-"});
            command.insert(command.end(), args.begin(), args.end());
            return command;
          }(),
          [&] {
            std::vector<std::string> all = environment;
#ifdef MDIRESIZE_KEEP_MODULES
            // Under LeakSanitizer: what the desktop's libraries hold stays theirs to the end.
            all.emplace_back("LD_PRELOAD=" MDIRESIZE_KEEP_MODULES);
#endif
            return all;
          }(),
          true) {
}

Played play_headless(const std::string& script) {
  Process program({program_path(), "--headless", "--script", script}, {}, true);
  Played played;
  try {
    for (;;) played.out += program.read_line(10s) + "\n";
  } catch (const std::runtime_error&) {  // its output ended, or it hangs: the status tells
  }
  played.status = program.wait(10s);
  return played;
}

std::string Program::state() {
  process_.send("state");
  std::string state;
  // The forms come in the order they were loaded, the top form last, its button the last of it.
  for (std::string line; !line.starts_with("control frmResizeT.Command1 ");) {
    line = process_.read_line(10s);
    state += line + "\n";
  }
  return state;
}

std::string Program::settled_state() {
  std::string before = state();
  for (int tries = 0; tries < 50; ++tries) {
    std::this_thread::sleep_for(80ms);
    std::string now = state();
    if (now == before) return now;
    before = std::move(now);
  }
  return before;
}

std::vector<std::string> windows_program() {
  return {"env", "MDIRESIZE_WINE_GRAPHICS=x11", MDIRESIZE_WINE_SH, MDIRESIZE_WINE_PREFIX,
          MDIRESIZE_WINDOWS_PROGRAM};
}

std::string windows_program_missing() {
  const std::vector<std::string> command = windows_program();
  if (access(command.back().c_str(), R_OK) != 0) {
    return "no Windows build at " + command.back() + " (cmake --build --preset windows)";
  }
  const char* wine = std::getenv("MDIRESIZE_WINE");
  const std::string loader = wine != nullptr ? wine : "/usr/lib/wine/wine64";
  if (access(loader.c_str(), X_OK) != 0)
    return "no Wine at " + loader + " (tools/setup installs it)";
  return {};
}

std::string private_runtime_folder() {
  static const std::string folder = [] {
    std::string pattern = std::filesystem::temp_directory_path() / "mdiresize-runtime-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no runtime folder");
    return pattern;
  }();
  return folder;
}

// --- the X desktop -----------------------------------------------------------------------------

std::string XDesktop::missing() {
  for (const char* tool : {"Xvfb", "openbox"}) {
    if (!on_path(tool)) {
      return std::string(tool) + " is not installed (tools/setup installs it): no real X desktop";
    }
  }
  return {};
}

XDesktop::XDesktop(QSize screen) {
  // Xvfb picks a free display itself and says which on its standard output.
  server_ =
      new Process({"Xvfb", "-displayfd", "1", "-screen", "0",
                   std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + "x24",
                   "-nolisten", "tcp", "-dpi", "96"},
                  {}, true);
  name_ = ":" + server_->read_line(20s);
  for (int tries = 0; display_ == nullptr && tries < 100; ++tries) {
    display_ = XOpenDisplay(name_.c_str());
    if (display_ == nullptr) std::this_thread::sleep_for(50ms);
  }
  if (display_ == nullptr) throw std::runtime_error("cannot open the X display " + name_);
  manager_ = new Process({"openbox"}, {display_variable()});
  // The window manager is there once it names itself on the root window.
  const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
  for (int tries = 0; tries < 200; ++tries) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW, &type,
                       &format, &items, &after, &data);
    if (data != nullptr) XFree(data);
    if (items > 0) return;
    std::this_thread::sleep_for(50ms);
  }
  throw std::runtime_error("openbox did not start on " + name_);
}

XDesktop::~XDesktop() {
  if (display_ != nullptr) XCloseDisplay(display_);
  delete manager_;
  delete server_;
}

namespace {

Window find_named(Display* display, Window parent, std::string_view title) {
  Window root = 0, up = 0, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    XWindowAttributes attributes;
    if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
      if (title == name && XGetWindowAttributes(display, children[i], &attributes) != 0 &&
          attributes.map_state == IsViewable) {
        found = children[i];
      }
      XFree(name);
    }
    if (found == 0) found = find_named(display, children[i], title);
  }
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

unsigned long XDesktop::window(std::string_view title, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    if (const Window found = find_named(display_, DefaultRootWindow(display_), title)) {
      return found;
    }
    if (Clock::now() >= deadline) return 0;
    std::this_thread::sleep_for(50ms);
  }
}

QRect XDesktop::area_of(unsigned long window) {
  XWindowAttributes attributes;
  XGetWindowAttributes(display_, window, &attributes);
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  return QRect(x, y, attributes.width, attributes.height);
}

QRect XDesktop::frame_of(unsigned long window) {
  // The window manager's frame is the ancestor that is a child of the root window.
  Window current = window;
  while (true) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display_, current, &root, &parent, &children, &count);
    if (children != nullptr) XFree(children);
    if (parent == root || parent == 0) return area_of(current);
    current = parent;
  }
}

void XDesktop::sync() {
  XSync(display_, False);
  std::this_thread::sleep_for(30ms);
}

void XDesktop::move(QPoint to) {
  XTestFakeMotionEvent(display_, -1, to.x(), to.y(), CurrentTime);
  sync();
}

void XDesktop::press(int button) {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
  sync();
}

void XDesktop::release(int button) {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
  sync();
}

void XDesktop::click(QPoint at, int button) {
  move(at);
  press(button);
  release(button);
}

void XDesktop::double_click(QPoint at) {
  move(at);
  for (int i = 0; i < 2; ++i) {
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
  }
  sync();
}

void XDesktop::keys(const std::vector<std::string>& names) {
  std::vector<unsigned int> codes;
  for (const std::string& name : names) {
    codes.push_back(XKeysymToKeycode(display_, XStringToKeysym(name.c_str())));
    XTestFakeKeyEvent(display_, codes.back(), True, CurrentTime);
    XSync(display_, False);
  }
  for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
    XTestFakeKeyEvent(display_, *code, False, CurrentTime);
  }
  sync();
}

QImage XDesktop::grab(const QRect& area) {
  XImage* shot = XGetImage(display_, DefaultRootWindow(display_), area.x(), area.y(),
                           static_cast<unsigned>(area.width()),
                           static_cast<unsigned>(area.height()), AllPlanes, ZPixmap);
  if (shot == nullptr) throw std::runtime_error("cannot read the screen");
  QImage image(area.size(), QImage::Format_RGB32);
  for (int y = 0; y < area.height(); ++y) {
    for (int x = 0; x < area.width(); ++x) {
      image.setPixel(x, y, static_cast<QRgb>(XGetPixel(shot, x, y)) | 0xFF000000u);
    }
  }
  XDestroyImage(shot);
  return image;
}

// --- Wayland ----------------------------------------------------------------------------------

std::string Weston::missing() {
  if (!on_path("weston")) return "weston is not installed (tools/setup installs it): no Wayland";
  const std::filesystem::path plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString();
  if (!std::filesystem::exists(plugins / "platforms" / "libqwayland-generic.so")) {
    return "Qt's Wayland platform is not installed (qt6-wayland; tools/setup installs it)";
  }
  return {};
}

Weston::Weston() : socket_("mdiresize-" + std::to_string(getpid())) {
  compositor_ = std::make_unique<Process>(
      std::vector<std::string>{"weston", "--backend=headless-backend.so", "--socket=" + socket_,
                               "--idle-time=0", "--width=1280", "--height=1024"},
      std::vector<std::string>{"XDG_RUNTIME_DIR=" + private_runtime_folder(),
                               "DISPLAY=", "WAYLAND_DISPLAY="});
  const std::filesystem::path socket = std::filesystem::path(private_runtime_folder()) / socket_;
  for (int tries = 0; tries < 200 && !std::filesystem::exists(socket); ++tries) {
    std::this_thread::sleep_for(50ms);
  }
  if (!std::filesystem::exists(socket)) throw std::runtime_error("weston did not start");
}

std::vector<std::string> Weston::environment() const {
  return {"WAYLAND_DISPLAY=" + socket_, "XDG_RUNTIME_DIR=" + private_runtime_folder(),
          "QT_QPA_PLATFORM=wayland", "DISPLAY="};
}

// --- the screen --------------------------------------------------------------------------------

namespace {

enum class Glyph { Plain, Up, Down, Left, Right, Other };

// What an arrow button of `bar` pixels at `corner` shows: the black pixels of its arrow, away
// from its bevel, point somewhere.
Glyph glyph(const QImage& image, QPoint corner, int bar) {
  const QRect inner = QRect(corner, QSize(bar, bar)).adjusted(3, 3, -3, -3) & image.rect();
  int top = 0, bottom = 0, left = 0, right = 0, count = 0;
  const QPoint middle = inner.center();
  for (int y = inner.top(); y <= inner.bottom(); ++y) {
    for (int x = inner.left(); x <= inner.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 40 || c.green() > 40 || c.blue() > 40) continue;
      ++count;
      if (y < middle.y()) ++top;
      if (y > middle.y()) ++bottom;
      if (x < middle.x()) ++left;
      if (x > middle.x()) ++right;
    }
  }
  if (count < 3) return Glyph::Plain;
  // A triangle has its base where most of it is, and points the other way.
  const int vertical = std::abs(bottom - top), horizontal = std::abs(left - right);
  if (vertical > horizontal) return bottom > top ? Glyph::Up : Glyph::Down;
  if (horizontal > vertical) return left > right ? Glyph::Right : Glyph::Left;
  return Glyph::Other;
}

}  // namespace

Bars bars_on_screen(const QImage& client_area, int bar) {
  const int w = client_area.width(), h = client_area.height();
  Bars bars;
  bars.vertical = glyph(client_area, QPoint(w - bar, 0), bar) == Glyph::Up;
  const Glyph corner = glyph(client_area, QPoint(w - bar, h - bar), bar);
  bars.horizontal = bars.vertical ? corner == Glyph::Plain : corner == Glyph::Right;
  return bars;
}

}  // namespace desktop
