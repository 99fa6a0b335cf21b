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

}  // namespace
