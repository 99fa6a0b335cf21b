#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

class QMdiArea;

namespace app {

// The client area's real pixels around one of its edges, and where that edge lies in them.
struct EdgeView {
  QImage pixels;  // unscaled; what lies past the area is drawn only where a child reaches
  int edge = 0;   // the first column (right edge) or row (bottom edge) past the client area
};

// The pixels of `area` in `around` (in its coordinates), where a child that reaches past the
// area shows with its own pixels, cut off on the screen, and nothing else does.
EdgeView edge_view(QMdiArea& area, const QRect& around, bool right);

// The two edge views enlarged, each pixel a square, with the client area's edge marked.
class Magnifier final : public QWidget {
 public:
  // The views it shows, kept by whoever makes them.
  Magnifier(const EdgeView& right, const EdgeView& bottom);

  // A square of kAcross pixels at an edge: kInside of them inside, the rest past it.
  static constexpr int kInside = 24;
  static constexpr int kAcross = 32;
  static constexpr int kMagnification = 8;
  // Colours of what lies past the client area where no child reaches, a checkerboard.
  static const QColor kOutsideLight;
  static const QColor kOutsideDark;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static constexpr int kSpacing = 12;
  static constexpr int kCaption = 18;

  void draw(QPainter& painter, const EdgeView& view, QPoint at, bool right,
            const QString& caption) const;

  const EdgeView* right_;
  const EdgeView* bottom_;
};

}  // namespace app
