#include "app/pass_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QTimer>
#include <QVBoxLayout>

#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/qt/qt_window_system.h"
#include "runtime/variant.h"

namespace app {
namespace {

QString text_of(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The magnifier shows a square of kAcross pixels at an edge: kInside of them inside, the rest
// past it.
constexpr int kInside = 24;
constexpr int kAcross = 32;

const QColor kExact(0x43, 0xa0, 0x47);
const QColor kGap(0xfb, 0xc0, 0x2d);
const QColor kOverhang(0xc6, 0x28, 0x28);
const QColor kEdgeMark(0xd0, 0x00, 0xd0);

QColor colour_of(Edge edge) {
  switch (edge) {
    case Edge::Gap:
      return kGap;
    case Edge::Overhang:
      return kOverhang;
    case Edge::Exact:
      break;
  }
  return kExact;
}

// "frmResizeL.List1(2)" -> the control's peer; "frmResizeR" -> the form's.
const rt::Peer* peer_named(const rt::Application& app, std::string_view path) {
  const std::size_t dot = path.find('.');
  const rt::Form* form = app.existing_instance(path.substr(0, dot));
  if (form == nullptr) return nullptr;
  if (dot == std::string_view::npos) return form->peer_if_loaded();
  std::string_view name = path.substr(dot + 1);
  int index = -1;
  if (const std::size_t open = name.find('('); open != std::string_view::npos) {
    index = std::atoi(std::string(name.substr(open + 1)).c_str());
    name = name.substr(0, open);
  }
  const rt::Control* control = form->loaded_control(name, index);
  return control != nullptr ? &control->peer() : nullptr;
}

}  // namespace

const QColor Inspector::kOutsideLight(0xf4, 0xf4, 0xf4);
const QColor Inspector::kOutsideDark(0xdc, 0xdc, 0xdc);

// A table drawn by hand: its columns measured once, for the longest text each is meant to
// hold, and each text laid out once, when it changes. A drag changes most cells at every pass;
// an item view laid every text out again at every drawing, and cost a drag more than the rest.
class Inspector::Grid final : public QWidget {
 public:
  Grid(const QStringList& headings, const QStringList& widest) : headings_(headings) {
    const QFontMetrics metrics = fontMetrics();
    row_height_ = metrics.height() + 6;
    int x = 0;
    for (qsizetype i = 0; i < headings.size(); ++i) {
      lefts_.push_back(x);
      x += std::max(metrics.horizontalAdvance(widest[i]), metrics.horizontalAdvance(headings[i])) +
           2 * kPadding;
    }
    lefts_.push_back(x);
    set_rows(0);
  }

  // Whether the number of rows changed.
  bool set_rows(int rows) {
    if (!cells_.empty() && static_cast<int>(cells_.size()) == rows) return false;
    cells_.resize(static_cast<std::size_t>(rows), std::vector<Cell>(lefts_.size() - 1));
    setFixedSize(lefts_.back() + 1, (rows + 1) * row_height_ + 1);
    update();
    return true;
  }
  int rows() const { return static_cast<int>(cells_.size()); }

  // A cell's text, and its background when given; a cell that does not change is not drawn.
  void set(int row, int column, const QString& text, const QColor& background = {}) {
    Cell& cell = cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (cell.text == text && cell.background == background) return;
    cell.text = text;
    cell.shown.setText(text);
    cell.background = background;
    update(cell_rect(row, column));
  }
  QString text(int row, int column) const {
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].text;
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    const QPalette& colours = palette();
    for (int column = 0; column < static_cast<int>(headings_.size()); ++column) {
      const QRect r = cell_rect(-1, column);
      if (!event->region().intersects(r)) continue;
      painter.fillRect(r, colours.button());
      painter.setPen(colours.color(QPalette::ButtonText));
      painter.drawText(r, Qt::AlignCenter, headings_[column]);
    }
    for (int row = 0; row < rows(); ++row) {
      for (int column = 0; column < static_cast<int>(headings_.size()); ++column) {
        const QRect r = cell_rect(row, column);
        if (!event->region().intersects(r)) continue;
        const Cell& cell = cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        painter.fillRect(r, cell.background.isValid() ? QBrush(cell.background) : colours.base());
        painter.setPen(!cell.background.isValid() ? colours.color(QPalette::Text)
                       : cell.background == kGap  ? QColor(Qt::black)
                                                  : QColor(Qt::white));
        // Each column is wide enough for its texts: no clipping, which costs more than the text.
        painter.drawStaticText(
            r.left() + kPadding,
            r.top() + (r.height() - static_cast<int>(cell.shown.size().height())) / 2, cell.shown);
      }
    }
    painter.setPen(colours.color(QPalette::Mid));
    for (const int x : lefts_) painter.drawLine(x, 0, x, height() - 1);
    for (int row = 0; row <= rows() + 1; ++row) {
      painter.drawLine(0, row * row_height_, width() - 1, row * row_height_);
    }
  }

 private:
  static constexpr int kPadding = 4;
  struct Cell {
    QString text;
    QStaticText shown;
    QColor background;
  };
  // Row -1: the headings.
  QRect cell_rect(int row, int column) const {
    const auto c = static_cast<std::size_t>(column);
    return QRect(lefts_[c] + 1, (row + 1) * row_height_ + 1, lefts_[c + 1] - lefts_[c] - 1,
                 row_height_ - 1);
  }

  QStringList headings_;
  std::vector<int> lefts_;  // of each column, and the right end
  int row_height_ = 0;
  std::vector<std::vector<Cell>> cells_;
};

// The two edge views enlarged, each with the client area's edge marked.
class Inspector::Magnifier final : public QWidget {
 public:
  explicit Magnifier(const Inspector& inspector) : inspector_(&inspector) {
    setFixedSize(2 * kAcross * kMagnification + kSpacing, kAcross * kMagnification + kCaption);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    draw(painter, inspector_->right_, QPoint(0, 0), true, tr("right edge"));
    draw(painter, inspector_->bottom_, QPoint(kAcross * kMagnification + kSpacing, 0), false,
         tr("bottom edge"));
  }

 private:
  static constexpr int kSpacing = 12;
  static constexpr int kCaption = 18;

  void draw(QPainter& painter, const EdgeView& view, QPoint at, bool right,
            const QString& caption) const {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(at, QSize(kAcross * kMagnification, kCaption)),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    const QPoint origin = at + QPoint(0, kCaption);
    if (view.pixels.isNull()) return;
    // Each pixel a square, not smoothed: the point is to count them.
    painter.drawImage(QRect(origin, view.pixels.size() * kMagnification), view.pixels);
    painter.setPen(QPen(kEdgeMark, 2));
    const int at_edge = view.edge * kMagnification;
    const int extent = kAcross * kMagnification;
    if (right) {
      painter.drawLine(origin + QPoint(at_edge, 0), origin + QPoint(at_edge, extent));
    } else {
      painter.drawLine(origin + QPoint(0, at_edge), origin + QPoint(extent, at_edge));
    }
  }

  const Inspector* inspector_;
};

// The last passes' outcomes, oldest at the left, coloured as the sweep's chart colours them.
class Inspector::Band final : public QWidget {
 public:
  explicit Band(const Inspector& inspector) : inspector_(&inspector) {
    setFixedSize(static_cast<int>(kBandPasses) * kColumn, 24);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    int x = 0;
    for (const Outcome outcome : inspector_->band_) {
      painter.fillRect(QRect(x, 0, kColumn, height()), QColor(outcome_colour(outcome)));
      x += kColumn;
    }
  }

 private:
  static constexpr int kColumn = 2;
  const Inspector* inspector_;
};

Inspector::Inspector(const rt::Application& app, rt::qt::QtWindowSystem& ws, PassWatcher& watcher)
    : QWidget(nullptr, Qt::Window), app_(&app), ws_(&ws), watcher_(&watcher) {
  setWindowTitle(QStringLiteral("Inspector"));
  setAttribute(Qt::WA_QuitOnClose, false);  // closing it leaves the program running
  heading_ = new QLabel;
  moves_ = new Grid(
      {tr("Move"), tr("Left"), tr("Top"), tr("Width"), tr("Height"), tr("held, in pixels")},
      {QStringLiteral("frmResizeL.List1(2)"), QStringLiteral("00000.5"),
       QStringLiteral("0000:Integer"), QStringLiteral("00000.5:Single"),
       QStringLiteral("0000.5:Double"), QStringLiteral("0000, 0000  0000 x 0000")});
  verdicts_ = new Grid({tr("after the pass"), tr("verdict")},
                       {QStringLiteral("edge frmResizeL.List1(2) right"),
                        text_of(rt::quote(kTwoLineText) + " disagrees")});
  magnifier_ = new Magnifier(*this);
  band_view_ = new Band(*this);

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
  if (area == nullptr || app_->existing_instance("frmResizeT") == nullptr) return;
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
  right_ = edge_view(QRect(area->width() - kInside, 0, kAcross, kAcross), true);
  bottom_ = edge_view(QRect(0, area->height() - kInside, kAcross, kAcross), false);

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
    if (const rt::Peer* peer = peer_named(*app_, m.object)) {
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
  const Analysis& a = analysis_;
  const bool rows_changed = verdicts_->set_rows(static_cast<int>(a.edges.size()) + 3);
  int row = 0;
  for (const EdgeVerdict& e : a.edges) {
    verdicts_->set(row, 0, text_of("edge " + std::string(e.name) + " " + std::string(e.side)));
    verdicts_->set(row++, 1, text_of(verdict_text(e)), colour_of(e.edge));
  }
  // The same lines as `explain`, cut after their first words.
  const std::vector<std::string> lines = explanation(a);
  for (std::size_t i = a.edges.size(); i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t cut = line.starts_with("client") ? line.find(' ', 7) : line.find(' ');
    QColor colour;
    if (line.starts_with("label")) colour = a.label_agrees ? kExact : kOverhang;
    verdicts_->set(row, 0, text_of(line.substr(0, cut)));
    verdicts_->set(row++, 1, text_of(line.substr(cut + 1)), colour);
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

EdgeView Inspector::edge_view(const QRect& around, bool right) const {
  EdgeView view;
  view.pixels = QImage(around.size(), QImage::Format_RGB32);
  for (int y = 0; y < around.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(view.pixels.scanLine(y));
    for (int x = 0; x < around.width(); ++x) {
      line[x] = ((x + y) % 2 == 0 ? kOutsideLight : kOutsideDark).rgb();
    }
  }
  QPainter painter(&view.pixels);
  const QRect inside = around & area_->rect();
  area_->render(&painter, inside.topLeft() - around.topLeft(), QRegion(inside));
  // What reaches past the area is cut off on the screen; a child's own pixels show how far.
  for (QMdiSubWindow* child : area_->subWindowList()) {
    if (!child->isVisible()) continue;
    const QRect frame(child->mapTo(area_.data(), QPoint(0, 0)), child->size());
    const QRegion past = QRegion(frame & around).subtracted(QRegion(area_->rect()));
    if (past.isEmpty()) continue;
    for (const QRect& part : past) {
      child->render(&painter, part.topLeft() - around.topLeft(),
                    QRegion(part.translated(-frame.topLeft())));
    }
  }
  view.edge = right ? area_->width() - around.left() : area_->height() - around.top();
  return view;
}

}  // namespace app
