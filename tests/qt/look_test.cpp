// The program's look, measured on what Qt draws: text that fits where the forms' design put it,
// title bars that can be read, and pop-up menus, in the program's own style and font; and, at
// any scale (CTest runs these tests again at 1.25, 1.5 and 2 device pixels a logical one),
// scroll bars drawn whole and title-bar glyphs on whole device pixels.

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QStyle>

#include <gtest/gtest.h>

#include "qt_support.h"
#include "runtime/application.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"
#include "tests/texts.h"

namespace {

using rt::qt::QtWindowSystem;

// The program as a person starts it (the tests run in its own style).
class Look : public ::testing::Test {
 protected:
  Look() {
    app_.start();
    QCoreApplication::processEvents();
  }

  QMdiSubWindow& frame(const char* form) {
    return *qobject_cast<QMdiSubWindow*>(ws_.native(*app_.existing_instance(form)));
  }
  template <class W>
  W& control(const char* form, std::size_t index) {
    return *qobject_cast<W*>(ws_.native(*app_.existing_instance(form)->controls().at(index)));
  }

  QtWindowSystem ws_;
  rt::Application app_{shell::make_project(), ws_};
};

// How many lines `text` takes when wrapped to `width` in `font`.
int lines_at(const QFont& font, int width, const QString& text) {
  const QFontMetrics metrics(font);
  const QRect wrapped = metrics.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text);
  return static_cast<int>(
      std::lround(static_cast<double>(wrapped.height()) / metrics.lineSpacing()));
}

TEST_F(Look, EveryDesignedTextFitsItsDesignedControlInTheFontUsed) {
  auto& label = control<QLabel>("frmResizeT", 0);
  EXPECT_EQ(QFontInfo(label.font()).family(), "Liberation Sans")
      << "the font the texts were fitted to is not installed";
  const QString two_lines = QString::fromStdString(texts::kTwoLinesOnScreen);
  const int label_width = label.contentsRect().width();  // 4455 twips as designed
  EXPECT_EQ(lines_at(label.font(), label_width, two_lines), 2) << "at " << label_width << " px";

  auto& button = control<QPushButton>("frmResizeT", 1);
  const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
  EXPECT_LE(QFontMetrics(button.font()).horizontalAdvance(button.text()) + 2 * margin,
            button.width());

  // Each caption whole in its title bar, at the child's designed size.
  const QFont title_font = QApplication::font("QWorkspaceTitleBar");
  EXPECT_EQ(QFontInfo(title_font).family(), "Liberation Sans");
  for (const char* form : {"frmResizeL", "frmResizeR", "frmResizeT"}) {
    QMdiSubWindow& child = frame(form);
    const rt::FormDesign& design = app_.existing_instance(form)->design();
    child.resize(child.size() - child.contentsRect().size() +
                 QSize(qRound(design.client_width / ws_.twips_per_pixel()),
                       qRound(design.client_height / ws_.twips_per_pixel())));
    const QRect caption = qt_support::title_bar(child, QStyle::SC_TitleBarLabel);
    EXPECT_LE(QFontMetrics(title_font).horizontalAdvance(child.windowTitle()), caption.width())
        << form;
  }
}

// Contrast as the web's accessibility guidelines define it, from relative luminance.
double luminance(QColor colour) {
  const auto linear = [](double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
         0.0722 * linear(colour.blueF());
}
double contrast(QColor a, QColor b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most of `area` is.
QColor most_of(const QImage& image, const QRect& area) {
  std::map<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
  }
  return QColor(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                  return a.second < b.second;
                })->first);
}

// The pixel of `area` that stands out most from `background`: the text's own colour, where
// its strokes are solid.
QColor standing_out(const QImage& image, const QRect& area, QColor background) {
  QColor best = background;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor pixel(image.pixel(x, y));
      if (contrast(pixel, background) > contrast(best, background)) best = pixel;
    }
  }
  return best;
}

TEST_F(Look, TitleBarsCanBeReadAndInactiveOnesStandOutFromTheBackground) {
  ws_.person().user_resize_client(12000, 6000);
  // Uncover the client area's background beside the right form, moved aside by hand.
  ws_.person().user_place(*app_.existing_instance("frmResizeR"), rt::Rect{6000, 0, 3000, 2000});
  QMdiArea& area = *ws_.mdi_area();
  const QImage shot = area.viewport()->grab().toImage();
  // Right of where the right form was: 600 to 800 pixels across, above the bottom form.
  const QColor background = most_of(shot, QRect(620, 20, 160, 280));

  QMdiSubWindow& active = frame("frmResizeT");
  QMdiSubWindow& inactive = frame("frmResizeL");
  ASSERT_EQ(area.activeSubWindow(), &active);
  for (QMdiSubWindow* child : {&active, &inactive}) {
    const QRect caption =
        qt_support::title_bar(*child, QStyle::SC_TitleBarLabel).translated(child->pos());
    const QColor bar = most_of(shot, caption);
    const QColor text = standing_out(shot, caption, bar);
    EXPECT_GE(contrast(bar, text), 4.5)
        << child->windowTitle().toStdString() << ": " << text.name().toStdString() << " on "
        << bar.name().toStdString();
    if (child == &inactive) {
      EXPECT_GE(contrast(bar, background), 3.0)
          << bar.name().toStdString() << " against " << background.name().toStdString();
    }
  }
}

// Drop-downs, context menus and a child's window menu are set as the forms are, and highlight an
// entry as the active title bar is drawn: white on navy.
TEST_F(Look, PopUpMenusHaveTheFormsFontAndHighlightAsTheActiveTitleBar) {
  const QFont forms = control<QLabel>("frmResizeT", 0).font();
  auto& text_box = control<QPlainTextEdit>("frmResizeB", 0);
  const std::unique_ptr<QMenu> context(text_box.createStandardContextMenu());
  QMenu* drop_down = ws_.main_window()->menuBar()->actions().front()->menu();
  for (QMenu* menu : {drop_down, frame("frmResizeT").systemMenu(), context.get()}) {
    const std::string name =
        menu->objectName().toStdString() + " " + menu->actions().front()->text().toStdString();
    menu->popup(QPoint(0, 0));  // a menu takes its font as it is shown
    EXPECT_EQ(QFontInfo(menu->font()).family(), QFontInfo(forms).family()) << name;
    EXPECT_EQ(menu->font().pointSizeF(), forms.pointSizeF()) << name;
    const QList<QAction*> entries = menu->actions();
    QAction* entry = *std::find_if(entries.begin(), entries.end(), [](const QAction* a) {
      return a->isEnabled() && a->isVisible() && !a->isSeparator();
    });
    menu->setActiveAction(entry);
    const QImage shot = menu->grab().toImage();
    menu->hide();
    const double scale = shot.devicePixelRatio();
    const QRect logical = menu->actionGeometry(entry).adjusted(2, 1, -2, -1);
    const QRect highlighted(
        QPoint(qCeil(logical.left() * scale), qCeil(logical.top() * scale)),
        QPoint(qFloor(logical.right() * scale), qFloor(logical.bottom() * scale)));
    const QColor bar = most_of(shot, highlighted);
    EXPECT_EQ(bar, QColor(0x00, 0x00, 0x80)) << name << ": " << bar.name().toStdString();
    EXPECT_EQ(standing_out(shot, highlighted, bar), QColor(Qt::white)) << name;
  }
}

// The device pixels of `widget` in a grab of its window.
QRect device_rect(const QWidget& widget, const QImage& shot) {
  const double scale = shot.devicePixelRatio();
  const QRect logical(widget.mapTo(widget.window(), QPoint(0, 0)), widget.size());
  return QRect(QPoint(qCeil(logical.left() * scale), qCeil(logical.top() * scale)),
               QPoint(qFloor((logical.right() + 1) * scale) - 1,
                      qFloor((logical.bottom() + 1) * scale) - 1));
}

// Whether every pixel on a line across `area` of the image, a row or a column, is (next to)
// black: a line drawn across it.
bool black_line_across(const QImage& shot, const QRect& area, bool rows) {
  const int lines = rows ? area.height() : area.width();
  const int length = rows ? area.width() : area.height();
  for (int line = 0; line < lines; ++line) {
    int black = 0;
    for (int along = 0; along < length; ++along) {
      const QPoint at = rows ? QPoint(area.left() + along, area.top() + line)
                             : QPoint(area.left() + line, area.top() + along);
      black += qGray(shot.pixel(at)) < 0x30;
    }
    if (black == length) return true;
  }
  return false;
}

// At 1.5 a bar that starts half a device pixel down had a row between its page and its arrow
// button that nothing drew: black, across the bar. The bottom form starts on odd and even pixels
// as the client area grows.
TEST_F(Look, AtAnyScaleNoLineCrossesTheTextBoxsScrollBars) {
  ws_.person().user_click(*app_.existing_instance("MDIResize")->loaded_menu("mnuVulBox"));
  auto& text_box = control<QPlainTextEdit>("frmResizeB", 0);
  for (const float height : {4860.0f, 4875.0f, 4890.0f}) {
    ws_.person().user_resize_client(6480, height);
    const QImage shot = ws_.main_window()->grab().toImage();
    const QRect vertical = device_rect(*text_box.verticalScrollBar(), shot);
    const QRect horizontal = device_rect(*text_box.horizontalScrollBar(), shot);
    EXPECT_FALSE(black_line_across(shot, vertical, true)) << "at " << height << " twips high";
    EXPECT_FALSE(black_line_across(shot, horizontal, false)) << "at " << height << " twips high";
  }
}

// How many colours the inside of a child's title-bar button has, in a grab of the main window:
// two pixels in from its bevel each side.
int colours_in(const QImage& shot, const QMdiSubWindow& child, QStyle::SubControl button) {
  const double scale = shot.devicePixelRatio();
  const QRect logical = qt_support::title_bar(child, button)
                            .translated(child.mapTo(child.window(), QPoint(0, 0)))
                            .adjusted(2, 2, -2, -2);
  const QRect inside(QPoint(qCeil(logical.left() * scale), qCeil(logical.top() * scale)),
                     QPoint(qFloor(logical.right() * scale), qFloor(logical.bottom() * scale)));
  QSet<QRgb> colours;
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) colours.insert(shot.pixel(x, y));
  }
  return static_cast<int>(colours.size());
}

// A title-bar button's glyph is black on the button's face, nothing between: no scaled bitmap.
TEST_F(Look, AtAnyScaleTitleBarGlyphsAreCrisp) {
  const QImage normal = ws_.main_window()->grab().toImage();
  EXPECT_EQ(colours_in(normal, frame("frmResizeR"), QStyle::SC_TitleBarMinButton), 2);
  EXPECT_EQ(colours_in(normal, frame("frmResizeT"), QStyle::SC_TitleBarMaxButton), 2);
  ws_.person().user_set_window_state(*app_.existing_instance("frmResizeL"),
                                     rt::WindowState::Maximized);
  const QImage maximised = ws_.main_window()->grab().toImage();
  EXPECT_EQ(colours_in(maximised, frame("frmResizeL"), QStyle::SC_TitleBarNormalButton), 2);
}

}  // namespace
