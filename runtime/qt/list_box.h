#pragma once

#include <QListWidget>

namespace rt::qt {

// A list box as the forms runtime knows it: unsorted, and scrolling sideways only across the
// horizontal extent it was given (in pixels), never by the width of its items, which it clips.
// Without an extent it has no horizontal scroll bar; with one, a bar while the list is
// narrower than the extent.
class ListBox final : public QListWidget {
 public:
  explicit ListBox(QWidget* parent = nullptr);

  int horizontal_extent() const { return extent_; }
  void set_horizontal_extent(int pixels);

 private:
  int extent_ = 0;
};

}  // namespace rt::qt
