// The desktop tests drive the program in processes of its own, on a real X server or Wayland
// compositor; this process measures and predicts on Qt's offscreen platform, in the program's
// own style.

#include <QApplication>

#include <gtest/gtest.h>

#include "runtime/qt/classic_style.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  QApplication::setStyle(rt::qt::make_classic_style());
  return RUN_ALL_TESTS();
}
