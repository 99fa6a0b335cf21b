#pragma once

#include <string>
#include <string_view>

#include "runtime/win32/win32_peer.h"

namespace rt::win32 {

class ChildPeer;

// A control on a child form: a LISTBOX, a multi-line or single-line EDIT, a STATIC or a BUTTON
// of the platform's own classes, in the form's client area, with the dialog font.
class ControlPeer final : public Win32Peer {
 public:
  ControlPeer(Win32WindowSystem& ws, Object& owner, const ControlDesign& design, ChildPeer& form);
  ~ControlPeer() override;

  void show() override;
  Rect geometry() override;
  bool place(const Placement& placement) override;
  Size client_size() override;
  void set_text(std::string_view text) override;
  std::string text() override;
  void add_item(std::string_view item) override;

  PeerState inspect() const override;

  // A button clicks; any other control reports the click as it is.
  void user_click() override;
  void user_type(std::string_view typed) override;
  void user_edit(const TextEdit& edit) override;

  // A notification of the control to its form (WM_COMMAND's code).
  void notified(WORD code);

 private:
  static HWND make(const ControlDesign& design, HWND parent);
  // Font, place, text and items as the design has them.
  void set_up(const ControlDesign& design);
  RECT rect_in_form() const;
  void write_text(std::string_view text);
  std::string read_text() const;
  // The person changed a text box's text: told in proportion to the change (text_changed()).
  void text_changed();

  ControlKind kind_;
  ChildPeer* form_;
  std::string caption_;     // of a label or button, exactly as written
  std::string known_text_;  // of a text box, as it was after the last change
};

}  // namespace rt::win32
