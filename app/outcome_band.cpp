#include "app/outcome_band.h"

#include <QPainter>

namespace app {

OutcomeBand::OutcomeBand(const std::deque<Outcome>& outcomes, std::size_t passes)
    : outcomes_(&outcomes) {
  setFixedSize(static_cast<int>(passes) * kColumn, 24);
}

void OutcomeBand::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  int x = 0;
  for (const Outcome outcome : *outcomes_) {
    painter.fillRect(QRect(x, 0, kColumn, height()), QColor(outcome_colour(outcome)));
    x += kColumn;
  }
}

}  // namespace app
