#pragma once

// What the Qt tests share: where things are on the real widgets.

#include <QMdiSubWindow>
#include <QPoint>
#include <QRect>
#include <QStyle>
#include <QStyleOptionTitleBar>

namespace qt_support {

// A part of a child's title bar (its caption, a button), where its style lays it out, in the
// child's own coordinates.
inline QRect title_bar(const QMdiSubWindow& child, QStyle::SubControl part) {
  QStyleOptionTitleBar option;
  option.initFrom(&child);
  option.subControls = QStyle::SC_All;
  option.titleBarFlags = child.windowFlags();
  option.titleBarState = child.windowState();
  option.text = child.windowTitle();
  // As QMdiSubWindow lays its bar out: inside a 4-pixel border.
  const int border = 4;
  int height = child.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &child);
  height -= child.isMinimized() ? 2 * border : border;
  option.rect = QRect(border, border, child.width() - 2 * border, height);
  return child.style()->subControlRect(QStyle::CC_TitleBar, &option, part, &child);
}

}  // namespace qt_support
