#pragma once

#include <string>
#include <string_view>

#include <QPointer>
#include <QWidget>

#include "runtime/qt/qt_peer.h"

namespace rt::qt {

class ControlPeer final : public QtPeer {
 public:
  ControlPeer(QtWindowSystem& ws, Object& owner, const ControlDesign& design, QWidget& parent);
  ~ControlPeer() override { delete widget_.data(); }

  QObject* native() const override { return widget_.data(); }
  QWidget* placed_widget() const override { return widget_.data(); }

  void show() override;
  Rect geometry() override;
  bool place(const Placement& placement) override;
  Size client_size() override;
  void set_text(std::string_view text) override;
  std::string text() override;
  void add_item(std::string_view item) override;
  bool set_horizontal_extent(int pixels) override;

  PeerState inspect() const override;

  // A button clicks; any other control reports the click as it is.
  void user_click() override;
  void user_type(std::string_view typed) override;
  void user_edit(const TextEdit& edit) override;

 private:
  // Text typed at the end of the text, as typed_text() says.
  void type(std::string_view typed);

  static QWidget* make_text_box(const ControlDesign& design, QWidget& parent);
  void write_text(std::string_view text);
  std::string read_text() const;
  // The person changed a text box's text: told in proportion to the change (text_changed()).
  void text_changed();

  ControlKind kind_;
  QPointer<QWidget> widget_;
  std::string caption_;     // of a label or button, exactly as written
  std::string known_text_;  // of a text box, as it was after the last change
};

}  // namespace rt::qt
