#include "runtime/qt/qt_window_system.h"

#include <algorithm>
#include <cmath>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "runtime/error.h"
#include "runtime/object.h"
#include "runtime/qt/child_peer.h"
#include "runtime/qt/control_peer.h"
#include "runtime/qt/main_peer.h"
#include "runtime/qt/mdi_client.h"
#include "runtime/qt/menu_peer.h"
#include "runtime/qt/qt_peer.h"

namespace rt::qt {
namespace {

// The largest length in pixels a window may be given: what a widget can hold.
constexpr double kMaxPixels = QWIDGETSIZE_MAX;
// A top-level window larger than this cannot be made on X11, or shown on any screen.
constexpr int kMaxWindowPixels = 32767;

double screen_twips_per_pixel() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 0.0;
  return dpi > 0 ? 1440.0 / dpi : PixelGrid::kDefaultTwipsPerPixel;
}

}  // namespace

QtWindowSystem::QtWindowSystem()
    : WindowSystem(PixelGrid(screen_twips_per_pixel())), context_(new QObject) {}

QtWindowSystem::~QtWindowSystem() {
  // Windows still up (their peers not yet gone) stop reporting to this window system.
  if (!area_.isNull()) area_->set_resize_handler(nullptr);
  if (!main_.isNull()) main_->set_close_handler(nullptr);
  delete context_;
}

QMainWindow* QtWindowSystem::main_window() const {
  return main_.data();
}

QMdiArea* QtWindowSystem::mdi_area() const {
  return area_.data();
}

QObject* QtWindowSystem::native(const Object& owner) const {
  for (const QtPeer* peer : peers_) {
    if (&peer->owner() == &owner) return peer->native();
  }
  return nullptr;
}

int QtWindowSystem::to_pixels(float twips) const {
  const double pixels = grid().to_pixels(twips);
  if (std::isnan(pixels)) return 0;
  return static_cast<int>(std::clamp(pixels, -kMaxPixels, kMaxPixels));
}

float QtWindowSystem::to_twips(int pixels) const {
  return static_cast<float>(grid().to_twips(pixels));
}

QRect QtWindowSystem::to_pixels(const Rect& rect) const {
  return QRect(to_pixels(rect.left), to_pixels(rect.top), std::max(0, to_pixels(rect.width)),
               std::max(0, to_pixels(rect.height)));
}

Rect QtWindowSystem::to_twips(const QRect& rect) const {
  return Rect{to_twips(rect.x()), to_twips(rect.y()), to_twips(rect.width()),
              to_twips(rect.height())};
}

QRect QtWindowSystem::placed(const QRect& now, const Placement& placement) const {
  return QRect(placement.left ? to_pixels(*placement.left) : now.x(),
               placement.top ? to_pixels(*placement.top) : now.y(),
               placement.width ? std::max(0, to_pixels(*placement.width)) : now.width(),
               placement.height ? std::max(0, to_pixels(*placement.height)) : now.height());
}

QSize QtWindowSystem::visible_client() const {
  if (area_.isNull()) return {};
  // Before the window is shown the viewport has not been laid out; there are no bars yet.
  return area_->isVisible() ? area_->viewport()->size() : area_->size();
}

bool QtWindowSystem::set_client_size(QSize size) {
  if (main_.isNull() || area_.isNull()) return false;
  // Qt lays out no window, nor a main window's central widget, that is empty: the client area
  // is at least a pixel each way.
  size = size.expandedTo(QSize(1, 1));
  const QSize before = area_->size();
  // The menu bar may take another height at another width (it wraps), so measure again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!main_->isVisible()) {
      // A hidden window lays itself out only when shown; do it now, to measure.
      main_->layout()->invalidate();
      main_->layout()->activate();
    }
    // The limit is the whole window's, menu bar included: the client area gets what is left.
    const QSize window = (main_->size() + (size - area_->size()))
                             .boundedTo(QSize(kMaxWindowPixels, kMaxWindowPixels));
    if (window == main_->size()) break;
    main_->resize(window);
  }
  if (!main_->isVisible()) {
    main_->layout()->invalidate();
    main_->layout()->activate();
  }
  return area_->size() != before;
}

void QtWindowSystem::main_window_shown() {
  main_shown_ = true;
  known_client_ = area_ ? area_->size() : QSize();
}

void QtWindowSystem::client_area_resized() {
  // The program is told of its own changes by the runtime, and of the first size when the
  // window is shown.
  if (!main_shown_ || program_changes_ > 0) return;
  report_client_size(false);
}

void QtWindowSystem::report_client_size(bool always) {
  if (area_.isNull()) return;
  const QSize now = area_->size();
  if (now == known_client_ && !always) return;
  known_client_ = now;
  ++client_reports_;
  tell_person(UserAction::resize_client(Size{to_twips(now.width()), to_twips(now.height())}));
  tell_program([](EventSink& sink) { sink.main_window_resized(); });
}

void QtWindowSystem::report_click(Object& owner) {
  tell_person(UserAction::on(UserAction::Kind::Click, owner));
  tell_program([&](EventSink& sink) { sink.clicked(owner); });
}

void QtWindowSystem::report_child_resized(QtPeer& child) {
  // Sized by the program, or laid out while being shown: the runtime raises Resize itself.
  if (program_changes_ > 0) return;
  if (child.placed_widget() == nullptr || !child.placed_widget()->isVisible()) return;
  tell_program([&](EventSink& sink) { sink.form_resized_by_user(child.owner()); });
}

void QtWindowSystem::report_window_state(ChildPeer& child) {
  tell_person(UserAction::set_window_state(child.owner(), child.window_state()));
}

void QtWindowSystem::report_place(ChildPeer& child) {
  tell_person(UserAction::place(child.owner(), child.inspect().geometry));
}

void QtWindowSystem::report_text_changed(QtPeer& text_box, std::string_view before,
                                         std::string_view after) {
  tell_person(text_changed(text_box.owner(), before, after));
}

void QtWindowSystem::child_activated(QMdiSubWindow* child) {
  // Qt says so again when the main window gets the focus back, and says none while it has
  // not: only a change is the person's.
  if (child == nullptr || child == active_) return;
  active_ = child;
  const auto* window = static_cast<ChildWindow*>(child);
  if (window->peer() != nullptr) {
    tell_person(UserAction::on(UserAction::Kind::Activate, window->peer()->owner()));
  }
}

int QtWindowSystem::z_of(const QWidget& child) const {
  if (area_.isNull()) return -1;
  const QList<QMdiSubWindow*> stack = area_->subWindowList(QMdiArea::StackingOrder);
  const auto found = std::find(stack.begin(), stack.end(), &child);
  return found == stack.end() ? -1 : static_cast<int>(stack.end() - found - 1);
}

void QtWindowSystem::report_close() {
  // Taking the windows down inside the main window's own close event would delete it under
  // Qt's feet; do it from the event loop.
  QTimer::singleShot(0, context_, [this] {
    if (sink() != nullptr) {
      sink()->main_window_closed();
    } else {
      quit();
    }
  });
}

void QtWindowSystem::settle() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  idle();
}

PeerPtr QtWindowSystem::make_main_window(const FormDesign& design, Object& owner) {
  if (!main_.isNull()) raise(ErrorCode::Internal, "there is a main window already");
  auto peer = std::make_unique<MainPeer>(*this, owner, design);
  main_ = peer->window();
  main_peer_ = peer.get();
  area_ = static_cast<MdiClient*>(main_->centralWidget());
  area_->set_resize_handler([this] { client_area_resized(); });
  QObject::connect(area_, &QMdiArea::subWindowActivated, context_,
                   [this](QMdiSubWindow* child) { child_activated(child); });
  main_->set_close_handler([this] { report_close(); });
  main_shown_ = false;
  closed_ = false;
  return peer;
}

PeerPtr QtWindowSystem::make_child_form(const FormDesign& design, Object& owner) {
  if (area_.isNull())
    raise(ErrorCode::Internal, owner.path() + ": a child form needs the main window");
  return std::make_unique<ChildPeer>(*this, owner, design, *area_);
}

PeerPtr QtWindowSystem::make_control(const Object& form, const ControlDesign& design,
                                     Object& owner) {
  QWidget* parent = nullptr;
  for (const QtPeer* peer : peers_) {
    if (&peer->owner() == &form) parent = peer->control_parent();
  }
  if (parent == nullptr) {
    raise(ErrorCode::Internal, owner.path() + ": controls live on child forms only");
  }
  auto peer = std::make_unique<ControlPeer>(*this, owner, design, *parent);
  peer->show();
  return peer;
}

PeerPtr QtWindowSystem::make_menu_item(const MenuDesign& design, Object& owner) {
  MainPeer* main = main_.isNull() ? nullptr : main_peer_;
  if (main == nullptr) raise(ErrorCode::Internal, owner.path() + ": menus need a main window");
  bool in_drop_down = false;
  QAction* action = main->add_menu_item(design, in_drop_down);
  return std::make_unique<MenuPeer>(*this, owner, design, *action, in_drop_down);
}

std::int32_t QtWindowSystem::send_message(WindowHandle window, std::uint32_t message,
                                          std::int32_t wparam, std::int32_t) {
  return handles_.send(window, message, wparam);
}

void QtWindowSystem::idle() {
  if (main_show_pending_ && !main_.isNull()) {
    main_show_pending_ = false;
    ProgramChange change(*this);
    main_->show();
    main_window_shown();
  }
  if (!area_.isNull()) area_->update_scroll_bars();
}

int QtWindowSystem::run_message_loop() {
  if (closed_) return 0;
  return QApplication::exec();
}

void QtWindowSystem::quit() {
  closed_ = true;
  QCoreApplication::exit(0);
}

ScrollBars QtWindowSystem::client_scroll_bars() const {
  if (area_.isNull()) return {};
  return ScrollBars{area_->horizontalScrollBar()->isVisibleTo(area_),
                    area_->verticalScrollBar()->isVisibleTo(area_)};
}

Metrics QtWindowSystem::metrics() const {
  // A client area and a framed, sizable child of the style's, never shown: the frame QMdiArea
  // gives a child does not depend on whether one is on the screen yet.
  MdiClient area;
  auto* child = new QMdiSubWindow;
  child->setWidget(new QWidget);
  area.addSubWindow(child);
  child->setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
  const QMargins frame = child->contentsMargins();
  const int across = frame.left() + frame.right();
  return Metrics{twips_per_pixel(), area.horizontalScrollBar()->sizeHint().height(), across / 2,
                 frame.top() + frame.bottom() - across};
}

void QtWindowSystem::resize_client(const Size& client) {
  if (main_.isNull()) return;
  // As a person dragging the border: each size the area passes through reaches the program
  // from the area's resize event. A drag that ends where it began still ends in one Resize.
  const int reports = client_reports_;
  set_client_size(QSize(to_pixels(client.width), to_pixels(client.height)));
  QCoreApplication::processEvents();
  if (client_reports_ == reports) report_client_size(true);
  settle();
}

void QtWindowSystem::cycle_children(Cycle cycle) {
  if (area_.isNull()) return;
  QList<QMdiSubWindow*> listed = area_->subWindowList(QMdiArea::CreationOrder);
  listed.removeIf([](const QMdiSubWindow* child) { return child->isHidden(); });
  if (listed.isEmpty()) return;
  // None active (-1) reads as past the end.
  const auto at = static_cast<std::size_t>(listed.indexOf(area_->currentSubWindow()));
  tell_person(UserAction::cycle_children(cycle));
  Consequences consequences(*this);
  area_->setActiveSubWindow(
      listed[static_cast<qsizetype>(cycled(at, static_cast<std::size_t>(listed.size()), cycle))]);
}

void QtWindowSystem::choose_window(ChildPeer& child) {
  ChildWindow* window = child.window();
  if (window == nullptr || area_.isNull()) return;
  tell_person(UserAction::on(UserAction::Kind::ChooseWindow, child.owner()));
  Consequences consequences(*this);
  if (window->isMinimized()) window->showNormal();
  area_->setActiveSubWindow(window);
}

}  // namespace rt::qt
