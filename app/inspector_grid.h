#pragma once

#include <algorithm>
#include <vector>

#include <QColor>
#include <QStaticText>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace app {

// A table drawn by hand: its columns measured once, for the longest text each is meant to
// hold, and each text laid out once, when it changes. A drag changes most cells at every pass;
// an item view laid every text out again at every drawing, and cost a drag more than the rest.
class InspectorGrid final : public QWidget {
 public:
  InspectorGrid(const QStringList& headings, const QStringList& widest);

  // Whether the number of rows changed. The grid is as tall as `reserved` rows at the least, so
  // that the window around it keeps its size as the rows come and go.
  bool set_rows(int rows);
  void reserve_rows(int reserved);
  int rows() const { return static_cast<int>(cells_.size()); }

  // The rows selected with the mouse (a click, a drag, Shift and a click), or all of them when
  // none is, a line each, the cells tab-separated; the headings first.
  QString text_of_selection() const;
  void select_all();

  // A cell's text, and its background when given; a cell that does not change is not drawn.
  void set(int row, int column, const QString& text, const QColor& background = {});
  QString text(int row, int column) const { return cell(row, column).text; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  static constexpr int kPadding = 4;
  struct Cell {
    QString text;
    QStaticText shown;
    QColor background;
  };
  const Cell& cell(int row, int column) const {
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  }
  // Row -1: the headings.
  QRect cell_rect(int row, int column) const;
  // The row under `y`, the headings' -1, clamped to the rows there are.
  int row_at(int y) const;
  bool selected(int row) const {
    return anchor_ >= 0 && row >= std::min(anchor_, end_) && row <= std::max(anchor_, end_);
  }

  QStringList headings_;
  std::vector<int> lefts_;  // of each column, and the right end
  int row_height_ = 0;
  std::vector<std::vector<Cell>> cells_;
  int reserved_ = 0;
  int anchor_ = -1, end_ = -1;  // the selected rows, from the first clicked; none: -1
};

}  // namespace app
