#include "runtime/qt/menu_peer.h"

#include <QMenu>

namespace rt::qt {

MenuPeer::MenuPeer(QtWindowSystem& ws, Object& owner, const MenuDesign& design, QAction& action,
                   bool in_drop_down)
    : QtPeer(ws, owner, false), action_(&action), caption_(design.caption) {
  // Only an item in a drop-down can show a check mark; one on the menu bar keeps its
  // Checked all the same.
  action.setCheckable(in_drop_down);
  action.setChecked(design.checked);
  checked_ = design.checked;
  action.setEnabled(design.enabled);
  action.setVisible(design.visible);
  QObject::connect(&action, &QAction::triggered, &action, [this] { clicked(); });
}

MenuPeer::~MenuPeer() {
  if (action_.isNull()) return;
  if (QMenu* menu = action_->menu<QMenu*>()) {
    delete menu;
  } else {
    delete action_.data();
  }
}

void MenuPeer::set_text(std::string_view text) {
  alive(action_).setText(to_display(text));
  caption_ = text;
}

std::string MenuPeer::text() {
  alive(action_);
  return caption_;
}

bool MenuPeer::checked() {
  const QAction& action = alive(action_);
  return action.isCheckable() ? action.isChecked() : checked_;
}

void MenuPeer::set_checked(bool checked) {
  QAction& action = alive(action_);
  checked_ = checked;
  if (action.isCheckable()) action.setChecked(checked);
}

PeerState MenuPeer::inspect() const {
  PeerState state;
  state.text = caption_;
  if (action_.isNull()) return state;
  state.checked = action_->isCheckable() ? action_->isChecked() : checked_;
  state.visible = action_->isVisible();
  return state;
}

void MenuPeer::user_click() {
  if (!action_.isNull()) action_->trigger();
  ws().settle();
}

void MenuPeer::clicked() {
  // Qt has already toggled a checkable item's mark; the program's handler flips Checked
  // itself (reads it, writes the opposite), so the click reaches it with the mark as it was.
  if (action_->isCheckable()) action_->setChecked(!action_->isChecked());
  ws().report_click(owner());
}

}  // namespace rt::qt
