// A person at the windows: Qt's own mouse and key events on title bars, frames, the menu and
// the text box, recorded as it happens, and the recording played again on both window systems.

#include <sstream>
#include <string>
#include <vector>

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

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
  app::Recorder recorder;
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
  choose("Solve Problem", "Form1");
  // The window list: after the options and a separator, the four children by caption, the
  // active one checked.
  QMenu& solve = *window().menuBar()->actions().front()->menu();
  emit solve.aboutToShow();
  std::vector<std::string> entries;
  for (QAction* entry : solve.actions()) {
    entries.push_back(entry->isSeparator()
                          ? "-"
                          : entry->text().toStdString() + (entry->isChecked() ? " checked" : ""));
  }
  EXPECT_EQ(entries,
            (std::vector<std::string>{"Oplossing checked", "Wiskundig juist", "-", "Resize Left",
                                      "Resize right", "Textbox resizing", "Form1 checked"}));
  auto* text = qobject_cast<QPlainTextEdit*>(
      ws.native(*app.existing_instance("frmResizeB")->controls().front()));
  ASSERT_NE(text, nullptr);
  click(*text->viewport(), QPoint(5, 5));
  QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(text, "Hallo");
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClick(text, Qt::Key_Backspace);
  QTest::keyClick(text, Qt::Key_Backspace);
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
        "restore frmResizeL", "window frmResizeT", "type Text1 ", "click Command1"}) {
    EXPECT_NE(recorded.find(kind), std::string::npos) << kind << " is not in:\n" << recorded;
  }

  QtWindowSystem qt;
  EXPECT_EQ(lines_of(replay(qt, recorded)), lines_of(state)) << recorded;
  rt::headless::HeadlessWindowSystem memory(qt_support::config_like_qt());
  EXPECT_EQ(lines_of(replay(memory, recorded)), lines_of(state)) << recorded;
}

}  // namespace
