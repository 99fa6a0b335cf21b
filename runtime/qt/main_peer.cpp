#include "runtime/qt/main_peer.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCloseEvent>
#include <QColor>
#include <QFont>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <QRect>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionComplex>
#include <QWidget>

#include "runtime/qt/child_peer.h"
#include "runtime/qt/mdi_client.h"

namespace rt::qt {
namespace {

// The forms runtime's standard font, an 8-point sans serif: the forms' captions and labels were
// made to fit it. Liberation Sans has the widths of the sans serif of the desktop they were made
// on, which the label's first line needs to stay on one line; DejaVu Sans, the usual fallback,
// is wider.
QFont form_font() {
  QFont font(QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                         QStringLiteral("Arial")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(8);
  return font;
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

void MainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (on_close_) on_close_();
}

// A menu bar as high as it is when a maximised child has put its buttons on it: else it grows
// a pixel or so when they come, the client area loses that, and a layout pass runs in the
// middle of the maximising. Qt's menu bar takes the height of a corner widget, the buttons'
// one, with its own margins around it.
class MenuBar final : public QMenuBar {
 public:
  QSize sizeHint() const override { return with_room(QMenuBar::sizeHint()); }
  QSize minimumSizeHint() const override { return with_room(QMenuBar::minimumSizeHint()); }
  int heightForWidth(int width) const override {
    return std::max(QMenuBar::heightForWidth(width), room());
  }

 private:
  QSize with_room(QSize size) const {
    size.setHeight(std::max(size.height(), room()));
    return size;
  }
  // As QMdiArea sizes the buttons, and QMenuBar the room around a corner widget.
  int room() const {
    QStyleOptionComplex option;
    option.initFrom(this);
    option.subControls =
        QStyle::SC_MdiMinButton | QStyle::SC_MdiNormalButton | QStyle::SC_MdiCloseButton;
    const int button = style()->pixelMetric(QStyle::PM_TitleBarButtonSize, &option, this);
    const int buttons =
        style()
            ->sizeFromContents(QStyle::CT_MdiControls, &option, QSize(3 * button, button), this)
            .height();
    const int margin = 2 * style()->pixelMetric(QStyle::PM_MenuBarVMargin, nullptr, this) +
                       2 * style()->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, this) +
                       style()->styleHint(QStyle::SH_MainWindow_SpaceBelowMenuBar, nullptr, this);
    return buttons + margin;
  }
};

MainPeer::MainPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design)
    : WindowPeer(ws, owner, design), menus_(design.menus) {
  window_->setWindowTitle(to_display(design.caption));
  ws.person().set_main_window(this);
  window_->setFont(form_font());
  // Title bars and pop-up menus (drop-downs, context menus, a child's window menu) take their
  // font from the application, by the class of what they are.
  QApplication::setFont(form_font(), "QWorkspaceTitleBar");
  QApplication::setFont(form_font(), "QMenu");
  auto* area = new MdiClient;
  area->setBackground(brush_for(design.back_color, area->palette()));
  window_->setCentralWidget(area);
  if (!menus_.empty()) window_->setMenuBar(new MenuBar);
  add_keys();
  wanted_client_ = QSize(ws.to_pixels(design.client_width), ws.to_pixels(design.client_height));
}

void MainPeer::show() {
  MainWindow& window = alive(window_);
  QtWindowSystem::ProgramChange change(ws());
  // The designed client size, now that the menu bar has its items; the desktop chooses
  // where the window goes.
  if (!window.isVisible()) ws().set_client_size(wanted_client_);
  ws().show_main_window_soon();
}

Rect MainPeer::geometry() {
  const MainWindow& window = alive(window_);
  const QSize client = ws().area_ ? ws().area_->size() : QSize();
  return ws().to_twips(QRect(window.pos(), client));
}

bool MainPeer::place(const Placement& placement) {
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

Size MainPeer::client_size() {
  alive(window_);
  const QSize client = ws().visible_client();
  return Size{ws().to_twips(client.width()), ws().to_twips(client.height())};
}

QAction* MainPeer::add_menu_item(const MenuDesign& design, bool& in_drop_down) {
  QMenuBar* bar = alive(window_).menuBar();
  in_drop_down = !design.parent.empty();
  if (in_drop_down) {
    const auto parent = drop_downs_.find(design.parent);
    if (parent == drop_downs_.end() || parent->second.isNull()) {
      raise(ErrorCode::Internal, "menu " + design.name + ": no drop-down " + design.parent);
    }
    return parent->second->addAction(to_display(design.caption));
  }
  const bool has_items = std::any_of(menus_.begin(), menus_.end(),
                                     [&](const MenuDesign& m) { return m.parent == design.name; });
  if (has_items) {
    QMenu* menu = bar->addMenu(to_display(design.caption));
    drop_downs_[design.name] = menu;
    if (design.window_list) {
      QObject::connect(menu, &QMenu::aboutToShow, menu,
                       [this, menu] { update_window_list(*menu); });
    }
    return menu->menuAction();
  }
  return bar->addAction(to_display(design.caption));
}

void MainPeer::update_window_list(QMenu& menu) {
  for (const QPointer<QAction>& entry : std::exchange(window_list_, {})) delete entry.data();
  if (!about_.isNull()) menu.removeAction(about_);
  add_window_list(menu);
  add_about(menu);  // last, after the window list made anew
}

void MainPeer::add_window_list(QMenu& menu) {
  if (ws().area_.isNull()) return;
  const QList<QMdiSubWindow*> children = ws().area_->subWindowList(QMdiArea::CreationOrder);
  if (children.isEmpty()) return;
  window_list_.emplace_back(menu.addSeparator());
  QMdiSubWindow* active = ws().area_->currentSubWindow();
  int number = 0;
  for (QMdiSubWindow* child : children) {
    ChildPeer* peer = static_cast<ChildWindow*>(child)->peer();
    if (peer == nullptr) continue;
    QString caption = child->windowTitle();
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a caption's own, not a shortcut
    QAction* entry = menu.addAction(QStringLiteral("&%1 %2").arg(++number).arg(caption));
    entry->setCheckable(true);
    entry->setChecked(child == active);
    QtWindowSystem& ws = this->ws();
    QObject::connect(entry, &QAction::triggered, entry, [&ws, window = QPointer(child)] {
      if (window.isNull()) return;
      if (ChildPeer* chosen = static_cast<ChildWindow*>(window.data())->peer()) {
        ws.choose_window(*chosen);
      }
    });
    window_list_.emplace_back(entry);
  }
}

void MainPeer::add_about(QMenu& menu) {
  const std::optional<About>& about = ws().about();
  if (!about) return;
  window_list_.emplace_back(menu.addSeparator());
  if (about_.isNull()) {
    about_ = new QAction(QStringLiteral("&About %1").arg(to_display(about->name)), &menu);
    QObject::connect(about_, &QAction::triggered, window_,
                     [this, text = about_text(*about), title = about->name] {
                       if (window_.isNull()) return;
                       // Not modal for the application: the program and its session go on while it
                       // is open.
                       auto* box =
                           new QMessageBox(QMessageBox::Information,
                                           QStringLiteral("About %1").arg(to_display(title)),
                                           to_display(text), QMessageBox::Ok, window_);
                       box->setAttribute(Qt::WA_DeleteOnClose);
                       box->open();
                     });
  }
  menu.addAction(about_);
}

PeerState MainPeer::inspect() const {
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

void MainPeer::user_resize_client(const Size& client) {
  ws().resize_client(client);
}

void MainPeer::user_cycle_children(Cycle cycle) {
  ws().cycle_children(cycle);
  ws().settle();
}

void MainPeer::add_keys() {
  const auto add = [this](const QList<QKeySequence>& keys, auto pressed) {
    auto* shortcut = new QShortcut(window_);
    shortcut->setKeys(keys);
    QObject::connect(shortcut, &QShortcut::activated, shortcut, pressed);
  };
  add({QKeySequence(Qt::Key_F10)}, [this] { open_menu_bar(); });
  // QMdiArea's own Ctrl+Tab goes back to the child active before, and a rubber band shows where
  // it goes next while Ctrl is held: a shortcut takes the key before the area sees it.
  add({QKeySequence(Qt::CTRL | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab)},
      [this] { ws().cycle_children(Cycle::Next); });
  add({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
      [this] { ws().cycle_children(Cycle::Previous); });
}

void MainPeer::open_menu_bar() {
  if (window_.isNull()) return;
  // Qt's menu bar keeps its keyboard mode to itself, and enters it once it has seen Alt go down
  // and up on its own: it is shown that. A key event's modifiers are those from before its
  // own key, which Qt adds for a press and takes away for a release.
  QKeyEvent down(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
  QCoreApplication::sendEvent(window_, &down);
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
  QCoreApplication::sendEvent(window_, &up);
}

}  // namespace rt::qt
