#include "runtime/qt/classic_style.h"

#include <map>

#include <QColor>
#include <QIcon>
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

  // A maximised child keeps its own title bar, at the top of the client area, instead of
  // putting its buttons on the menu bar: Qt keeps a little memory for good every time those
  // buttons are drawn there, and the menu bar would change its height for them.
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_Workspace_FillSpaceOnMaximize) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }

  // Qt's classic style makes a title-bar button's icon anew each time it paints one, and Qt
  // keeps a little of every icon made: the program would grow with every repaint of a title
  // bar. The icons are the same each time; made once, they are kept.
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                     const QWidget* widget) const override {
    if (icon < SP_TitleBarMenuButton || icon > SP_TitleBarContextHelpButton) {
      return QProxyStyle::standardIcon(icon, option, widget);
    }
    auto found = title_bar_icons_.find(icon);
    if (found == title_bar_icons_.end()) {
      found = title_bar_icons_.emplace(icon, QProxyStyle::standardIcon(icon, option, widget)).first;
    }
    return found->second;
  }

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

 private:
  mutable std::map<StandardPixmap, QIcon> title_bar_icons_;
};

}  // namespace

QStyle* make_classic_style() {
  return new ClassicStyle(QStyleFactory::create(QStringLiteral("windows")));
}

}  // namespace rt::qt
