#include "runtime/qt/qt_peer.h"

#include <QRect>
#include <QWidget>

namespace rt::qt {

QString to_display(std::string_view text) {
  QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

std::string from_display(QString text) {
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return text.toStdString();
}

QtPeer::QtPeer(QtWindowSystem& ws, Object& owner, bool is_window) : ws_(&ws), owner_(&owner) {
  if (is_window) handle_ = ws.handles_.add(*this);
  ws.peers_.push_back(this);
  ws.person().add(owner, *this);
}

QtPeer::~QtPeer() {
  ws_->person().remove(*owner_);
  std::erase(ws_->peers_, this);
  ws_->handles_.remove(handle_);
}

WindowHandle QtPeer::handle() {
  if (handle_ == 0) raise(ErrorCode::UnsupportedMember, owner_->path() + ".hWnd");
  return handle_;
}

bool QtPeer::place_widget(QWidget& widget, const Placement& placement) const {
  QtWindowSystem::ProgramChange change(ws());
  const QRect before = widget.geometry();
  widget.setGeometry(ws().placed(before, placement));
  return widget.size() != before.size();
}

}  // namespace rt::qt
