#include "app/inspector.h"

#include <algorithm>
#include <cmath>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "app/inspector_grid.h"
#include "app/outcome_band.h"
#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/qt/qt_window_system.h"
#include "runtime/variant.h"

namespace app {
namespace {

QString text_of(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The native object of the form or control at `path` ("frmResizeR", "frmResizeL.List1(2)"),
// while it is there.
const rt::Peer* peer_at(const rt::Application& app, std::string_view path) {
  for (const rt::Form* form : app.loaded_forms()) {
    if (form->path() == path) return form->peer_if_loaded();
    for (const auto& control : form->controls()) {
      if (control->path() == path) return &control->peer();
    }
  }
  return nullptr;
}

}  // namespace

Inspector::Inspector(const rt::Application& app, rt::qt::QtWindowSystem& ws, PassWatcher& watcher)
    : QWidget(nullptr, Qt::Window), app_(&app), ws_(&ws), watcher_(&watcher) {
  setWindowTitle(QStringLiteral("Inspector"));
  setAttribute(Qt::WA_QuitOnClose, false);  // closing it leaves the program running
  heading_ = new QLabel;
  moves_ = new InspectorGrid(
      {tr("Move"), tr("Left"), tr("Top"), tr("Width"), tr("Height"), tr("held, in pixels")},
      {QStringLiteral("frmResizeL.List1(2)"), QStringLiteral("00000.5"),
       QStringLiteral("0000:Integer"), QStringLiteral("00000.5:Single"),
       QStringLiteral("0000.5:Double"), QStringLiteral("0000, 0000  0000 x 0000")});
  verdicts_ = new InspectorGrid({tr("after the pass"), tr("verdict")},
                                {QStringLiteral("edge frmResizeL.List1(2) right"),
                                 text_of(rt::quote(kTwoLineText) + " disagrees")});
  // Room for a pass's rows: its ten Moves at most (the second placement of the right form with
  // "Wiskundig juist"), and its verdicts.
  moves_->reserve_rows(10);
  verdicts_->reserve_rows(8);
  magnifier_ = new Magnifier(right_, bottom_);
  band_view_ = new OutcomeBand(band_, kBandPasses);

  auto* legend = new QLabel;
  QString text = tr("Last %1 passes, the latest at the right:").arg(kBandPasses);
  for (const Outcome o : {Outcome::Exact, Outcome::Gap, Outcome::OneBar, Outcome::DoubleBar}) {
    text += QStringLiteral(" <span style='color:%1'>&#9632;</span> %2")
                .arg(QLatin1String(outcome_colour(o)), text_of(outcome_name(o)));
  }
  legend->setText(text);

  auto* layout = new QVBoxLayout(this);
  // Sized once, to what it shows; no size limits for the window system to keep.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  layout->addWidget(heading_);
  layout->addWidget(moves_);
  layout->addWidget(verdicts_);
  layout->addWidget(magnifier_, 0, Qt::AlignLeft);
  layout->addWidget(legend);
  layout->addWidget(band_view_, 0, Qt::AlignLeft);
  layout->addStretch();

  redraw_timer_ = new QTimer(this);
  redraw_timer_->setSingleShot(true);
  connect(redraw_timer_, &QTimer::timeout, this, [this] { redraw(); });
  settled_timer_ = new QTimer(this);
  settled_timer_->setSingleShot(true);
  settled_timer_->setInterval(kSettledMs);
  connect(settled_timer_, &QTimer::timeout, this, [this] { redraw(); });
  watcher_->on_pass([this] { schedule(); });
  schedule();
}

Inspector::~Inspector() {
  watcher_->on_pass({});
}

void Inspector::schedule() {
  if (pending_) return;
  pending_ = true;
  // After the handler that made the pass has returned and the bars have caught up.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (!pending_) return;
        follow();
        redraw_soon();
      },
      Qt::QueuedConnection);
}

bool Inspector::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Show || type == QEvent::Hide || type == QEvent::Resize) schedule();
  return QWidget::eventFilter(watched, event);
}

void Inspector::refresh() {
  follow();
  redraw();
}

void Inspector::follow() {
  pending_ = false;
  QMdiArea* area = ws_->mdi_area();
  if (area == nullptr || watcher_->passes() == 0) return;
  if (area_ != area) {
    // The bars come and go, and the viewport changes size, after the pass that caused it.
    area_ = area;
    for (QObject* watched : {static_cast<QObject*>(area->horizontalScrollBar()),
                             static_cast<QObject*>(area->verticalScrollBar()),
                             static_cast<QObject*>(area->viewport())}) {
      watched->installEventFilter(this);
    }
  }
  analysis_ = analyse(read_facts(*app_, watcher_));
  if (watcher_->passes() != passes_seen_ || band_.empty()) {
    passes_seen_ = watcher_->passes();
    band_.push_back(analysis_.outcome());
    if (band_.size() > kBandPasses) band_.pop_front();
  } else {
    band_.back() = analysis_.outcome();  // the same pass, now that the bars have caught up
  }
}

bool Inspector::redraw_pending() const {
  return redraw_timer_->isActive() || settled_timer_->isActive();
}

void Inspector::redraw_soon() {
  if (since_redraw_.isValid() && since_redraw_.elapsed() < kRedrawIntervalMs) {
    settled_timer_->start();
    if (!redraw_timer_->isActive()) {
      redraw_timer_->start(static_cast<int>(kRedrawIntervalMs - since_redraw_.elapsed()));
    }
    return;
  }
  redraw();
}

void Inspector::redraw() {
  redraw_timer_->stop();
  settled_timer_->stop();
  since_redraw_.start();
  if (area_.isNull() || band_.empty()) return;
  QMdiArea* area = area_.data();
  constexpr int kInside = Magnifier::kInside;
  constexpr int kAcross = Magnifier::kAcross;
  right_ = edge_view(*area, QRect(area->width() - kInside, 0, kAcross, kAcross), true);
  bottom_ = edge_view(*area, QRect(0, area->height() - kInside, kAcross, kAcross), false);

  heading_->setText(tr("Layout pass %1: %2 (%3 twips a pixel)")
                        .arg(passes_seen_)
                        .arg(text_of(outcome_name(band_.back())))
                        .arg(ws_->twips_per_pixel()));
  const bool moves_changed = show_moves();
  const bool verdicts_changed = show_analysis();
  magnifier_->update();
  band_view_->update();
  // It keeps the size it opened with: its grids have room for a pass's rows.
  if (!placed_) {
    place_beside_main();
  } else if (moves_changed || verdicts_changed) {
    layout()->activate();
  }
}

namespace {

constexpr int kGap = 8;

// `r` moved as little as it takes to lie on `screen` (its top left, where it is larger).
QRect on_screen(const QRect& r, const QRect& screen) {
  const int x =
      std::clamp(r.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - r.width()));
  const int y =
      std::clamp(r.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - r.height()));
  return QRect(QPoint(x, y), r.size());
}

long long area_of(const QRect& r) {
  return r.isEmpty() ? 0LL : static_cast<long long>(r.width()) * r.height();
}

}  // namespace

Arrangement beside(const QRect& main, const QSize& size, const QRect& screen) {
  const int top = on_screen(QRect(main.topLeft(), size), screen).top();
  const int left = on_screen(QRect(main.topLeft(), size), screen).left();
  const QRect candidates[] = {
      QRect(QPoint(main.right() + 1 + kGap, top), size),             // right
      QRect(QPoint(main.left() - kGap - size.width(), top), size),   // left
      QRect(QPoint(left, main.bottom() + 1 + kGap), size),           // below
      QRect(QPoint(left, main.top() - kGap - size.height()), size),  // above
  };
  for (const QRect& candidate : candidates) {
    if (screen.contains(candidate)) return {candidate, main};
  }
  // Room for both side by side, or one above the other, only with the main window moved: the
  // two as a pair, where the main window was as far as the screen allows.
  const QSize across(main.width() + kGap + size.width(), std::max(main.height(), size.height()));
  if (across.width() <= screen.width() && across.height() <= screen.height()) {
    const QRect pair = on_screen(
        QRect(QPoint(main.center().x() - across.width() / 2, main.top()), across), screen);
    return {QRect(QPoint(pair.left() + main.width() + kGap, pair.top()), size),
            QRect(pair.topLeft(), main.size())};
  }
  const QSize down(std::max(main.width(), size.width()), main.height() + kGap + size.height());
  if (down.width() <= screen.width() && down.height() <= screen.height()) {
    const QRect pair =
        on_screen(QRect(QPoint(main.left(), main.center().y() - down.height() / 2), down), screen);
    return {QRect(QPoint(pair.left(), pair.top() + main.height() + kGap), size),
            QRect(pair.topLeft(), main.size())};
  }
  // No room for both: on the screen, over as little of the main window as it can be.
  QRect best = on_screen(candidates[0], screen);
  for (const QRect& candidate : candidates) {
    const QRect shifted = on_screen(candidate, screen);
    if (area_of(shifted & main) < area_of(best & main)) best = shifted;
  }
  return {best, main};
}

void Inspector::place_beside_main() {
  QMainWindow* main = ws_->main_window();
  if (main == nullptr) return;
  if (main->windowHandle() == nullptr || !main->windowHandle()->isExposed()) {
    // Not where its window manager puts it yet: looked at again in a moment.
    QTimer::singleShot(20, this, [this] {
      if (!placed_) place_beside_main();
    });
    return;
  }
  placed_ = true;
  // Its frame as large as the main window's: the same window manager draws both.
  const QRect main_frame = main->frameGeometry();
  const QRect main_inside = main->geometry();
  const QMargins frame(main_inside.left() - main_frame.left(), main_inside.top() - main_frame.top(),
                       main_frame.right() - main_inside.right(),
                       main_frame.bottom() - main_inside.bottom());
  layout()->activate();
  const QSize size = sizeHint();
  const QRect screen = main->screen()->availableGeometry();
  const Arrangement place = beside(main_frame, size.grownBy(frame), screen);
  // Moved only to make room for the two side by side, before the person has moved it.
  if (place.main != main_frame) main->move(place.main.topLeft());
  resize(size);
  move(place.inspector.topLeft());
  show();
  // Where the two overlap, the main window is in front (on a platform that stacks windows: the
  // offscreen one shows none).
  if (place.inspector.intersects(place.main) &&
      QGuiApplication::platformName() != QLatin1String("offscreen")) {
    main->raise();
  }
}

QString Inspector::grid_text() const {
  return moves_->text_of_selection() + QLatin1Char('\n') + verdicts_->text_of_selection();
}

void Inspector::copy() const {
  QGuiApplication::clipboard()->setText(grid_text());
}

void Inspector::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) return copy();
  if (event->matches(QKeySequence::SelectAll)) {
    moves_->select_all();
    verdicts_->select_all();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Inspector::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(tr("&Copy"), QKeySequence::Copy, this, [this] { copy(); });
  menu.addAction(tr("Select &All"), QKeySequence::SelectAll, this, [this] {
    moves_->select_all();
    verdicts_->select_all();
  });
  menu.exec(event->globalPos());
}

bool Inspector::show_moves() {
  const std::vector<PassWatcher::Move>& moves = watcher_->moves();
  const bool rows_changed = moves_->set_rows(static_cast<int>(moves.size()));
  const double tpp = ws_->twips_per_pixel();
  for (int row = 0; row < static_cast<int>(moves.size()); ++row) {
    const PassWatcher::Move& m = moves[static_cast<std::size_t>(row)];
    moves_->set(row, 0, text_of(m.object));
    moves_->set(row, 1, text_of(rt::format_number(m.left)));
    moves_->set(row, 2, text_of(rt::describe(m.top)));
    moves_->set(row, 3, text_of(rt::describe(m.width)));
    moves_->set(row, 4, text_of(rt::describe(m.height)));
    QString held;
    if (const rt::Peer* peer = peer_at(*app_, m.object)) {
      const rt::Rect r = peer->inspect().geometry;
      const auto px = [tpp](float twips) { return text_of(rt::format_number(twips / tpp)); };
      held = px(r.left) + QStringLiteral(", ") + px(r.top) + QStringLiteral("  ") + px(r.width) +
             QStringLiteral(" x ") + px(r.height);
    }
    moves_->set(row, 5, held);
  }
  return rows_changed;
}

bool Inspector::show_analysis() {
  const std::vector<Explained> rows = explained(analysis_);
  const bool rows_changed = verdicts_->set_rows(static_cast<int>(rows.size()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const Explained& line = rows[static_cast<std::size_t>(row)];
    verdicts_->set(row, 0, text_of(line.what));
    verdicts_->set(row, 1, text_of(line.verdict),
                   line.colour != nullptr ? QColor(line.colour) : QColor());
  }
  return rows_changed;
}

std::vector<std::string> Inspector::shown_analysis() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(verdicts_->rows()));
  for (int row = 0; row < verdicts_->rows(); ++row) {
    lines.push_back(
        (verdicts_->text(row, 0) + QLatin1Char(' ') + verdicts_->text(row, 1)).toStdString());
  }
  return lines;
}

}  // namespace app
