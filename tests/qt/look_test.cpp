// The program's look, measured on what Qt draws: text that fits where the forms' design put it,
// and title bars that can be read, in the program's own style and font.

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
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

}  // namespace
