// Random sessions on real windows: the random-session engine drives the program on the Qt
// window system (offscreen), with faults injected in front of it. Resizes go past what a
// top-level window can be (32767 pixels), children are dragged anywhere, text is typed into a
// real QPlainTextEdit; after every action the program must keep what it promises, and the
// children's window menus offer nothing that would break the stacking order it promises.
//
// Seeded and reproducible like the in-memory runs: MDIRESIZE_SEED replays a run, and
// MDIRESIZE_ACTIONS sets its length.

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPixmapCache>
#include <QWidget>
#include <QtGlobal>

#include <gtest/gtest.h>

#include "forms/frmResizeB.h"
#include "layout/MDIResize.h"
#include "qt_support.h"
#include "random/random_session.h"
#include "runtime/application.h"
#include "runtime/fault_injection.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"

namespace {

using namespace random_sessions;

// An action on real windows costs about a millisecond, several under the sanitizers.
int default_actions() {
  return under_address_sanitizer() ? 2000 : 6000;
}

// What Qt may keep beyond its warmed-up caches without the program holding anything more:
// glyphs met for the first time late in the run, the style's pixmaps by size, the allocator's
// bookkeeping. Measured over a dozen seeds at 6 to 51 KiB; a leak of a few dozen bytes per
// action exceeds it (and LeakSanitizer finds what is lost for good at exit).
constexpr std::size_t kHeapMargin = std::size_t{128} * 1024;

// The program on Qt, with the fault plan in front of the window system.
struct QtProgram {
  QtProgram() {
    app.start();
    QCoreApplication::processEvents();
  }
  rt::qt::QtWindowSystem qt;
  rt::FaultInjection faults{qt};
  rt::Application app{shell::make_project(), qt};
};

// The largest a top-level window can be, as X11 has it.
constexpr int kMaxWindowPixels = 32767;

// What the Qt window system promises of a person's resize: the client area takes the size
// asked for, in whole pixels, as far as a top-level window can be that large (and at least a
// pixel); the window never exceeds the limit.
std::string check_window(rt::qt::QtWindowSystem& qt, const Action& action) {
  const QWidget& window = *qt.main_window();
  const QSize area = qt.mdi_area()->size();
  if (window.width() > kMaxWindowPixels || window.height() > kMaxWindowPixels) {
    return "the main window is " + std::to_string(window.width()) + " x " +
           std::to_string(window.height()) + " pixels, larger than a top-level window can be";
  }
  if (action.kind != Kind::Resize) return {};
  const QSize chrome = window.size() - area;
  const auto wanted = [&](float twips, int room) {
    const double pixels = qt.grid().to_pixels(twips);
    return static_cast<int>(std::clamp(pixels, 1.0, static_cast<double>(room)));
  };
  const QSize expected(wanted(action.width, kMaxWindowPixels - chrome.width()),
                       wanted(action.height, kMaxWindowPixels - chrome.height()));
  if (area != expected) {
    return "the client area is " + std::to_string(area.width()) + " x " +
           std::to_string(area.height()) + " pixels instead of " +
           std::to_string(expected.width()) + " x " + std::to_string(expected.height());
  }
  return {};
}

// A child's window menu, the context menu of its title bar, offers nothing that would keep a
// child in front of the one a click makes active (Qt's own offers "Stay on Top", its one
// checkable entry), and no child is kept so.
std::string check_window_menus(const rt::qt::QtWindowSystem& qt) {
  for (const QMdiSubWindow* child : qt.mdi_area()->subWindowList()) {
    const std::string name = child->windowTitle().toStdString();
    if (child->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return name + " stays on top";
    const QMenu* menu = child->systemMenu();
    for (const QAction* entry : menu != nullptr ? menu->actions() : QList<QAction*>()) {
      if (entry->isCheckable()) {
        return name + "'s window menu offers " + entry->text().toStdString();
      }
    }
  }
  return {};
}

// Qt keeps the fonts and glyphs it has met for as long as the program runs. So that a
// character typed for the first time late in a run does not count as growth, every font that
// a character of the Basic Multilingual Plane can bring in is loaded before the heap is first
// measured, and the characters typing brings most (those of one and two bytes in UTF-8, and
// the replacement character) are drawn once, as the text box draws them.
void warm_up_fonts(const QFont& font) {
  // Fonts without shaping tables for some script say so once each: noise here.
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QString all;
  for (char16_t c = 1; c < 0xFFFF; ++c) {
    if (!QChar::isSurrogate(c)) all += QChar(c);
  }
  QFontMetrics(font).horizontalAdvance(all);

  QImage image(1600, 400, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setFont(font);
  const int line_height = QFontMetrics(font).height();
  for (char16_t first = 0; first < 0x800; first += 64) {
    QString line;
    for (char16_t c = first; c < first + 64; ++c) line += QChar(c == 0 ? 0xFFFD : c);
    const int row = 1 + first / 64;
    // Glyphs are kept for each quarter-pixel position they are drawn at.
    for (int quarter = 0; quarter < 4; ++quarter) {
      painter.drawText(QPointF(quarter / 4.0, line_height * row), line);
    }
  }
  qInstallMessageHandler(previous);
}

TEST(RandomSessionOnQt, KeepsItsPromisesAfterEveryAction) {
  Random seeds(master_seed() ^ 0x2545F4914F6CDD1Dull);
  auto program = std::make_unique<QtProgram>();
  auto& text_box = program->app.instance<frmResizeB>().Text1();
  warm_up_fonts(qobject_cast<QWidget*>(program->qt.native(text_box))->font());
  Target target;
  target.app = &program->app;
  target.window_system = &program->qt;
  target.faults = &program->faults.plan();
  target.closed = [&qt = program->qt] { return qt.closed(); };
  target.keeps_any_text = false;  // QString holds Unicode: other bytes come back replaced
  const rt::headless::Config like_qt = qt_support::config_like_qt();
  target.maximized_min =
      rt::Size{static_cast<float>(like_qt.maximized_min_width_px * like_qt.twips_per_pixel),
               static_cast<float>(like_qt.maximized_min_height_px * like_qt.twips_per_pixel)};
  // A window of 32767 by several hundred pixels costs a few tenths of a second to make and
  // paint offscreen, one as large both ways a 4 GB image: a quarter of the very large sizes,
  // one way at a time.
  target.resize_lengths = ResizeLengths{25, false};
  target.replay = "qt_random_tests";
  target.check = [&qt = program->qt](const Action& action) {
    std::string what = check_window(qt, action);
    return what.empty() ? check_window_menus(qt) : what;
  };
  // The window at its designed size matters on Qt as the offscreen backing store is an image
  // of it; filling the text box clears the editor's undo history of what was typed.
  target.before_measuring = settling_actions();
  target.flush_caches = [] {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QPixmapCache::clear();
  };
  auto session = std::make_unique<RandomSession>(std::move(target), "Qt", seeds.next());

  HeapFigures heap;
  const auto started = std::chrono::steady_clock::now();
  const std::string failure = session->run(actions_per_run(default_actions()), heap);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  if (!failure.empty()) ADD_FAILURE() << failure;
  const Totals& t = session->totals();

  std::cout << "  Qt: " << t.actions << " actions in " << took.count() << " s, "
            << t.faults_injected << " faults injected, " << t.faults_fired << " fired, "
            << t.reported << " errors reported, " << t.discarded << " discarded, " << t.checks()
            << "; heap " << heap.after_warm_up << " -> " << heap.at_end << " bytes\n";
  if (failure.empty() && heap.after_warm_up != 0 && heap.at_end != 0) {
    EXPECT_LE(heap.at_end, heap.after_warm_up + kHeapMargin)
        << "the heap grew over the run; replay with MDIRESIZE_SEED=" << master_seed();
  }
}

}  // namespace
