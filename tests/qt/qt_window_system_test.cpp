// The program on the Qt window system: real QMainWindow, QMdiArea, QMdiSubWindows, widgets and
// actions, driven through real triggers and clicks.

#include <algorithm>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "app/cli.h"
#include "forms/frmResizeB.h"
#include "forms/frmResizeL.h"
#include "forms/frmResizeT.h"
#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"
#include "tests/bar_cases.h"
#include "tests/watch.h"

namespace {

using rt::qt::QtWindowSystem;

using namespace bar_cases;
using namespace texts;

using What = Watch::What;

class Program : public ::testing::Test {
 protected:
  Program() {
    app.start();
    QCoreApplication::processEvents();
  }

  int px(float twips) const { return qRound(twips / ws.twips_per_pixel()); }

  QMainWindow& window() { return *ws.main_window(); }
  QMdiArea& area() { return *ws.mdi_area(); }
  QSize viewport() { return area().viewport()->size(); }
  int viewport_children_right() { return area().viewport()->childrenRect().right(); }
  MDIResize& main() { return app.instance<MDIResize>(); }

  QMdiSubWindow& frame(rt::Form& form) { return *qobject_cast<QMdiSubWindow*>(ws.native(form)); }
  QMdiSubWindow& frame(const char* name) { return frame(*app.existing_instance(name)); }
  template <class W>
  W& widget(rt::Control& control) {
    W* native = qobject_cast<W*>(ws.native(control));
    if (native == nullptr) throw std::runtime_error(control.path() + " is not that widget");
    return *native;
  }
  QAction& action(rt::Menu& menu) { return *qobject_cast<QAction*>(ws.native(menu)); }
  QAction& oplossing() { return action(main().mnuOplossing()); }
  QAction& wiskundig() { return action(main().mnuWiskundig()); }
  QPushButton& resize_button() {
    return widget<QPushButton>(app.instance<frmResizeT>().Command1());
  }
  QLabel& label() { return widget<QLabel>(app.instance<frmResizeT>().Label1()); }
  std::string caption() { return app.instance<frmResizeT>().Label1().peer().inspect().text; }

  void resize(float width, float height = kHeight) {
    ws.person().user_resize_client(width, height);
  }
  rt::ScrollBars bars() const { return ws.client_scroll_bars(); }

  // Where a child's frame ends, in pixels.
  int right(const char* name) { return frame(name).geometry().right() + 1; }
  int bottom(const char* name) { return frame(name).geometry().bottom() + 1; }

  QtWindowSystem ws;
  rt::Application app{shell::make_project(), ws};
  Watch watch{app};
};

// --- start-up ---------------------------------------------------------------------------------

TEST_F(Program, StartUpCreatesTheFourChildrenInOrderInsideTheMdiArea) {
  ASSERT_EQ(app.loaded_forms().size(), 5u);
  EXPECT_EQ(&app.Forms(0), &main());
  EXPECT_EQ(ws.native(main()), &window());
  EXPECT_EQ(window().centralWidget(), &area());
  EXPECT_EQ(window().windowTitle(), "ResizeL");
  EXPECT_TRUE(window().isVisible());

  const QList<QMdiSubWindow*> children = area().subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(children.size(), 4);
  // In the order they were loaded, with their designed captions.
  for (int i = 0; i < 4; ++i) {
    rt::Form& form = *app.loaded_forms()[static_cast<std::size_t>(i) + 1];
    EXPECT_EQ(children[i], &frame(form)) << form.path();
    EXPECT_EQ(children[i]->windowTitle().toStdString(), form.design().caption);
    EXPECT_TRUE(children[i]->isVisible()) << form.path();
  }
}

TEST_F(Program, StartUpGivesTheDesignedClientAreaOnTheScreensPixelGrid) {
  const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
  EXPECT_DOUBLE_EQ(ws.twips_per_pixel(), 1440.0 / dpi);
  EXPECT_EQ(area().size(), QSize(px(6480), px(4860)));
  EXPECT_EQ(main().ScaleWidth(), 6480.0f);
  EXPECT_EQ(main().ScaleHeight(), 4860.0f);
  EXPECT_EQ(bars(), kNone);
  // The workspace colour, as Qt's own MDI areas have it.
  EXPECT_EQ(area().background().color(), area().palette().color(QPalette::Dark));
  EXPECT_EQ(area().frameShape(), QFrame::NoFrame);
}

TEST_F(Program, StartUpGivesEachChildItsControls) {
  auto& left = app.instance<frmResizeL>();
  for (std::int16_t i = 0; i < 3; ++i) {
    auto& list = widget<QListWidget>(left.List1(i));
    EXPECT_EQ(list.parentWidget(), frame(left).widget());
    EXPECT_FALSE(list.isSortingEnabled());
    EXPECT_EQ(list.count(), i == 2 ? 27 : 26);
    EXPECT_EQ(list.item(list.count() - 1)->text(), "abcdefghijklmnopqrstuvwxyz");
    // Items wider than the list are clipped: without an extent there is no horizontal bar.
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
  }
  EXPECT_EQ(widget<QListWidget>(left.List1(2)).item(0)->text(), QString(25, 'a'));

  auto& bottom = app.instance<frmResizeB>();
  auto& text = widget<QPlainTextEdit>(bottom.Text1());
  EXPECT_EQ(text.toPlainText(),
            "Hier kan naar hartelust tekst worden ingevuld om het gedrag van de textbox te "
            "manipuleren.\n");
  EXPECT_EQ(bottom.Text1().Text().size(), 92u);
  EXPECT_EQ(text.lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(text.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(text.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  // The text box fills the form from its first Resize on.
  EXPECT_EQ(text.geometry(), frame(bottom).widget()->rect());

  EXPECT_EQ(resize_button().text(), "Resize");
  EXPECT_FALSE(resize_button().autoDefault());
  EXPECT_EQ(resize_button().geometry(), QRect(px(4680), px(120), px(975), px(375)));
  EXPECT_EQ(label().geometry(), QRect(px(120), px(120), px(4455), px(855)));
  EXPECT_TRUE(label().wordWrap());
}

TEST_F(Program, TheBottomChildHasNoFrameTheOthersASizableOneWithoutClose) {
  QMdiSubWindow& bottom = frame("frmResizeB");
  EXPECT_TRUE(bottom.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(bottom.contentsMargins(), QMargins());
  EXPECT_EQ(app.existing_instance("frmResizeB")->ScaleWidth(),
            app.existing_instance("frmResizeB")->Width());

  int framed = 0;
  for (rt::Form* form : app.loaded_forms()) {
    if (!form->design().mdi_child || form->design().border_style == rt::BorderStyle::None) {
      continue;
    }
    ++framed;
    const std::string& name = form->path();
    QMdiSubWindow& child = frame(*form);
    const Qt::WindowFlags flags = child.windowFlags();
    EXPECT_FALSE(flags & Qt::FramelessWindowHint) << name;
    EXPECT_TRUE(flags & Qt::WindowTitleHint) << name;
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint) << name;
    EXPECT_TRUE(flags & Qt::WindowMaximizeButtonHint) << name;
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint) << name;  // Qt's styles draw close with it
    // Width is the frame's, ScaleWidth what the frame leaves.
    EXPECT_EQ(form->Width(), child.width() * ws.twips_per_pixel()) << name;
    EXPECT_EQ(form->ScaleWidth(), child.widget()->width() * ws.twips_per_pixel()) << name;
    EXPECT_LT(form->ScaleWidth(), form->Width()) << name;
    EXPECT_LT(form->ScaleHeight(), form->Height()) << name;
    // The forms live as long as the program: a child refuses to be closed.
    EXPECT_FALSE(child.close()) << name;
    EXPECT_TRUE(child.isVisible()) << name;
  }
  EXPECT_EQ(framed, 3);
}

// --- the menu ---------------------------------------------------------------------------------

TEST_F(Program, TheMenuBarHoldsTheDropDownAndTheCommand) {
  const QList<QAction*> bar = window().menuBar()->actions();
  ASSERT_EQ(bar.size(), 2);
  EXPECT_EQ(bar[0]->text(), "Solve Problem");
  ASSERT_NE(bar[0]->menu(), nullptr);
  EXPECT_EQ(bar[1]->text(), "Vul tekstbox");
  EXPECT_EQ(bar[1]->menu(), nullptr);

  const QList<QAction*> options = bar[0]->menu()->actions();
  ASSERT_EQ(options.size(), 2);
  EXPECT_EQ(options[0], &oplossing());
  EXPECT_EQ(options[1], &wiskundig());
  EXPECT_EQ(options[0]->text(), "Oplossing");
  EXPECT_EQ(options[1]->text(), "Wiskundig juist");
  for (QAction* option : options) {
    EXPECT_TRUE(option->isCheckable());
    EXPECT_FALSE(option->isChecked());
    EXPECT_TRUE(option->isEnabled());
  }
}

// The program's About box: the last entry of "Solve Problem", after the window list; the menu
// bar and the client area stay as the design has them.
TEST_F(Program, TheAboutBoxComesAfterTheWindowListAndSaysTheVersion) {
  const rt::PeerState before = main().peer_if_loaded()->inspect();
  ws.set_about(app::about());
  QMenu& solve = *window().menuBar()->actions().front()->menu();
  for (int opened = 0; opened < 2; ++opened) {  // the list is made anew each time
    emit solve.aboutToShow();
    const QList<QAction*> entries = solve.actions();
    ASSERT_EQ(entries.size(), 2 + 1 + 4 + 1 + 1);
    EXPECT_EQ(entries[6]->text(), "&4 Form1");
    EXPECT_TRUE(entries[7]->isSeparator());
    EXPECT_EQ(entries[8]->text(), "&About mdiresize");
  }
  EXPECT_EQ(window().menuBar()->actions().size(), 2);
  solve.actions().back()->trigger();
  QCoreApplication::processEvents();
  const QList<QMessageBox*> boxes = window().findChildren<QMessageBox*>();
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0]->isVisible());
  EXPECT_EQ(boxes[0]->windowTitle(), "About mdiresize");
  const std::string text = boxes[0]->text().toStdString();
  for (const char* part :
       {"mdiresize " MDIRESIZE_VERSION "\n", "double scroll bar", "MIT", "man mdiresize"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << " is not in:\n" << text;
  }
  const rt::PeerState after = main().peer_if_loaded()->inspect();
  EXPECT_EQ(after.geometry.width, before.geometry.width);
  EXPECT_EQ(after.geometry.height, before.geometry.height);
  EXPECT_EQ(after.client.width, before.client.width);
  EXPECT_EQ(after.client.height, before.client.height);
  boxes[0]->accept();
}

TEST_F(Program, EachTriggerFlipsTheCheckMarkExactlyOnce) {
  oplossing().trigger();
  EXPECT_TRUE(oplossing().isChecked());
  EXPECT_TRUE(main().mnuOplossing().Checked());
  EXPECT_FALSE(wiskundig().isChecked());
  oplossing().trigger();
  EXPECT_FALSE(oplossing().isChecked());
  wiskundig().trigger();
  EXPECT_TRUE(wiskundig().isChecked());
  EXPECT_TRUE(main().mnuWiskundig().Checked());
  // Each click ran the layout pass once.
  EXPECT_EQ(watch.count(What::Event, "MDIResize.mnuOplossing", "Click"), 2);
  EXPECT_EQ(watch.count(What::Event, "MDIResize.mnuWiskundig", "Click"), 1);
}

TEST_F(Program, TheFillCommandOnTheMenuBarFillsTheTextBox) {
  window().menuBar()->actions()[1]->trigger();
  const QString text = widget<QPlainTextEdit>(app.instance<frmResizeB>().Text1()).toPlainText();
  EXPECT_EQ(text.count('\n'), 15);
  EXPECT_TRUE(text.startsWith(QString::fromStdString(kPhrase + kPhrase)));
}

// --- the scroll bars --------------------------------------------------------------------------

class Bars : public Program, public ::testing::WithParamInterface<BarCase> {};

TEST_P(Bars, TheRealAreaShowsWhatTheInMemoryOneDoes) {
  const BarCase& c = GetParam();
  if (c.oplossing) oplossing().trigger();
  if (c.wiskundig) wiskundig().trigger();
  resize(c.width);
  EXPECT_EQ(bars(), c.bars);
  const QScrollBar& horizontal = *area().horizontalScrollBar();
  const QScrollBar& vertical = *area().verticalScrollBar();
  EXPECT_EQ(horizontal.isVisible(), c.bars.horizontal);
  EXPECT_EQ(vertical.isVisible(), c.bars.vertical);
  // The bars take their room from the client area: ScaleWidth is what is left.
  EXPECT_EQ(viewport(), QSize(px(c.width) - (c.bars.vertical ? vertical.width() : 0),
                              px(kHeight) - (c.bars.horizontal ? horizontal.height() : 0)));
  EXPECT_EQ(main().ScaleWidth(), viewport().width() * ws.twips_per_pixel());
  EXPECT_EQ(caption(), c.caption);
  EXPECT_EQ(label().text().toStdString(), c.caption == kTwoLines ? kTwoLinesOnScreen : c.caption);
  EXPECT_EQ(frame("frmResizeT").width(), px(c.top_width));
  EXPECT_EQ(frame("frmResizeR").x(), right("frmResizeL"));
  EXPECT_EQ(right("frmResizeR"), px(c.right_edge));
  EXPECT_EQ(bottom("frmResizeB"), px(kHeight));
}

INSTANTIATE_TEST_SUITE_P(InPixels, Bars, ::testing::ValuesIn(kBarCases), test_name);

class EitherOption : public Program, public ::testing::WithParamInterface<const char*> {
 protected:
  QAction& option() { return std::string(GetParam()) == "Oplossing" ? oplossing() : wiskundig(); }
};

TEST_P(EitherOption, TakesAwayBothBarsOnceTheLayoutRunsWithoutThem) {
  resize(4500);
  ASSERT_EQ(bars(), kBoth);
  // The option's own pass still reads the client area as the bars left it; the bars go when
  // it is done, and the next pass (the button) fills what they gave back.
  option().trigger();
  EXPECT_EQ(bars(), kNone);
  resize_button().click();
  EXPECT_EQ(bars(), kNone);
  EXPECT_EQ(right("frmResizeR"), px(4500));
  EXPECT_EQ(frame("frmResizeT").width(), px(4500));
  EXPECT_EQ(caption(), kTwoLines);
}

INSTANTIATE_TEST_SUITE_P(Options, EitherOption, ::testing::Values("Oplossing", "Wiskundig"));

// After the naive halves' double scroll bar at 401 pixels, the next pass reads the client area
// the bars have left, and the top form is wider than that: the label reports the double scroll
// bar. Laid out that much smaller, though, everything fits the whole area again, and the bars go.
TEST_F(Program, AfterTheNaiveHalvesDoubleScrollBarTheNextPassFitsAndReportsIt) {
  resize(6015);
  ASSERT_EQ(bars(), kBoth);
  const int bar = area().verticalScrollBar()->width();
  watch.calls.clear();
  resize_button().click();
  EXPECT_EQ(watch.values(What::Read, "MDIResize", "ScaleWidth").front(),
            rt::Variant(static_cast<float>((px(6015) - bar) * ws.twips_per_pixel())));
  EXPECT_EQ(caption(), kDouble);
  EXPECT_EQ(bars(), kNone);
}

// With "Wiskundig juist" at 401 pixels the right form first gets its naive half and overhangs
// by a pixel, and is narrowed later in the same pass. Until control returns to the event loop
// the area must not react: no bar, no range, no smaller ScaleWidth for the reads after it.
TEST_F(Program, AMomentaryOverhangInsideOnePassChangesNeitherBarsNorScaleWidth) {
  wiskundig().trigger();
  resize(6015);
  ASSERT_EQ(right("frmResizeR"), px(6015));
  watch.calls.clear();
  // At every step of the pass: the largest range either bar had, and whether a child reached
  // past the right edge.
  int max_range = 0;
  std::vector<bool> overhang;
  watch.on_call = [&] {
    max_range = std::max({max_range, area().horizontalScrollBar()->maximum(),
                          area().verticalScrollBar()->maximum()});
    overhang.push_back(viewport_children_right() >= area().viewport()->width());
  };
  resize_button().click();
  watch.on_call = {};
  ASSERT_FALSE(overhang.front());  // nothing overhung when the pass began
  ASSERT_TRUE(std::find(overhang.begin(), overhang.end(), true) !=
              overhang.end());  // then the right form did, for a while
  EXPECT_EQ(watch.count(What::Move, "frmResizeR"), 2);
  EXPECT_EQ(max_range, 0);
  EXPECT_EQ(watch.values(What::Read, "MDIResize", "ScaleWidth"),
            std::vector<rt::Variant>(5, rt::Variant(6015.0f)));
  EXPECT_EQ(bars(), kNone);
  EXPECT_EQ(right("frmResizeR"), px(6015));
}

TEST_F(Program, AnOverhangingMoveWaitsForIdleBeforeTheBarsFollow) {
  auto& right_form = *app.existing_instance("frmResizeR");
  const float left = right_form.Left();
  right_form.Move(left + 15, rt::Variant(std::int16_t{0}), rt::Variant(right_form.Width()),
                  rt::Variant(right_form.Height()));
  EXPECT_EQ(area().horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(main().ScaleWidth(), 6480.0f);
  ws.idle();
  EXPECT_EQ(bars(), kBoth);
  EXPECT_LT(main().ScaleWidth(), 6480.0f);
}

TEST_F(Program, BarsComingAndGoingNeverRaiseTheMainWindowsResize) {
  resize(4500);
  QCoreApplication::processEvents();
  ASSERT_EQ(bars(), kBoth);
  EXPECT_EQ(watch.count(What::Event, "MDIResize", "Resize"), 2);  // start-up, and the one resize
  oplossing().trigger();
  resize_button().click();
  QCoreApplication::processEvents();
  ASSERT_EQ(bars(), kNone);
  EXPECT_EQ(watch.count(What::Event, "MDIResize", "Resize"), 2);
}

TEST_F(Program, TheResizeButtonRunsThePassThroughARealClick) {
  app.instance<frmResizeT>().Label1().set_Caption(rt::Variant("something else"));
  watch.calls.clear();
  resize_button().click();
  EXPECT_EQ(watch.count(What::Event, "frmResizeT.Command1", "Click"), 1);
  EXPECT_EQ(watch.count(What::CallByName, "MDIResize", "Resizing"), 1);
  EXPECT_EQ(caption(), "");
  EXPECT_EQ(label().text(), "");
}

TEST_F(Program, ANoSizeClientAreaKeepsAPixelAndLaysOutWithoutError) {
  for (const bool wiskundig : {false, true}) {
    if (wiskundig) this->wiskundig().trigger();
    resize(0, 0);
    // Qt lays out no empty window; the children get what is left of nothing, never less.
    EXPECT_EQ(area().size(), QSize(1, 1));
    EXPECT_EQ(app.errors_reported(), 0u);
    for (rt::Form* form : app.loaded_forms()) {
      EXPECT_GE(form->ScaleWidth(), 0.0f) << form->path();
      EXPECT_GE(form->ScaleHeight(), 0.0f) << form->path();
    }
  }
}

// --- what a person does -----------------------------------------------------------------------

TEST_F(Program, SizingTheTopFormByHandLeavesItsControlsWhereTheyWere) {
  const QRect button = resize_button().geometry();
  const QRect text = label().geometry();
  auto& top = *app.existing_instance("frmResizeT");
  ws.person().user_place(top, rt::Rect{300, 300, 3000, 900});
  EXPECT_EQ(frame("frmResizeT").geometry(), QRect(20, 20, 200, 60));
  ws.person().user_place(top, rt::Rect{0, 0, 7500, 2400});
  EXPECT_EQ(frame("frmResizeT").size(), QSize(500, 160));
  EXPECT_EQ(resize_button().geometry(), button);
  EXPECT_EQ(label().geometry(), text);
}

TEST_F(Program, SizingTheLeftFormByHandLaysOutItsLists) {
  auto& left = app.instance<frmResizeL>();
  const QWidget& client = *frame(left).widget();
  auto& last = widget<QListWidget>(left.List1(2));
  ASSERT_LT(client.width(), 280);
  watch.calls.clear();
  ws.person().user_place(left, rt::Rect{0, 0, 4500, 3000});
  EXPECT_EQ(watch.count(What::Event, "frmResizeL", "Resize"), 1);
  const QMargins edge = frame(left).contentsMargins();
  EXPECT_EQ(client.size(),
            QSize(300 - edge.left() - edge.right(), 200 - edge.top() - edge.bottom()));
  // Plain columns: each rounded on its own, so the last may end a pixel short.
  EXPECT_NEAR(last.geometry().right() + 1, client.width(), 1);
  EXPECT_EQ(widget<QListWidget>(left.List1(0)).height(), client.height());
  // Moved without a change of size, it gets no Resize.
  watch.calls.clear();
  ws.person().user_place(left, rt::Rect{150, 150, 4500, 3000});
  EXPECT_EQ(watch.count(What::Event, "frmResizeL", "Resize"), 0);
}

TEST_F(Program, AChildMovedByHandPastTheEdgeBringsTheBars) {
  auto& right_form = *app.existing_instance("frmResizeR");
  const rt::Rect placed = right_form.peer_if_loaded()->geometry();
  ws.person().user_place(right_form,
                         rt::Rect{placed.left + 15, placed.top, placed.width, placed.height});
  EXPECT_EQ(bars(), kBoth);
  ws.person().user_place(right_form, placed);
  EXPECT_EQ(bars(), kNone);
}

TEST_F(Program, TypingGoesToTheEndAndBackspaceTakesALineBreakWhole) {
  auto& box = app.instance<frmResizeB>().Text1();
  const std::string design = box.Text();
  ws.person().user_type(box, "een\r\ntwee\b\b");
  EXPECT_EQ(widget<QPlainTextEdit>(box).toPlainText().toStdString(),
            design.substr(0, design.size() - 2) + "\neen\ntw");
  EXPECT_EQ(box.Text(), design + "een\r\ntw");
  ws.person().user_type(box, "\b\b\b");
  EXPECT_EQ(box.Text(), design + "een");
  // An edit in the middle, at positions as the text's length counts them (a line break two);
  // one that does not fit the text does nothing.
  ws.person().user_edit(box, rt::TextEdit{design.size() + 1, 1, "\xC3\xA9\n"});
  EXPECT_EQ(box.Text(), design + "e\xC3\xA9\r\nn");
  EXPECT_EQ(widget<QPlainTextEdit>(box).toPlainText().toStdString(),
            design.substr(0, design.size() - 2) + "\ne\xC3\xA9\nn");
  ws.person().user_edit(box, rt::TextEdit{design.size() + 2, 0, "x"});  // inside the e acute
  ws.person().user_edit(box, rt::TextEdit{0, design.size() + 7, ""});
  EXPECT_EQ(box.Text(), design + "e\xC3\xA9\r\nn");
}

TEST_F(Program, TheCorrectedColumnsGiveTheListsAnExtentToScrollAcross) {
  oplossing().trigger();
  resize(9615);  // the left form changes size, so it lays out its columns again
  auto& left = app.instance<frmResizeL>();
  for (std::int16_t i = 0; i < 3; ++i) {
    auto& list = widget<QListWidget>(left.List1(i));
    EXPECT_EQ(left.List1(i).peer().inspect().horizontal_extent, 1000);
    EXPECT_TRUE(list.horizontalScrollBar()->isVisible());
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 1000 - list.viewport()->width());
  }
  EXPECT_EQ(ws.send_message(987654, rt::LB_SETHORIZONTALEXTENT, 10, 0), 0);
}

TEST_F(Program, ClosingTheMainWindowEndsTheProgram) {
  EXPECT_FALSE(ws.closed());
  window().close();
  QCoreApplication::processEvents();
  EXPECT_TRUE(ws.closed());
  EXPECT_TRUE(app.loaded_forms().empty());
  EXPECT_EQ(ws.main_window(), nullptr);
}

// --- another screen ---------------------------------------------------------------------------

// Run by CTest a second time with QT_SCALE_FACTOR=1.5: device pixels are no longer logical
// ones, but lengths still are logical pixels and the children still fill the client area.
TEST(ScaledScreen, LaysOutAndFillsTheClientArea) {
  QtWindowSystem ws;
  rt::Application app(shell::make_project(), ws);
  app.start();
  if (const char* factor = std::getenv("QT_SCALE_FACTOR")) {
    EXPECT_DOUBLE_EQ(ws.main_window()->devicePixelRatio(), std::atof(factor));
  }
  auto& main = app.instance<MDIResize>();
  qobject_cast<QAction*>(ws.native(main.mnuOplossing()))->trigger();
  qobject_cast<QAction*>(ws.native(main.mnuWiskundig()))->trigger();
  for (const float width : {4515.0f, 6015.0f, 9615.0f}) {
    ws.person().user_resize_client(width, 5000);
    const QSize client = ws.mdi_area()->viewport()->size();
    EXPECT_EQ(ws.client_scroll_bars(), kNone) << width;
    QRect covered;
    for (QMdiSubWindow* child : ws.mdi_area()->subWindowList()) covered |= child->geometry();
    EXPECT_EQ(covered, QRect(QPoint(0, 0), client)) << width;
    const QImage shot = ws.main_window()->grab().toImage();
    EXPECT_EQ(shot.width(), qRound(ws.main_window()->width() * shot.devicePixelRatio()));
  }
}

}  // namespace
