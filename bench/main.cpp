#include "bench/ratios.h"

#ifdef MDIRESIZE_WITH_QT
#include <QApplication>

#include "bench/launcher.h"
#endif

int main(int argc, char** argv) {
#ifdef MDIRESIZE_WITH_QT
  bench::start_launcher();  // before anything grows
  // The Qt benchmarks run on the offscreen platform unless told otherwise (QT_QPA_PLATFORM);
  // one QApplication serves them all.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // The style mdiresize draws in by default.
  QApplication::setStyle(QStringLiteral("windows"));
#endif
  return bench::run(argc, argv);
}
