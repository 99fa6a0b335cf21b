#include "runtime/qt/qt_window_system.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include "runtime/error.h"
#include "runtime/object.h"
#include "runtime/qt/list_box.h"
#include "runtime/qt/mdi_client.h"

namespace rt::qt {
namespace {

// The largest length in pixels a window may be given: what a widget can hold.
constexpr double kMaxPixels = QWIDGETSIZE_MAX;
// A top-level window larger than this cannot be made on X11, or shown on any screen.
constexpr int kMaxWindowPixels = 32767;
// The forms runtime's standard font is an 8-point sans serif; the forms' captions and labels
// were made to fit it.
constexpr double kFormFontPoints = 8;

// The program's strings break lines with CR LF, as the forms runtime's do; Qt's with LF.
QString to_display(std::string_view text) {
  QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

std::string from_display(QString text) {
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return text.toStdString();
}

// A colour as the forms runtime stores it: the high bit set for a system colour (the low bits
// its number), else 0x00BBGGRR.
QBrush brush_for(std::uint32_t colour, const QPalette& palette) {
  if ((colour & 0x80000000u) == 0) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
  }
  switch (colour & 0xFF) {
    case 12:  // the application workspace; Qt's own MDI areas take the palette's dark shade
      return palette.brush(QPalette::Dark);
    case 5:  // window background
      return palette.brush(QPalette::Base);
    default:  // 15, the face of buttons and dialogs, and anything else
      return palette.brush(QPalette::Window);
  }
}

}  // namespace

class MainWindow final : public QMainWindow {
 public:
  void set_close_handler(std::function<void()> handler) { on_close_ = std::move(handler); }

 protected:
  // Closing the main window ends the program; the window system reports it and the runtime
  // takes the windows down, outside this event.
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (on_close_) on_close_();
  }

 private:
  std::function<void()> on_close_;
};

// A child form's frame. The forms live as long as the program (no code unloads one), so a
// child cannot be closed by hand: it offers no close button, and refuses Ctrl+F4.
class ChildWindow final : public QMdiSubWindow {
 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

// A child form's client area: the controls' parent, and what ScaleWidth measures.
class ChildClient final : public QWidget {
 public:
  void set_resize_handler(std::function<void()> handler) { on_resize_ = std::move(handler); }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (on_resize_) on_resize_();
  }

 private:
  std::function<void()> on_resize_;
};

// --- peers ------------------------------------------------------------------------------------

class QtPeer : public Peer {
 public:
  QtPeer(QtWindowSystem& ws, Object& owner, bool is_window) : ws_(&ws), owner_(&owner) {
    if (is_window) handle_ = ws.register_window(*this);
  }
  ~QtPeer() override { ws_->unregister(*this); }

  Object& owner() const { return *owner_; }
  WindowHandle window_handle() const { return handle_; }
  virtual QObject* native() const = 0;
  // The widget that a user's move or resize applies to, if any.
  virtual QWidget* placed_widget() const { return nullptr; }
  // Only list boxes take a horizontal extent.
  virtual bool set_horizontal_extent(int) { return false; }

  WindowHandle handle() override {
    if (handle_ == 0) raise(ErrorCode::UnsupportedMember, owner_->path() + ".hWnd");
    return handle_;
  }

 protected:
  QtWindowSystem& ws() const { return *ws_; }
  // Whether the size changed: a Resize is due then.
  bool place_widget(QWidget& widget, const Placement& placement) const {
    QtWindowSystem::ProgramChange change(ws());
    const QRect before = widget.geometry();
    widget.setGeometry(ws().placed(before, placement));
    return widget.size() != before.size();
  }
  // The native object, which Qt may have taken down under the program (with its window).
  template <class T>
  T& alive(const QPointer<T>& object) const {
    if (object.isNull()) raise(ErrorCode::PlatformCallFailed, owner_->path() + " has no window");
    return *object;
  }

 private:
  QtWindowSystem* ws_;
  Object* owner_;
  WindowHandle handle_ = 0;
};

// A form's window, which the peer owns, and its caption as the program wrote it (the title
// shows what Qt can of it).
template <class Window>
class WindowPeer : public QtPeer {
 public:
  WindowPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design)
      : QtPeer(ws, owner, true), window_(new Window), caption_(design.caption) {
    window_->setWindowTitle(to_display(design.caption));
  }
  ~WindowPeer() override { delete window_.data(); }

  QObject* native() const override { return window_.data(); }

  void set_text(std::string_view text) override {
    alive(window_).setWindowTitle(to_display(text));
    caption_ = text;
  }
  std::string text() override {
    alive(window_);
    return caption_;
  }

 protected:
  QPointer<Window> window_;
  std::string caption_;
};

class MainPeer final : public WindowPeer<MainWindow> {
 public:
  MainPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design)
      : WindowPeer(ws, owner, design), menus_(design.menus) {
    QFont font = window_->font();
    font.setPointSizeF(kFormFontPoints);
    window_->setFont(font);
    auto* area = new MdiClient;
    area->setBackground(brush_for(design.back_color, area->palette()));
    window_->setCentralWidget(area);
    if (!menus_.empty()) window_->menuBar();
    wanted_client_ = QSize(ws.to_pixels(design.client_width), ws.to_pixels(design.client_height));
  }
  MainWindow* window() const { return window_.data(); }

  void show() override {
    MainWindow& window = alive(window_);
    QtWindowSystem::ProgramChange change(ws());
    // The designed client size, now that the menu bar has its items; the desktop chooses
    // where the window goes.
    if (!window.isVisible()) ws().set_client_size(wanted_client_);
    window.show();
    ws().main_window_shown();
  }

  Rect geometry() override {
    const MainWindow& window = alive(window_);
    const QSize client = ws().area_ ? ws().area_->size() : QSize();
    return ws().to_twips(QRect(window.pos(), client));
  }

  // Left and Top move the window; Width and Height size its client area, as the in-memory
  // window system does.
  bool place(const Placement& placement) override {
    MainWindow& window = alive(window_);
    QtWindowSystem::ProgramChange change(ws());
    if (placement.left || placement.top) {
      window.move(placement.left ? ws().to_pixels(*placement.left) : window.x(),
                  placement.top ? ws().to_pixels(*placement.top) : window.y());
    }
    bool resized = false;
    if (placement.width || placement.height) {
      const QSize now = ws().area_->size();
      wanted_client_ = QSize(placement.width ? ws().to_pixels(*placement.width) : now.width(),
                             placement.height ? ws().to_pixels(*placement.height) : now.height());
      resized = ws().set_client_size(wanted_client_);
    }
    if (ws().main_shown_) ws().known_client_ = ws().area_->size();
    return resized;
  }

  Size client_size() override {
    alive(window_);
    const QSize client = ws().visible_client();
    return Size{ws().to_twips(client.width()), ws().to_twips(client.height())};
  }

  // A menu item in design order: an item whose name is another's parent is a drop-down menu
  // on the menu bar, one with a parent goes into that drop-down, anything else is a command on
  // the menu bar itself.
  QAction* add_menu_item(const MenuDesign& design, bool& in_drop_down) {
    QMenuBar* bar = alive(window_).menuBar();
    in_drop_down = !design.parent.empty();
    if (in_drop_down) {
      const auto parent = drop_downs_.find(design.parent);
      if (parent == drop_downs_.end() || parent->second.isNull()) {
        raise(ErrorCode::Internal, "menu " + design.name + ": no drop-down " + design.parent);
      }
      return parent->second->addAction(to_display(design.caption));
    }
    const bool has_items = std::any_of(
        menus_.begin(), menus_.end(), [&](const MenuDesign& m) { return m.parent == design.name; });
    if (has_items) {
      QMenu* menu = bar->addMenu(to_display(design.caption));
      drop_downs_[design.name] = menu;
      return menu->menuAction();
    }
    return bar->addAction(to_display(design.caption));
  }

  PeerState inspect() const override {
    PeerState state;
    if (window_.isNull()) return state;
    const QSize client = ws().area_ ? ws().area_->size() : QSize();
    state.geometry = ws().to_twips(QRect(window_->pos(), client));
    const QSize visible = ws().visible_client();
    state.client = Size{ws().to_twips(visible.width()), ws().to_twips(visible.height())};
    state.text = caption_;
    state.visible = window_->isVisible();
    return state;
  }

 private:
  std::vector<MenuDesign> menus_;
  std::unordered_map<std::string, QPointer<QMenu>> drop_downs_;
  QSize wanted_client_;
};

class ChildPeer final : public WindowPeer<ChildWindow> {
 public:
  ChildPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design, MdiClient& area)
      : WindowPeer(ws, owner, design) {
    Qt::WindowFlags flags = Qt::FramelessWindowHint;
    if (design.border_style != BorderStyle::None) {
      // No system menu: Qt's styles draw the close button with it.
      flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
      if (design.min_button) flags |= Qt::WindowMinimizeButtonHint;
      if (design.max_button) flags |= Qt::WindowMaximizeButtonHint;
      if (design.border_style == BorderStyle::Fixed) flags |= Qt::MSWindowsFixedSizeDialogHint;
    }
    client_ = new ChildClient;
    window_->setWidget(client_);
    // Dragged past the right or bottom edge, a child brings the client area's scroll bars.
    window_->setOption(QMdiSubWindow::AllowOutsideAreaHorizontally);
    window_->setOption(QMdiSubWindow::AllowOutsideAreaVertically);
    const int cascade = static_cast<int>(area.subWindowList().size()) *
                        area.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window_);
    QtWindowSystem::ProgramChange change(ws);
    area.addSubWindow(window_);
    window_->setWindowFlags(flags);  // addSubWindow() keeps the flags of a ready-made frame
    // The designed client size; the frame comes on top of it.
    const QMargins frame = window_->contentsMargins();
    window_->setGeometry(cascade, cascade,
                         ws.to_pixels(design.client_width) + frame.left() + frame.right(),
                         ws.to_pixels(design.client_height) + frame.top() + frame.bottom());
    client_->set_resize_handler([this] { this->ws().report_child_resized(*this); });
  }
  QWidget* client() const { return client_.data(); }
  QWidget* placed_widget() const override { return window_.data(); }

  void show() override {
    ChildWindow& window = alive(window_);
    QtWindowSystem::ProgramChange change(ws());
    window.show();
  }

  Rect geometry() override { return ws().to_twips(alive(window_).geometry()); }

  bool place(const Placement& placement) override {
    return place_widget(alive(window_), placement);
  }

  Size client_size() override {
    alive(window_);
    return client_area();
  }

  PeerState inspect() const override {
    PeerState state;
    if (window_.isNull()) return state;
    state.geometry = ws().to_twips(window_->geometry());
    state.client = client_area();
    state.text = caption_;
    state.visible = !window_->isHidden();
    return state;
  }

 private:
  // What the frame leaves of the window (nothing, when the window is smaller than its frame);
  // the client widget is laid out to exactly that.
  Size client_area() const {
    const QSize client = window_->contentsRect().size().expandedTo(QSize(0, 0));
    return Size{ws().to_twips(client.width()), ws().to_twips(client.height())};
  }

  QPointer<ChildClient> client_;
};

class ControlPeer final : public QtPeer {
 public:
  ControlPeer(QtWindowSystem& ws, Object& owner, const ControlDesign& design, QWidget& parent)
      : QtPeer(ws, owner, true), kind_(design.kind) {
    switch (kind_) {
      case ControlKind::ListBox: {
        auto* list = new ListBox(&parent);
        for (const std::string& item : design.items) list->addItem(to_display(item));
        widget_ = list;
        break;
      }
      case ControlKind::TextBox:
        widget_ = make_text_box(design, parent);
        break;
      case ControlKind::Label: {
        auto* label = new QLabel(&parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget_ = label;
        break;
      }
      case ControlKind::CommandButton: {
        auto* button = new QPushButton(&parent);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, button,
                         [this] { this->ws().report_click(this->owner()); });
        widget_ = button;
        break;
      }
    }
    QtWindowSystem::ProgramChange change(ws);
    widget_->setGeometry(ws.to_pixels(Rect{design.left, design.top, design.width, design.height}));
    write_text(kind_ == ControlKind::TextBox ? design.text : design.caption);
  }
  ~ControlPeer() override { delete widget_.data(); }

  QObject* native() const override { return widget_.data(); }
  QWidget* placed_widget() const override { return widget_.data(); }

  void show() override {
    QtWindowSystem::ProgramChange change(ws());
    alive(widget_).show();
  }

  Rect geometry() override { return ws().to_twips(alive(widget_).geometry()); }

  bool place(const Placement& placement) override {
    return place_widget(alive(widget_), placement);
  }

  Size client_size() override {
    const QSize size = alive(widget_).size();
    return Size{ws().to_twips(size.width()), ws().to_twips(size.height())};
  }

  void set_text(std::string_view text) override {
    alive(widget_);
    write_text(text);
  }

  std::string text() override {
    alive(widget_);
    return read_text();
  }

  void add_item(std::string_view item) override {
    auto* list = kind_ == ControlKind::ListBox ? static_cast<ListBox*>(&alive(widget_)) : nullptr;
    if (list == nullptr) return Peer::add_item(item);
    list->addItem(to_display(item));
  }

  bool set_horizontal_extent(int pixels) override {
    if (kind_ != ControlKind::ListBox || widget_.isNull()) return false;
    static_cast<ListBox*>(widget_.data())->set_horizontal_extent(pixels);
    return true;
  }

  // Typing, as a person does it: the text replaces the selection, here all of it.
  void type(std::string_view text) {
    QWidget& widget = alive(widget_);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(&widget)) {
      edit->selectAll();
      edit->insertPlainText(to_display(text));
    } else if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
      line->selectAll();
      line->insert(to_display(text));
    }
  }

  PeerState inspect() const override {
    PeerState state;
    if (widget_.isNull()) return state;
    state.geometry = ws().to_twips(widget_->geometry());
    state.client = Size{ws().to_twips(widget_->width()), ws().to_twips(widget_->height())};
    state.text = read_text();
    state.visible = !widget_->isHidden();
    if (kind_ == ControlKind::ListBox) {
      const auto* list = static_cast<const ListBox*>(widget_.data());
      state.item_count = list->count();
      for (int i = 0; i < list->count(); ++i) {
        state.items.push_back(list->item(i)->text().toStdString());
      }
      state.horizontal_extent = list->horizontal_extent();
    }
    return state;
  }

 private:
  static QWidget* make_text_box(const ControlDesign& design, QWidget& parent) {
    if (!design.multi_line) return new QLineEdit(&parent);
    auto* edit = new QPlainTextEdit(&parent);
    // A horizontal bar means long lines are not wrapped; each bar is there all the time.
    const bool horizontal = (design.scroll_bars & 1) != 0;
    const bool vertical = (design.scroll_bars & 2) != 0;
    edit->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    return edit;
  }

  void write_text(std::string_view text) {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data())) {
      edit->setPlainText(to_display(text));
      return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(widget_.data())) {
      line->setText(to_display(text));
      return;
    }
    caption_ = text;
    if (auto* label = qobject_cast<QLabel*>(widget_.data())) label->setText(to_display(text));
    if (auto* button = qobject_cast<QAbstractButton*>(widget_.data())) {
      button->setText(to_display(text));
    }
  }

  std::string read_text() const {
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget_.data())) {
      return from_display(edit->toPlainText());
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(widget_.data())) {
      return line->text().toStdString();
    }
    return caption_;
  }

  ControlKind kind_;
  QPointer<QWidget> widget_;
  std::string caption_;  // of a label or button, exactly as written
};

class MenuPeer final : public QtPeer {
 public:
  MenuPeer(QtWindowSystem& ws, Object& owner, const MenuDesign& design, QAction& action,
           bool in_drop_down)
      : QtPeer(ws, owner, false), action_(&action), caption_(design.caption) {
    // Only an item in a drop-down can show a check mark; one on the menu bar keeps its
    // Checked all the same.
    action.setCheckable(in_drop_down);
    action.setChecked(design.checked);
    checked_ = design.checked;
    action.setEnabled(design.enabled);
    action.setVisible(design.visible);
    QObject::connect(&action, &QAction::triggered, &action, [this] { clicked(); });
  }
  ~MenuPeer() override {
    if (action_.isNull()) return;
    if (QMenu* menu = action_->menu<QMenu*>()) {
      delete menu;
    } else {
      delete action_.data();
    }
  }

  QObject* native() const override { return action_.data(); }

  void show() override {}
  Rect geometry() override { return {}; }
  bool place(const Placement&) override { return false; }
  Size client_size() override { return {}; }
  void set_text(std::string_view text) override {
    alive(action_).setText(to_display(text));
    caption_ = text;
  }
  std::string text() override {
    alive(action_);
    return caption_;
  }

  bool checked() override {
    const QAction& action = alive(action_);
    return action.isCheckable() ? action.isChecked() : checked_;
  }
  void set_checked(bool checked) override {
    QAction& action = alive(action_);
    checked_ = checked;
    if (action.isCheckable()) action.setChecked(checked);
  }

  PeerState inspect() const override {
    PeerState state;
    state.text = caption_;
    if (action_.isNull()) return state;
    state.checked = action_->isCheckable() ? action_->isChecked() : checked_;
    state.visible = action_->isVisible();
    return state;
  }

 private:
  void clicked() {
    // Qt has already toggled a checkable item's mark; the program's handler flips Checked
    // itself (reads it, writes the opposite), so the click reaches it with the mark as it was.
    if (action_->isCheckable()) action_->setChecked(!action_->isChecked());
    ws().report_click(owner());
  }

  QPointer<QAction> action_;
  std::string caption_;
  bool checked_ = false;
};

// --- the window system ------------------------------------------------------------------------

namespace {

double screen_twips_per_pixel() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 0.0;
  return dpi > 0 ? 1440.0 / dpi : PixelGrid::kDefaultTwipsPerPixel;
}

}  // namespace

QtWindowSystem::QtWindowSystem() : grid_(screen_twips_per_pixel()), context_(new QObject) {}

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

QObject* QtWindowSystem::native(Peer& peer) {
  return static_cast<QtPeer&>(peer).native();
}

int QtWindowSystem::to_pixels(float twips) const {
  const double pixels = grid_.to_pixels(twips);
  if (std::isnan(pixels)) return 0;
  return static_cast<int>(std::clamp(pixels, -kMaxPixels, kMaxPixels));
}

float QtWindowSystem::to_twips(int pixels) const {
  return static_cast<float>(grid_.to_twips(pixels));
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

WindowHandle QtWindowSystem::register_window(QtPeer& peer) {
  const WindowHandle handle = next_handle_++;
  handles_.emplace(handle, &peer);
  return handle;
}

void QtWindowSystem::unregister(QtPeer& peer) {
  handles_.erase(peer.window_handle());
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
  if (sink_ != nullptr) {
    sink_->main_window_resized();
  } else {
    idle();
  }
}

void QtWindowSystem::report_click(Object& owner) {
  if (sink_ != nullptr) {
    sink_->clicked(owner);
  } else {
    idle();
  }
}

void QtWindowSystem::report_child_resized(QtPeer& child) {
  // Sized by the program, or laid out while being shown: the runtime raises Resize itself.
  if (program_changes_ > 0) return;
  if (child.placed_widget() == nullptr || !child.placed_widget()->isVisible()) return;
  if (sink_ != nullptr) {
    sink_->form_resized_by_user(child.owner());
  } else {
    idle();
  }
}

void QtWindowSystem::report_close() {
  // Taking the windows down inside the main window's own close event would delete it under
  // Qt's feet; do it from the event loop.
  QTimer::singleShot(0, context_, [this] {
    if (sink_ != nullptr) {
      sink_->main_window_closed();
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

std::unique_ptr<Peer> QtWindowSystem::create_main_window(const FormDesign& design, Object& owner) {
  if (!main_.isNull()) raise(ErrorCode::Internal, "there is a main window already");
  auto peer = std::make_unique<MainPeer>(*this, owner, design);
  main_ = peer->window();
  area_ = static_cast<MdiClient*>(main_->centralWidget());
  area_->set_resize_handler([this] { client_area_resized(); });
  main_->set_close_handler([this] { report_close(); });
  main_shown_ = false;
  closed_ = false;
  return peer;
}

std::unique_ptr<Peer> QtWindowSystem::create_child_form(Peer& main, const FormDesign& design,
                                                        Object& owner) {
  if (dynamic_cast<MainPeer*>(&main) == nullptr || area_.isNull()) {
    raise(ErrorCode::Internal, owner.path() + ": a child form needs the main window");
  }
  return std::make_unique<ChildPeer>(*this, owner, design, *area_);
}

std::unique_ptr<Peer> QtWindowSystem::create_control(Peer& form, const ControlDesign& design,
                                                     Object& owner) {
  auto* child = dynamic_cast<ChildPeer*>(&form);
  if (child == nullptr || child->client() == nullptr) {
    raise(ErrorCode::Internal, owner.path() + ": controls live on child forms only");
  }
  auto peer = std::make_unique<ControlPeer>(*this, owner, design, *child->client());
  peer->show();
  return peer;
}

std::unique_ptr<Peer> QtWindowSystem::create_menu_item(Peer& main, const MenuDesign& design,
                                                       Object& owner) {
  auto* main_peer = dynamic_cast<MainPeer*>(&main);
  if (main_peer == nullptr) raise(ErrorCode::Internal, owner.path() + ": menus need a main window");
  bool in_drop_down = false;
  QAction* action = main_peer->add_menu_item(design, in_drop_down);
  return std::make_unique<MenuPeer>(*this, owner, design, *action, in_drop_down);
}

std::int32_t QtWindowSystem::send_message(WindowHandle window, std::uint32_t message,
                                          std::int32_t wparam, std::int32_t) {
  const auto found = handles_.find(window);
  if (found == handles_.end()) return 0;
  if (message == LB_SETHORIZONTALEXTENT) found->second->set_horizontal_extent(wparam);
  return 0;
}

void QtWindowSystem::idle() {
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

void QtWindowSystem::user_resize_client(float width, float height) {
  if (main_.isNull()) return;
  // As a person dragging the border: each size the area passes through reaches the program
  // from the area's resize event. A drag that ends where it began still ends in one Resize.
  const int reports = client_reports_;
  set_client_size(QSize(to_pixels(width), to_pixels(height)));
  QCoreApplication::processEvents();
  if (client_reports_ == reports) report_client_size(true);
  settle();
}

void QtWindowSystem::user_click(Peer& target) {
  auto& peer = static_cast<QtPeer&>(target);
  QObject* object = peer.native();
  if (auto* action = qobject_cast<QAction*>(object)) {
    action->trigger();
  } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
    button->click();
  } else {
    report_click(peer.owner());
  }
  settle();
}

void QtWindowSystem::user_place(Peer& form, const Rect& rect) {
  auto& peer = static_cast<QtPeer&>(form);
  // Not a program change: a child that changes size reports it from its client's resize.
  if (QWidget* widget = peer.placed_widget()) widget->setGeometry(to_pixels(rect));
  settle();
}

void QtWindowSystem::user_type(Peer& text_box, std::string_view text) {
  if (auto* control = dynamic_cast<ControlPeer*>(&text_box)) control->type(text);
  settle();
}

}  // namespace rt::qt
