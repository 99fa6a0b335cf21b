#include "qt_support.h"

#include <cmath>

#include <QMdiArea>
#include <QScrollBar>
#include <QStyleOptionTitleBar>

#include <gtest/gtest.h>

#include "runtime/application.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"

namespace qt_support {

QRect title_bar(const QMdiSubWindow& child, QStyle::SubControl part) {
  QStyleOptionTitleBar option;
  option.initFrom(&child);
  option.subControls = QStyle::SC_All;
  option.titleBarFlags = child.windowFlags();
  option.titleBarState = static_cast<int>(child.windowState().toInt());
  option.text = child.windowTitle();
  // As QMdiSubWindow lays its bar out: inside a 4-pixel border unless the style draws none, as
  // high as the style says.
  const int border =
      child.style()->styleHint(QStyle::SH_TitleBar_NoBorder, &option, &child) ? 0 : 4;
  const int height = child.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &child);
  option.rect = QRect(border, border, child.width() - 2 * border, height);
  return child.style()->subControlRect(QStyle::CC_TitleBar, &option, part, &child);
}

rt::headless::Config config_like_qt() {
  rt::qt::QtWindowSystem ws;
  rt::Application app(shell::make_project(), ws);
  app.start();
  const double tpp = ws.twips_per_pixel();
  const auto pixels = [tpp](float twips) { return static_cast<int>(std::lround(twips / tpp)); };
  const rt::Form& left_form = *app.existing_instance("frmResizeL");
  rt::Peer& left = *left_form.peer_if_loaded();
  const rt::PeerState normal = left.inspect();
  const int frame_width = pixels(normal.geometry.width - normal.client.width);
  const int frame_height = pixels(normal.geometry.height - normal.client.height);
  const int horizontal_bar = ws.mdi_area()->horizontalScrollBar()->sizeHint().height();
  const int vertical_bar = ws.mdi_area()->verticalScrollBar()->sizeHint().width();
  EXPECT_EQ(horizontal_bar, vertical_bar) << "the in-memory bars are alike both ways";

  rt::headless::Config config;
  config.twips_per_pixel = tpp;
  config.border_px = frame_width / 2;
  config.caption_px = frame_height - frame_width;
  config.scroll_bar_px = horizontal_bar;
  ws.person().user_set_window_state(left_form, rt::WindowState::Minimized);
  const rt::Rect icon = left.inspect().shown;
  // Maximised in a client area of next to nothing: as small as it gets.
  ws.person().user_resize_client(static_cast<float>(tpp), static_cast<float>(tpp));
  ws.person().user_set_window_state(left_form, rt::WindowState::Maximized);
  const rt::Rect smallest = left.inspect().shown;
  ws.person().user_set_window_state(left_form, rt::WindowState::Normal);
  config.icon_width_px = pixels(icon.width);
  config.icon_height_px = pixels(icon.height);
  config.maximized_min_width_px = pixels(smallest.width);
  config.maximized_min_height_px = pixels(smallest.height);
  EXPECT_GT(config.icon_width_px * config.icon_height_px, 0) << "an icon has a size";
  return config;
}

}  // namespace qt_support
