// A person can ask for a main window larger than a top-level window can be (32767 pixels each
// way, as X11 has it): the window stops at the limit, menu bar included, the client area gets
// what is left, and the program lays out what there is.

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include <gtest/gtest.h>

#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"

namespace {

using rt::qt::QtWindowSystem;

constexpr int kMaxWindowPixels = 32767;

class WindowLimits : public ::testing::Test {
 protected:
  WindowLimits() {
    app.start();
    QCoreApplication::processEvents();
    auto& main = app.instance<MDIResize>();
    qobject_cast<QAction*>(ws.native(main.mnuWiskundig()))->trigger();
  }

  float twips(int pixels) const { return static_cast<float>(pixels * ws.twips_per_pixel()); }
  QSize window() const { return ws.main_window()->size(); }
  QSize area() const { return ws.mdi_area()->size(); }
  // What the window takes besides the client area: the menu bar.
  QSize chrome() const { return window() - area(); }
  // The right form ends at the client area's right edge, and no bar shows: the layout pass
  // ran on the client area as it is.
  void expect_laid_out() {
    auto& main = app.instance<MDIResize>();
    EXPECT_EQ(main.ScaleWidth(), twips(area().width()));
    EXPECT_EQ(main.ScaleHeight(), twips(area().height()));
    const QWidget& right =
        *qobject_cast<QMdiSubWindow*>(ws.native(*app.existing_instance("frmResizeR")));
    EXPECT_EQ(right.geometry().right() + 1, area().width());
    EXPECT_EQ(ws.client_scroll_bars(), (rt::ScrollBars{false, false}));
  }

  QtWindowSystem ws;
  rt::Application app{shell::make_project(), ws};
};

TEST_F(WindowLimits, AClientAreaTallerThanAWindowCanBeGetsWhatTheMenuBarLeaves) {
  ASSERT_GT(chrome().height(), 0);
  ws.person().user_resize_client(9615, 16777216);
  EXPECT_EQ(window().height(), kMaxWindowPixels);
  EXPECT_EQ(area().height(), kMaxWindowPixels - chrome().height());
  EXPECT_EQ(area().width(), 641);
  expect_laid_out();
}

TEST_F(WindowLimits, AClientAreaWiderThanAWindowCanBeStopsAtTheLimit) {
  ws.person().user_resize_client(16777216, 4860);
  EXPECT_EQ(window().width(), kMaxWindowPixels);
  EXPECT_EQ(area().width(), kMaxWindowPixels - chrome().width());
  EXPECT_EQ(area().height(), 324);
  expect_laid_out();
}

TEST_F(WindowLimits, AClientAreaThatJustFitsIsGivenInFullAndOnePixelMoreIsNot) {
  const int room = kMaxWindowPixels - chrome().height();
  ws.person().user_resize_client(9615, twips(room));
  EXPECT_EQ(area().height(), room);
  EXPECT_EQ(window().height(), kMaxWindowPixels);
  ws.person().user_resize_client(9615, twips(room - 1));
  EXPECT_EQ(area().height(), room - 1);
  ws.person().user_resize_client(9615, twips(room + 1));
  EXPECT_EQ(area().height(), room);
  EXPECT_EQ(window().height(), kMaxWindowPixels);
  expect_laid_out();
}

}  // namespace
