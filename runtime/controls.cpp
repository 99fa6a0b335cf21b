#include "runtime/controls.h"

#include "runtime/application.h"
#include "runtime/error.h"
#include "runtime/form.h"

namespace rt {

Control::Control(Form& form, const ControlDesign& design)
    : Window(form.app(), form.path() + "." + element_name(design)),
      form_(&form),
      design_(&design) {}

Peer& Control::load_window() {
  // A control is made with its window and lives only as long as it.
  raise(ErrorCode::Internal, path() + " has no window");
}

void Control::write_text(std::string_view verb, const Variant& value) {
  // A string is written as it stands, without a copy.
  const std::string converted = value.type() == VarType::String ? std::string() : value.to_string();
  const std::string& text = value.type() == VarType::String ? value.string() : converted;
  app().trace([&] { return std::string(verb) + " " + path() + " " + quote(text); });
  peer().set_text(text);
}

std::string Control::read_text(std::string_view property) {
  std::string text = peer().text();
  app().trace(
      [&] { return "read " + path() + "." + std::string(property) + " -> " + quote(text); });
  return text;
}

void ListBox::AddItem(const Variant& item) {
  const std::string text = item.to_string();
  app().trace([&] { return "additem " + path() + " " + quote(text); });
  peer().add_item(text);
}

std::int16_t ListBox::ListCount() {
  const int count = peer().inspect().item_count;
  app().trace([&] { return "read " + path() + ".ListCount -> " + std::to_string(count); });
  if (count > 32767) raise(ErrorCode::Overflow);
  return static_cast<std::int16_t>(count);
}

Variant ListBox::get_member(std::string_view name) {
  if (name == "ListCount") return Variant(ListCount());
  return Control::get_member(name);
}

std::string TextBox::Text() {
  return read_text("Text");
}
void TextBox::set_Text(const Variant& text) {
  write_text("text", text);
}

Variant TextBox::get_member(std::string_view name) {
  if (name == "Text") return Variant(Text());
  return Control::get_member(name);
}

std::string Label::Caption() {
  return read_text("Caption");
}
void Label::set_Caption(const Variant& caption) {
  write_text("caption", caption);
}

Variant Label::get_member(std::string_view name) {
  if (name == "Caption") return Variant(Caption());
  return Control::get_member(name);
}

std::string CommandButton::Caption() {
  return read_text("Caption");
}

Variant CommandButton::get_member(std::string_view name) {
  if (name == "Caption") return Variant(Caption());
  return Control::get_member(name);
}

Menu::Menu(Form& form, const MenuDesign& design)
    : Object(form.app(), form.path() + "." + design.name), form_(&form), design_(&design) {}

bool Menu::Checked() {
  const bool checked = peer_->checked();
  app().trace([&] { return "read " + path() + ".Checked -> " + (checked ? "True" : "False"); });
  return checked;
}

void Menu::set_Checked(bool checked) {
  app().trace([&] { return "write " + path() + ".Checked " + (checked ? "True" : "False"); });
  peer_->set_checked(checked);
}

std::string Menu::Caption() {
  return peer_->text();
}

Variant Menu::get_member(std::string_view name) {
  if (name == "Checked") return Variant(Checked());
  if (name == "Caption") return Variant(Caption());
  return Object::get_member(name);
}

std::unique_ptr<Control> make_control(Form& form, const ControlDesign& design) {
  switch (design.kind) {
    case ControlKind::ListBox:
      return std::make_unique<ListBox>(form, design);
    case ControlKind::TextBox:
      return std::make_unique<TextBox>(form, design);
    case ControlKind::Label:
      return std::make_unique<Label>(form, design);
    case ControlKind::CommandButton:
      return std::make_unique<CommandButton>(form, design);
  }
  raise(ErrorCode::Internal, "unknown control kind");
}

}  // namespace rt
