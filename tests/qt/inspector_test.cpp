// The inspector on real windows: it shows what `explain` prints, its magnifier shows the
// pixels past the client area's edge, and it changes nothing in the program.

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "app/inspector.h"
#include "app/inspector_grid.h"
#include "app/session.h"
#include "runtime/application.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"
#include "tests/trace_lines.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The program in its window, played by session lines as --script plays them, with or without
// the inspector; every line it traces is kept.
struct Program {
  explicit Program(bool inspect) : app(shell::make_project(), ws), trace(app) {
    session = std::make_unique<app::Session>(app, out, err);
    if (inspect) {
      inspector = std::make_unique<app::Inspector>(app, ws, session->pass_watcher());
    }
    app.start();
    settle();
  }
  ~Program() {
    inspector.reset();
    session.reset();
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  static void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  void play(const std::string& line) {
    session->execute(line, 1);
    settle();
  }
  std::vector<std::string> explain() {
    out.str("");
    play("explain");
    return lines_of(out.str());
  }

  rt::qt::QtWindowSystem ws;
  rt::Application app;
  TraceLines trace;
  std::ostringstream out, err;
  std::unique_ptr<app::Session> session;
  std::unique_ptr<app::Inspector> inspector;
};

bool outside(const QImage& image, int x, int y) {
  const QRgb pixel = image.pixel(x, y);
  return pixel == app::Magnifier::kOutsideLight.rgb() ||
         pixel == app::Magnifier::kOutsideDark.rgb();
}

TEST(Inspector, ShowsWhatExplainPrintsAndMagnifiesTheOverhangingColumn) {
  Program p(true);
  struct Case {
    const char* line;
    bool overhangs;  // the right form one pixel past the client area's right edge
  };
  const Case cases[] = {
      {"resize 6015 4860", true},    {"resize 6030 4860", false}, {"resize 6045 4860", true},
      {"click mnuWiskundig", false}, {"resize 6015 4860", false},
  };
  std::size_t band = p.inspector->band_size();
  for (const Case& c : cases) {
    p.play(c.line);
    const std::vector<std::string> explained = p.explain();
    // Drawn again a moment after the pass, without being asked.
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.inspector->shown_analysis() == explained; }))
        << c.line;
    // One band entry a pass, however often the inspector is brought up to date.
    p.inspector->refresh();
    EXPECT_EQ(p.inspector->band_size(), ++band) << c.line;

    const app::EdgeView& view = p.inspector->right_edge();
    const int row = view.pixels.height() / 2;  // within the right form's frame
    EXPECT_FALSE(outside(view.pixels, view.edge - 1, row)) << c.line;
    EXPECT_EQ(!outside(view.pixels, view.edge, row), c.overhangs) << c.line;
    EXPECT_TRUE(outside(view.pixels, view.edge + 1, row)) << c.line;
    EXPECT_EQ(explained.front() == "edge frmResizeR right overhang 1", c.overhangs) << c.line;
  }
  EXPECT_EQ(p.err.str(), "");
}

TEST(Inspector, ChangesNeitherTheTraceNorTheState) {
  const std::vector<std::string> script = {"resize 6015 4860",
                                           "resize 6030 4860",
                                           "click mnuOplossing",
                                           "resize 6045 4000",
                                           "maximize frmResizeR",
                                           "resize 7515 4860",
                                           "restore frmResizeR",
                                           "click mnuWiskundig",
                                           "resize 4500 3000",
                                           "minimize frmResizeL",
                                           "click Command1",
                                           "click mnuVulBox",
                                           "state"};
  Program without(false);
  Program with(true);
  for (const std::string& line : script) {
    without.play(line);
    with.play(line);
    ASSERT_EQ(with.out.str(), without.out.str()) << line;
  }
  EXPECT_EQ(with.trace.lines, without.trace.lines);
  EXPECT_GT(with.inspector->band_size(), 5u);
}

// Beside the main window where the screen has room, never over it then, the main window moved
// only where that makes room for both; where there is none, on the screen, over as little of it
// as can be.
TEST(Inspector, OpensBesideTheMainWindowOnTheSideWithRoom) {
  const QRect screen(0, 0, 1600, 1000);
  const QSize size(725, 760);
  struct Case {
    QRect main;
    QPoint inspector;
    QPoint main_moved_to;
  };
  const Case cases[] = {
      {QRect(50, 120, 432, 342), QPoint(490, 120), QPoint(50, 120)},    // to the right
      {QRect(1100, 40, 432, 342), QPoint(367, 40), QPoint(1100, 40)},   // to the left
      {QRect(584, 120, 432, 342), QPoint(657, 120), QPoint(217, 120)},  // a pair, centred
      {QRect(0, 20, 1400, 200), QPoint(0, 228), QPoint(0, 20)},         // below
      {QRect(0, 50, 1400, 200), QPoint(0, 208), QPoint(0, 0)},          // a pair, one above
  };
  for (const Case& c : cases) {
    const app::Arrangement placed = app::beside(c.main, size, screen);
    EXPECT_EQ(placed.inspector, QRect(c.inspector, size)) << c.main.x() << "," << c.main.y();
    EXPECT_EQ(placed.main, QRect(c.main_moved_to, c.main.size()));
    EXPECT_FALSE(placed.inspector.intersects(placed.main));
    EXPECT_TRUE(screen.contains(placed.inspector));
  }
  // No room for both: the main window stays, the inspector on the screen over the least of it.
  const QRect main(300, 200, 1000, 600);
  const app::Arrangement placed = app::beside(main, size, screen);
  EXPECT_EQ(placed.main, main);
  EXPECT_TRUE(screen.contains(placed.inspector));
  const QRect over = placed.inspector & main;
  EXPECT_EQ(over.width(), 1300 - 875);  // at the screen's right edge, as far right as it goes
}

// The grids copy as text, a row a line, the cells tab-separated; a row clicked, only that one.
TEST(Inspector, ItsGridsCopyAsTabSeparatedText) {
  Program p(true);
  p.play("resize 6015 4860");
  p.inspector->refresh();
  const QStringList lines = p.inspector->grid_text().split(QLatin1Char('\n'));
  ASSERT_GT(lines.size(), 10);
  EXPECT_EQ(lines[0], "Move\tLeft\tTop\tWidth\tHeight\theld, in pixels");
  EXPECT_TRUE(lines[1].startsWith("frmResizeL\t0\t0:Integer\t3007.5:Single\t"))
      << lines[1].toStdString();
  EXPECT_TRUE(lines.contains("edge frmResizeR right\toverhang 1"));
  std::vector<app::InspectorGrid*> grids;
  for (QWidget* child : p.inspector->findChildren<QWidget*>()) {
    if (auto* grid = dynamic_cast<app::InspectorGrid*>(child)) grids.push_back(grid);
  }
  ASSERT_EQ(grids.size(), 2u);
  QWidget& moves = *grids.front();
  const int row_height = moves.height() / 11;  // the headings and ten rows
  QTest::mouseClick(&moves, Qt::LeftButton, {}, QPoint(10, row_height * 2 + row_height / 2));
  const QString moves_text = p.inspector->grid_text().section(QLatin1String("\n\n"), 0, 0);
  // The headings and the row clicked.
  EXPECT_EQ(moves_text.split(QLatin1Char('\n')).size(), 2) << moves_text.toStdString();
  EXPECT_TRUE(moves_text.contains("frmResizeL.List1(0)")) << moves_text.toStdString();
}

}  // namespace
