#include "runtime/qt/classic_style.h"

#include <QColor>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionTitleBar>

namespace rt::qt {
namespace {

// Caption colours as classic desktops have them: white on navy for the active window, light
// grey on dark grey for the others. Against their bars: 15:1 and 7:1; the dark grey against
// the client area's mid grey: 3.9:1.
const QColor kActiveBar(0x00, 0x00, 0x80);
const QColor kActiveText(0xFF, 0xFF, 0xFF);
const QColor kInactiveBar(0x40, 0x40, 0x40);
const QColor kInactiveText(0xD8, 0xD8, 0xD8);

class ClassicStyle final : public QProxyStyle {
 public:
  explicit ClassicStyle(QStyle* base) : QProxyStyle(base) {}

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    const auto* title = qstyleoption_cast<const QStyleOptionTitleBar*>(option);
    if (control != CC_TitleBar || title == nullptr) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    // A title bar is drawn in the palette's highlight, fading to its base, with the
    // highlighted text's colour.
    QStyleOptionTitleBar caption = *title;
    const bool active = (title->titleBarState & State_Active) != 0;
    const QPalette::ColorGroup group = caption.palette.currentColorGroup();
    caption.palette.setColor(group, QPalette::Highlight, active ? kActiveBar : kInactiveBar);
    caption.palette.setColor(group, QPalette::Base, active ? kActiveBar : kInactiveBar);
    caption.palette.setColor(group, QPalette::HighlightedText,
                             active ? kActiveText : kInactiveText);
    QProxyStyle::drawComplexControl(control, &caption, painter, widget);
  }
};

}  // namespace

QStyle* make_classic_style() {
  return new ClassicStyle(QStyleFactory::create(QStringLiteral("windows")));
}

}  // namespace rt::qt
