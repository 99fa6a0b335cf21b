#pragma once

// What the Qt tests share: where things are on the real widgets, and the in-memory window
// system set up to draw as Qt does.

#include <QMdiSubWindow>
#include <QRect>
#include <QStyle>

#include "runtime/headless/headless_window_system.h"

namespace qt_support {

// A part of a child's title bar (its caption, a button), where its style lays it out, in the
// child's own coordinates.
QRect title_bar(const QMdiSubWindow& child, QStyle::SubControl part);

// The in-memory window system's metrics as the current Qt style draws them: frames, scroll
// bars and icons, measured on the program itself.
rt::headless::Config config_like_qt();

}  // namespace qt_support
