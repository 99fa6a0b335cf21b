#pragma once

#include <string>
#include <string_view>

#include <QAction>
#include <QPointer>

#include "runtime/qt/qt_peer.h"

namespace rt::qt {

class MenuPeer final : public QtPeer {
 public:
  MenuPeer(QtWindowSystem& ws, Object& owner, const MenuDesign& design, QAction& action,
           bool in_drop_down);
  ~MenuPeer() override;

  QObject* native() const override { return action_.data(); }

  void show() override {}
  Rect geometry() override { return {}; }
  bool place(const Placement&) override { return false; }
  Size client_size() override { return {}; }
  void set_text(std::string_view text) override;
  std::string text() override;

  bool checked() override;
  void set_checked(bool checked) override;

  PeerState inspect() const override;

  void user_click() override;

 private:
  void clicked();

  QPointer<QAction> action_;
  std::string caption_;
  bool checked_ = false;
};

}  // namespace rt::qt
