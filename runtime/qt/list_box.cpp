#include "runtime/qt/list_box.h"

#include <algorithm>

#include <QStyledItemDelegate>

namespace rt::qt {
namespace {

// Every row is as wide as the extent, so the list's own scrolling covers exactly the extent.
class ExtentDelegate final : public QStyledItemDelegate {
 public:
  ExtentDelegate(const int& extent, QObject* parent)
      : QStyledItemDelegate(parent), extent_(&extent) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (*extent_ > 0) size.setWidth(*extent_);
    return size;
  }

 private:
  const int* extent_;
};

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
  setSortingEnabled(false);
  setUniformItemSizes(true);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setItemDelegate(new ExtentDelegate(extent_, this));
}

void ListBox::set_horizontal_extent(int pixels) {
  extent_ = std::max(0, pixels);
  setHorizontalScrollBarPolicy(extent_ > 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  doItemsLayout();
}

}  // namespace rt::qt
