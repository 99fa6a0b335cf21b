#include "runtime/qt/classic_style.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QRect>
#include <QRectF>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QStyleOptionTitleBar>
#include <QTransform>

namespace rt::qt {
namespace {

// Caption colours as classic desktops have them: white on navy for the active window, light
// grey on dark grey for the others. Against their bars: 15:1 and 7:1; the dark grey against
// the client area's mid grey: 3.9:1.
const QColor kActiveBar(0x00, 0x00, 0x80);
const QColor kActiveText(0xFF, 0xFF, 0xFF);
const QColor kInactiveBar(0x40, 0x40, 0x40);
const QColor kInactiveText(0xD8, 0xD8, 0xD8);

// A title-bar button's glyph, as shapes on whole device pixels at any scale, where a bitmap
// scaled by 1.5 or 2 comes out blurred: in a square of 9 logical pixels at the button's middle,
// strokes a pixel wide (as wide as the scale allows) and a window's top edge twice that.
void draw_glyph(QPainter& painter, const QRect& button, QStyle::SubControl glyph,
                const QColor& colour, const QColor& face) {
  const QTransform to_device = painter.deviceTransform();
  const double scale = to_device.m11();
  const int stroke = std::max(1, static_cast<int>(scale + 0.25));
  const int side = qRound(9 * scale);
  const QPointF middle = to_device.mapRect(QRectF(button)).center();
  const int left = qRound(middle.x() - side / 2.0);
  const int top = qRound(middle.y() - side / 2.0);
  std::vector<std::pair<QRect, QColor>> shapes;
  // A window's outline, and with `opaque` its inside in the button's face, covering what lies
  // behind it.
  const auto window = [&](int x, int y, int size, bool opaque) {
    if (opaque) shapes.emplace_back(QRect(x, y, size, size), face);
    shapes.emplace_back(QRect(x, y, size, 2 * stroke), colour);
    shapes.emplace_back(QRect(x, y, stroke, size), colour);
    shapes.emplace_back(QRect(x + size - stroke, y, stroke, size), colour);
    shapes.emplace_back(QRect(x, y + size - stroke, size, stroke), colour);
  };
  switch (glyph) {
    case QStyle::SC_TitleBarMinButton:  // a bar along the bottom
      shapes.emplace_back(
          QRect(left + qRound(scale), top + side - 2 * stroke, qRound(6 * scale), 2 * stroke),
          colour);
      break;
    case QStyle::SC_TitleBarMaxButton:  // a window filling the square
      window(left, top, side, false);
      break;
    default: {  // restore: a smaller window in front of another
      const int small = qRound(6 * scale);
      window(left + side - small, top, small, false);
      window(left, top + side - small, small, true);
      break;
    }
  }
  const QTransform to_logical = to_device.inverted();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const auto& [shape, fill] : shapes) {
    painter.fillRect(to_logical.mapRect(QRectF(shape)), fill);
  }
  painter.restore();
}

class ClassicStyle final : public QProxyStyle {
 public:
  explicit ClassicStyle(QStyle* base) : QProxyStyle(base) {}

  // A maximised child keeps its own title bar, at the top of the client area, instead of
  // putting its buttons on the menu bar: Qt keeps a little memory for good every time those
  // buttons are drawn there, and the menu bar would change its height for them.
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_Workspace_FillSpaceOnMaximize) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    if (control == CC_ScrollBar) {
      // The classic style draws a bar's parts with lines a device pixel wide; at a scale such
      // as 1.5, on a bar that starts half a device pixel down, a row between two parts is left
      // to neither. A scroll bar paints all of itself, so nothing is drawn under it: the row
      // keeps whatever the window held there, black on a fresh one.
      painter->fillRect(option->rect, option->palette.button());
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
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
    // The buttons, whose glyphs Qt draws as bitmaps, are drawn here instead.
    const SubControls glyphs =
        SC_TitleBarMinButton | SC_TitleBarMaxButton | SC_TitleBarNormalButton;
    caption.subControls &= ~glyphs;
    QProxyStyle::drawComplexControl(control, &caption, painter, widget);
    for (const SubControl button :
         {SC_TitleBarMinButton, SC_TitleBarMaxButton, SC_TitleBarNormalButton}) {
      if ((title->subControls & button) != 0 && offers(*title, button)) {
        draw_button(*title, button, painter, widget);
      }
    }
  }

  // Pop-up menus (drop-downs, context menus, a child's window menu) highlight an entry as the
  // title bar of the active window is drawn, as classic desktops do.
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || item == nullptr) {
      QProxyStyle::drawControl(element, option, painter, widget);
      return;
    }
    QStyleOptionMenuItem entry = *item;
    const QPalette::ColorGroup group = entry.palette.currentColorGroup();
    entry.palette.setColor(group, QPalette::Highlight, kActiveBar);
    entry.palette.setColor(group, QPalette::HighlightedText, kActiveText);
    QProxyStyle::drawControl(element, &entry, painter, widget);
  }

 private:
  // Whether the title bar shows this button: minimise on a window that is not minimised,
  // maximise on one not maximised, restore on one that is either, each as its flags allow.
  static bool offers(const QStyleOptionTitleBar& title, SubControl button) {
    const bool minimised = (title.titleBarState & Qt::WindowMinimized) != 0;
    const bool maximised = (title.titleBarState & Qt::WindowMaximized) != 0;
    const bool can_minimise = (title.titleBarFlags & Qt::WindowMinimizeButtonHint) != 0;
    const bool can_maximise = (title.titleBarFlags & Qt::WindowMaximizeButtonHint) != 0;
    switch (button) {
      case SC_TitleBarMinButton:
        return can_minimise && !minimised;
      case SC_TitleBarMaxButton:
        return can_maximise && !maximised;
      default:
        return (can_minimise && minimised) || (can_maximise && maximised);
    }
  }

  // A button as the classic style draws it, raised or pressed, and its glyph.
  void draw_button(const QStyleOptionTitleBar& title, SubControl button, QPainter* painter,
                   const QWidget* widget) const {
    QStyleOption tool = title;
    tool.rect = proxy()->subControlRect(CC_TitleBar, &title, button, widget);
    const bool down = (title.activeSubControls & button) != 0 && (title.state & State_Sunken) != 0;
    tool.state = down ? State_Sunken : State_Raised;
    proxy()->drawPrimitive(PE_PanelButtonTool, &tool, painter, widget);
    QRect glyph = tool.rect;
    if (down) {
      glyph.translate(proxy()->pixelMetric(PM_ButtonShiftHorizontal, &title, widget),
                      proxy()->pixelMetric(PM_ButtonShiftVertical, &title, widget));
    }
    draw_glyph(*painter, glyph, button, title.palette.color(QPalette::ButtonText),
               title.palette.color(QPalette::Button));
  }
};

}  // namespace

QStyle* make_classic_style() {
  return new ClassicStyle(QStyleFactory::create(QStringLiteral("windows")));
}

}  // namespace rt::qt
