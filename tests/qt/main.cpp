// The Qt tests run on Qt's offscreen platform unless told otherwise (QT_QPA_PLATFORM), so they
// need no display; one QApplication serves them all.

#include <QApplication>

#include <gtest/gtest.h>

#include "runtime/qt/classic_style.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  // In the program's own style, as a person sees it.
  QApplication::setStyle(rt::qt::make_classic_style());
  return RUN_ALL_TESTS();
}
