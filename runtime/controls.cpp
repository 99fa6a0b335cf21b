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

void Control::write_text(std::string_view property, const Variant& value) {
  // A string is written as it stands, without a copy.
  const bool is_text = value.type() == VarType::String;
  const Variant converted = is_text ? Variant() : Variant(value.to_string());
  const Variant& text = is_text ? value : converted;
  if (observed()) [[unlikely]] {
    tell_written(property, text);
  }
  peer().set_text(text.string());
}

std::string Control::read_text(std::string_view property) {
  std::string text = peer().text();
  if (observed()) [[unlikely]] {
    tell_read(property, Variant(text));
  }
  return text;
}

void ListBox::AddItem(const Variant& item) {
  const std::string text = item.to_string();
  if (observed()) [[unlikely]] {
    app().notify([&](Observer& o) { o.method_called(*this, "AddItem", Variant(text)); });
  }
  peer().add_item(text);
}

std::int16_t ListBox::ListCount() {
  const int count = peer().inspect().item_count;
  if (observed()) [[unlikely]] {
    tell_read("ListCount", Variant::Long(count));
  }
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
  write_text("Text", text);
}

Variant TextBox::get_member(std::string_view name) {
  if (name == "Text") return Variant(Text());
  return Control::get_member(name);
}

std::string Label::Caption() {
  return read_text("Caption");
}
void Label::set_Caption(const Variant& caption) {
  write_text("Caption", caption);
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
  if (observed()) [[unlikely]] {
    tell_read("Checked", checked);
  }
  return checked;
}

void Menu::set_Checked(bool checked) {
  if (observed()) [[unlikely]] {
    tell_written("Checked", Variant(checked));
  }
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
