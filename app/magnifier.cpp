#include "app/magnifier.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QRegion>

namespace app {
namespace {

const QColor kEdgeMark(0xd0, 0x00, 0xd0);

}  // namespace

const QColor Magnifier::kOutsideLight(0xf4, 0xf4, 0xf4);
const QColor Magnifier::kOutsideDark(0xdc, 0xdc, 0xdc);

EdgeView edge_view(QMdiArea& area, const QRect& around, bool right) {
  EdgeView view;
  view.pixels = QImage(around.size(), QImage::Format_RGB32);
  for (int y = 0; y < around.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(view.pixels.scanLine(y));
    for (int x = 0; x < around.width(); ++x) {
      line[x] = ((x + y) % 2 == 0 ? Magnifier::kOutsideLight : Magnifier::kOutsideDark).rgb();
    }
  }
  QPainter painter(&view.pixels);
  const QRect inside = around & area.rect();
  area.render(&painter, inside.topLeft() - around.topLeft(), QRegion(inside));
  // What reaches past the area is cut off on the screen; a child's own pixels show how far.
  for (QMdiSubWindow* child : area.subWindowList()) {
    if (!child->isVisible()) continue;
    const QRect frame(child->mapTo(&area, QPoint(0, 0)), child->size());
    const QRegion past = QRegion(frame & around).subtracted(QRegion(area.rect()));
    if (past.isEmpty()) continue;
    for (const QRect& part : past) {
      child->render(&painter, part.topLeft() - around.topLeft(),
                    QRegion(part.translated(-frame.topLeft())));
    }
  }
  view.edge = right ? area.width() - around.left() : area.height() - around.top();
  return view;
}

Magnifier::Magnifier(const EdgeView& right, const EdgeView& bottom)
    : right_(&right), bottom_(&bottom) {
  setFixedSize(2 * kAcross * kMagnification + kSpacing, kAcross * kMagnification + kCaption);
}

void Magnifier::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  draw(painter, *right_, QPoint(0, 0), true, tr("right edge"));
  draw(painter, *bottom_, QPoint(kAcross * kMagnification + kSpacing, 0), false, tr("bottom edge"));
}

void Magnifier::draw(QPainter& painter, const EdgeView& view, QPoint at, bool right,
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

}  // namespace app
