#include "app/inspector.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

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
  if (moves_changed || verdicts_changed) {
    // As tall as its rows.
    layout()->activate();
    resize(sizeHint());
  }
  if (!placed_) place_beside_main();
}

void Inspector::place_beside_main() {
  const QMainWindow* main = ws_->main_window();
  if (main == nullptr || !main->isVisible()) return;
  placed_ = true;
  move(main->frameGeometry().topRight() + QPoint(8, 0));
  show();
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
