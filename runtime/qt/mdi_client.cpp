#include "runtime/qt/mdi_client.h"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>
#include <QMdiSubWindow>
#include <QResizeEvent>

namespace rt::qt {

MdiClient::MdiClient(QWidget* parent) : QMdiArea(parent) {
  // The area is exactly the client area: no frame of its own, bars only where needed.
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // Any size, down to nothing: the main window may be made as small as a person likes.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  // A child changes its state by its own buttons only: activating another one while one is
  // maximised would otherwise maximise that one too, the frameless bottom form included.
  setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
}

void MdiClient::update_scroll_bars() {
  update_posted_ = false;
  held_ = false;
  const QList<QMdiSubWindow*> children = subWindowList();
  // A bar that comes or goes sizes the viewport anew, and the icons lie along its bottom: they
  // move, which can bring or take a bar in turn. Settled in a few rounds at most.
  for (int round = 0; round < 3; ++round) {
    const QSize viewport_before = viewport()->size();
    if (!children.isEmpty()) {
      // The icons go where icons go now, not when QMdiArea's timer says so after a resize.
      const bool icons = std::any_of(children.begin(), children.end(),
                                     [](const QMdiSubWindow* c) { return c->isMinimized(); });
      if (icons) QMdiArea::scrollContentsBy(0, 0);
      // QMdiArea recomputes its bars for any child that moved; which one does not matter. Not
      // only after a move: another child made active can show or hide a maximised one's
      // whole area.
      QResizeEvent moved(children.first()->size(), children.first()->size());
      QMdiArea::eventFilter(children.first(), &moved);
    }
    // QAbstractScrollArea shows or hides a bar through a queued call; let it happen now, so
    // the viewport has its final size when control returns to the event loop.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (viewport()->size() == viewport_before) break;
  }
}

bool MdiClient::eventFilter(QObject* object, QEvent* event) {
  if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
    const auto* child = qobject_cast<QMdiSubWindow*>(object);
    if (child != nullptr && child->mdiArea() == this) {
      hold();
      // Past QMdiArea's own filter, which would bring the bars up to date now.
      return QAbstractScrollArea::eventFilter(  // NOLINT(bugprone-parent-virtual-call)
          object, event);
    }
  }
  return QMdiArea::eventFilter(object, event);
}

void MdiClient::resizeEvent(QResizeEvent* event) {
  if (on_resize_) on_resize_();
  // What that set going may have shown or hidden a bar, and so sized the viewport anew:
  // QMdiArea has heard of that size already, and this one would size a maximised child back.
  if (viewport()->size() != event->size()) return;
  QMdiArea::resizeEvent(event);
}

void MdiClient::hold() {
  held_ = true;
  if (update_posted_) return;
  update_posted_ = true;
  // A child moved by hand, or by the area itself, gets its bars at the next turn of the event
  // loop; a layout pass gets them sooner, from the window system's idle().
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (update_posted_) update_scroll_bars();
      },
      Qt::QueuedConnection);
}

}  // namespace rt::qt
