#include "app/inspector_grid.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace app {

InspectorGrid::InspectorGrid(const QStringList& headings, const QStringList& widest)
    : headings_(headings) {
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

bool InspectorGrid::set_rows(int rows) {
  if (!cells_.empty() && static_cast<int>(cells_.size()) == rows) return false;
  cells_.resize(static_cast<std::size_t>(rows), std::vector<Cell>(lefts_.size() - 1));
  if (anchor_ >= rows || end_ >= rows) anchor_ = end_ = -1;
  setFixedSize(lefts_.back() + 1, (std::max(rows, reserved_) + 1) * row_height_ + 1);
  update();
  return true;
}

void InspectorGrid::reserve_rows(int reserved) {
  reserved_ = reserved;
  setFixedSize(lefts_.back() + 1, (std::max(rows(), reserved_) + 1) * row_height_ + 1);
}

int InspectorGrid::row_at(int y) const {
  return std::clamp(y / row_height_ - 1, -1, rows() - 1);
}

void InspectorGrid::mousePressEvent(QMouseEvent* event) {
  const int row = row_at(static_cast<int>(event->position().y()));
  if (row < 0) return select_all();
  if ((event->modifiers() & Qt::ShiftModifier) == 0 || anchor_ < 0) anchor_ = row;
  end_ = row;
  update();
}

void InspectorGrid::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) == 0 || anchor_ < 0) return;
  end_ = std::max(0, row_at(static_cast<int>(event->position().y())));
  update();
}

void InspectorGrid::select_all() {
  if (rows() == 0) return;
  anchor_ = 0;
  end_ = rows() - 1;
  update();
}

QString InspectorGrid::text_of_selection() const {
  QString text = headings_.join(QLatin1Char('\t')) + QLatin1Char('\n');
  for (int row = 0; row < rows(); ++row) {
    if (anchor_ >= 0 && !selected(row)) continue;
    QStringList cells;
    for (int column = 0; column < static_cast<int>(headings_.size()); ++column) {
      cells << cell(row, column).text;
    }
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  return text;
}

void InspectorGrid::set(int row, int column, const QString& text, const QColor& background) {
  Cell& changed = cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  if (changed.text == text && changed.background == background) return;
  changed.text = text;
  changed.shown.setText(text);
  changed.background = background;
  update(cell_rect(row, column));
}

void InspectorGrid::paintEvent(QPaintEvent* event) {
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
      const Cell& c = cell(row, column);
      // A selected row in the highlight, its verdict's colour kept in the verdict cell.
      const QColor background = c.background.isValid() ? c.background
                                : selected(row)        ? colours.color(QPalette::Highlight)
                                                       : QColor();
      painter.fillRect(r, background.isValid() ? QBrush(background) : colours.base());
      // On a coloured cell, black or white, whichever reads better.
      painter.setPen(!background.isValid()           ? colours.color(QPalette::Text)
                     : qGray(background.rgb()) > 150 ? QColor(Qt::black)
                                                     : QColor(Qt::white));
      // Each column is wide enough for its texts: no clipping, which costs more than the text.
      painter.drawStaticText(r.left() + kPadding,
                             r.top() + (r.height() - static_cast<int>(c.shown.size().height())) / 2,
                             c.shown);
    }
  }
  painter.setPen(colours.color(QPalette::Mid));
  for (const int x : lefts_) painter.drawLine(x, 0, x, height() - 1);
  for (int row = 0; row <= rows() + 1; ++row) {
    painter.drawLine(0, row * row_height_, width() - 1, row * row_height_);
  }
}

QRect InspectorGrid::cell_rect(int row, int column) const {
  const auto c = static_cast<std::size_t>(column);
  return QRect(lefts_[c] + 1, (row + 1) * row_height_ + 1, lefts_[c + 1] - lefts_[c] - 1,
               row_height_ - 1);
}

}  // namespace app
