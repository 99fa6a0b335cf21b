// A person at the windows: Qt's own mouse and key events on title bars, frames, the menu, the
// keys MDI programs have and the text box, recorded as it happens, and the recording played
// again on both window systems.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/cli.h"
#include "app/session.h"
#include "qt_support.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"

namespace {

using rt::qt::QtWindowSystem;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string state_of(const rt::Application& app) {
  std::ostringstream out;
  app::print_state(app, out);
  return out.str();
}

// Plays a recording on a window system, as --script does; returns the state at its end.
std::string replay(rt::WindowSystem& ws, const std::string& recording) {
  rt::Application app(shell::make_project(), ws);
  app.start();
  std::ostringstream out, err;
  app::Session session(app, out, err);
  int number = 0;
  for (const std::string& line : lines_of(recording)) session.execute(line, ++number);
  EXPECT_EQ(err.str(), "");
  return state_of(app);
}

class Person : public ::testing::Test {
 protected:
  Person() : recorder(recording) {
    recording << app::recording_header(ws.metrics()) << '\n';  // as --record starts
    ws.person().listen(&recorder);
    app.start();
    settle();
  }

  static void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }

  QMainWindow& window() { return *ws.main_window(); }
  QMdiSubWindow& frame(const char* form) {
    return *qobject_cast<QMdiSubWindow*>(ws.native(*app.existing_instance(form)));
  }

  static QPoint title_bar(const QMdiSubWindow& child, QStyle::SubControl part) {
    return qt_support::title_bar(child, part).center();
  }

  static void click(QWidget& widget, QPoint at) {
    QTest::mouseMove(&widget, at);
    QTest::mouseClick(&widget, Qt::LeftButton, {}, at);
    settle();
  }

  // Keys pressed where the keyboard's focus is, as a person presses them.
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &window(), key, modifiers);
    settle();
  }
  std::string active_child() {
    const QMdiSubWindow* active = ws.mdi_area()->activeSubWindow();
    return active != nullptr ? active->windowTitle().toStdString() : "none";
  }

  static void drag(QWidget& widget, QPoint from, QPoint to) {
    QTest::mouseMove(&widget, from);
    QTest::mousePress(&widget, Qt::LeftButton, {}, from);
    QTest::mouseMove(&widget, (from + to) / 2);
    QTest::mouseMove(&widget, to);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, to);
    settle();
  }

  // Opens a drop-down of the menu bar by a click and clicks its entry with this text.
  void choose(const QString& menu_text, const QString& entry_text) {
    QMenuBar& bar = *window().menuBar();
    for (QAction* top : bar.actions()) {
      if (top->text() != menu_text) continue;
      click(bar, bar.actionGeometry(top).center());
      QMenu* menu = top->menu();
      ASSERT_NE(menu, nullptr);
      ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
      for (QAction* entry : menu->actions()) {
        if (entry->text() == entry_text) return click(*menu, menu->actionGeometry(entry).center());
      }
      FAIL() << "no entry " << entry_text.toStdString();
    }
    FAIL() << "no menu " << menu_text.toStdString();
  }

  QtWindowSystem ws;
  rt::Application app{shell::make_project(), ws};
  std::ostringstream recording;
  app::ActionWriter recorder;
};

TEST_F(Person, WhatAPersonDoesIsRecordedAndReplaysToTheSameStateOnBothWindowSystems) {
  window().resize(window().size() + QSize(41, 0));  // the desktop sizes the main window
  settle();
  QMdiSubWindow& top = frame("frmResizeT");
  drag(top, QPoint(60, 10), QPoint(90, 40));  // by its title
  QMdiSubWindow& left = frame("frmResizeL");
  // A frame knows where its borders are 200 ms after it was last sized; a person takes longer.
  QTest::qWait(250);
  drag(left, QPoint(left.width() - 2, 40),
       QPoint(left.width() - 32, 40));  // its right border, above Form1
  QMdiSubWindow& right = frame("frmResizeR");
  const QPoint title = title_bar(right, QStyle::SC_TitleBarLabel);
  QTest::mouseMove(&right, title);
  QTest::mouseDClick(&right, Qt::LeftButton, {}, title);
  settle();
  ASSERT_TRUE(right.isMaximized());
  window().resize(window().size() + QSize(15, 0));
  settle();
  choose("Solve Problem", "Oplossing");
  click(right, title_bar(right, QStyle::SC_TitleBarNormalButton));  // its own, still on it
  ASSERT_FALSE(right.isMaximized());
  click(left, title_bar(left, QStyle::SC_TitleBarMinButton));
  ASSERT_TRUE(left.isMinimized());
  window().resize(window().size() + QSize(-30, 20));
  settle();
  click(left, title_bar(left, QStyle::SC_TitleBarNormalButton));
  ASSERT_FALSE(left.isMinimized());
  choose("Solve Problem", "&4 Form1");
  // The window list: after the options and a separator, the four children numbered by caption
  // (the number their access key), the active one checked.
  QMenu& solve = *window().menuBar()->actions().front()->menu();
  emit solve.aboutToShow();
  std::vector<std::string> entries;
  for (QAction* entry : solve.actions()) {
    entries.push_back(entry->isSeparator()
                          ? "-"
                          : entry->text().toStdString() + (entry->isChecked() ? " checked" : ""));
  }
  EXPECT_EQ(entries, (std::vector<std::string>{"Oplossing checked", "Wiskundig juist", "-",
                                               "&1 Resize Left", "&2 Resize right",
                                               "&3 Textbox resizing", "&4 Form1 checked"}));
  // The keys: Ctrl+F6 and Ctrl+Tab to the next child in the list's order, past the last to the
  // first, with Shift back; F10 takes the menu bar as Alt does.
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  press(Qt::Key_F6, Qt::ControlModifier);
  EXPECT_EQ(active_child(), "Resize Left");
  press(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(active_child(), "Resize right");
  press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);  // Shift+Tab, as X sends it
  EXPECT_EQ(active_child(), "Resize Left");
  press(Qt::Key_F6, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(active_child(), "Form1");
  press(Qt::Key_F10);
  EXPECT_EQ(QApplication::focusWidget(), window().menuBar());
  press(Qt::Key_Right);
  press(Qt::Key_Return);  // "Vul tekstbox"
  auto* text = qobject_cast<QPlainTextEdit*>(
      ws.native(*app.existing_instance("frmResizeB")->controls().front()));
  ASSERT_NE(text, nullptr);
  click(*text->viewport(), QPoint(5, 5));
  QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(text, "Hallo");
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClick(text, Qt::Key_Backspace);
  QTest::keyClick(text, Qt::Key_Backspace);
  // One key in the middle of the long text: recorded as that one key, where it went.
  QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
  for (int i = 0; i < 3; ++i) QTest::keyClick(text, Qt::Key_Right);
  QTest::keyClicks(text, "k");
  settle();
  auto* button = qobject_cast<QPushButton*>(
      ws.native(*app.existing_instance("frmResizeT")->controls().back()));
  ASSERT_NE(button, nullptr);
  click(*button, button->rect().center());

  const std::string state = state_of(app);
  const std::string recorded = recording.str();
  for (const char* kind :
       {"resize ", "activate frmResizeT", "place frmResizeT ", "place frmResizeL ",
        "maximize frmResizeR", "click mnuOplossing", "restore frmResizeR", "minimize frmResizeL",
        "restore frmResizeL", "window frmResizeT", "next\nnext\nprevious\nprevious\n",
        "click mnuVulBox", "type Text1 ", "\nedit Text1 3 0 \"k\"\n", "click Command1"}) {
    EXPECT_NE(recorded.find(kind), std::string::npos) << kind << " is not in:\n" << recorded;
  }

  QtWindowSystem qt;
  EXPECT_EQ(lines_of(replay(qt, recorded)), lines_of(state)) << recorded;
  // In memory, set up by nothing but the recording's first line: Qt's metrics, which are not the
  // in-memory defaults, as they are measured on the program's own frames.
  rt::Metrics metrics;
  ASSERT_EQ(app::read_recording_header(lines_of(recorded).front(), metrics), "");
  const rt::headless::Config measured = qt_support::config_like_qt();
  EXPECT_EQ(metrics, (rt::Metrics{measured.twips_per_pixel, measured.scroll_bar_px,
                                  measured.border_px, measured.caption_px}));
  const rt::headless::Config defaults;
  EXPECT_NE(metrics, (rt::Metrics{defaults.twips_per_pixel, defaults.scroll_bar_px,
                                  defaults.border_px, defaults.caption_px}));
  const std::string file = ::testing::TempDir() + "person.session";
  std::ofstream(file) << recorded << "state\n";
  std::ostringstream out, err;
  app::Options options;
  ASSERT_EQ(app::parse_options({"--headless", "--script", file}, options), "");
  EXPECT_EQ(app::run_headless(options, std::cin, out, err), 0) << err.str();
  EXPECT_EQ(lines_of(out.str()), lines_of(state)) << recorded;
}

// A child's window menu, the context menu of its title bar, offers what MDI children have
// there: nothing that keeps a child in front of the one a click makes active.
TEST_F(Person, AChildsWindowMenuLeavesAClickedChildInFront) {
  QMdiSubWindow& form1 = frame("frmResizeT");
  QMdiSubWindow& left = frame("frmResizeL");
  std::vector<std::string> offered;
  QTimer::singleShot(0, [&] {  // while the menu runs its own loop
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (const QAction* entry : menu->actions()) {
      if (entry->isVisible() && !entry->isSeparator())
        offered.push_back(entry->text().toStdString());
    }
    menu->close();
  });
  const QPoint title = title_bar(form1, QStyle::SC_TitleBarLabel);
  QContextMenuEvent right_click(QContextMenuEvent::Mouse, title, form1.mapToGlobal(title));
  QCoreApplication::sendEvent(&form1, &right_click);
  EXPECT_EQ(offered,
            (std::vector<std::string>{"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize"}));
  // Whatever of it is chosen for Form1 (but moving or sizing it by the keys), a click on another
  // child brings that one to the front.
  for (QAction* entry : form1.systemMenu()->actions()) {
    const QString text = entry->text();
    if (!entry->isVisible() || !entry->isEnabled() || entry->isSeparator() || text == "&Move" ||
        text == "&Size") {
      continue;
    }
    entry->trigger();
    settle();
    form1.showNormal();
    click(form1, title);
    click(left, title_bar(left, QStyle::SC_TitleBarLabel));
    EXPECT_EQ(ws.mdi_area()->activeSubWindow(), &left) << text.toStdString();
    EXPECT_EQ(app.existing_instance("frmResizeL")->peer_if_loaded()->inspect().z, 0)
        << "after " << text.toStdString() << " for Form1";
  }
}

}  // namespace
