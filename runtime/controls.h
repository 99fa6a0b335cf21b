#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/design.h"
#include "runtime/window.h"

namespace rt {

class Form;

// A control on a form. It exists only while its form is loaded.
class Control : public Window {
 public:
  Control(Form& form, const ControlDesign& design);
  // The native control; the window system creates it for this object, once.
  void attach(PeerPtr peer) { set_window(std::move(peer)); }

  Form& form() const { return *form_; }
  const ControlDesign& design() const { return *design_; }
  // The name that code and event bindings use: "Command1", or "List1" for an array element.
  const std::string& name() const { return design_->name; }
  Peer& peer() const { return *current_window(); }

 protected:
  Peer& load_window() override;
  void write_text(std::string_view property, const Variant& value);
  std::string read_text(std::string_view property);

 private:
  Form* form_;
  const ControlDesign* design_;
};

class ListBox : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::ListBox;
  using Control::Control;
  // Appends at the end: the list is not sorted.
  void AddItem(const Variant& item);
  std::int16_t ListCount();
  Variant get_member(std::string_view name) override;
};

class TextBox : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::TextBox;
  using Control::Control;
  std::string Text();
  void set_Text(const Variant& text);
  Variant get_member(std::string_view name) override;
};

class Label : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Label;
  using Control::Control;
  std::string Caption();
  void set_Caption(const Variant& caption);
  Variant get_member(std::string_view name) override;
};

class CommandButton : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::CommandButton;
  using Control::Control;
  std::string Caption();
  Variant get_member(std::string_view name) override;
};

// A menu item of the main window: a drop-down, an option with a check mark, or a command.
class Menu : public Object {
 public:
  Menu(Form& form, const MenuDesign& design);
  void attach(PeerPtr peer) { peer_ = std::move(peer); }

  Form& form() const { return *form_; }
  const MenuDesign& design() const { return *design_; }
  const std::string& name() const { return design_->name; }
  Peer& peer() const { return *peer_; }

  bool Checked();
  void set_Checked(bool checked);
  std::string Caption();

  Variant get_member(std::string_view name) override;

 private:
  Form* form_;
  const MenuDesign* design_;
  PeerPtr peer_;
};

std::unique_ptr<Control> make_control(Form& form, const ControlDesign& design);

}  // namespace rt
