#include "runtime/form.h"

#include <algorithm>

#include "runtime/application.h"

namespace rt {

Form::Form(Application& app, const FormClass& form_class)
    : Window(app, form_class.design.name), form_class_(&form_class) {
  const std::vector<EventBinding>& events = app.project().events;
  for (const EventBinding& binding : events) {
    if (binding.form == class_name() && !binding.source.empty()) bindings_.push_back(&binding);
  }
  // The form's own events, looked up on every size change. Where one is bound twice, the first
  // binding counts.
  for (auto binding = events.rbegin(); binding != events.rend(); ++binding) {
    if (binding->form == class_name() && binding->source.empty()) {
      own_handlers_[static_cast<std::size_t>(binding->event)] = binding->handler;
    }
  }
}

Form::~Form() = default;

float Form::ScaleWidth() {
  return read("ScaleWidth", window().client_size().width);
}
float Form::ScaleHeight() {
  return read("ScaleHeight", window().client_size().height);
}

void Form::Show() {
  window();
  app().trace([&] { return "show " + path(); });
  display();
}

Control* Form::loaded_control(std::string_view name, int index) const {
  // The index first: a number is quicker to compare than a name.
  for (const auto& control : controls_) {
    if (control->design().index == index && control->name() == name) return control.get();
  }
  return nullptr;
}

Menu* Form::loaded_menu(std::string_view name) const {
  for (const auto& menu : menus_) {
    if (menu->name() == name) return menu.get();
  }
  return nullptr;
}

Menu& Form::menu(std::string_view name) {
  window();
  if (Menu* found = loaded_menu(name)) return *found;
  unsupported(name);
}

Control& Form::find_control(std::string_view name, int index) {
  window();
  if (Control* found = loaded_control(name, index)) return *found;
  const bool name_found = std::any_of(controls_.begin(), controls_.end(),
                                      [&](const auto& control) { return control->name() == name; });
  if (name_found) {
    raise(ErrorCode::SubscriptOutOfRange,
          path() + "." + std::string(name) + "(" + std::to_string(index) + ")");
  }
  unsupported(name);
}

Variant Form::get_member(std::string_view name) {
  if (name == "ScaleWidth") return Variant(ScaleWidth());
  if (name == "ScaleHeight") return Variant(ScaleHeight());
  if (name == "Caption") return Variant(window().text());
  if (name == "Left" || name == "Top" || name == "Width" || name == "Height") {
    return Window::get_member(name);
  }
  window();
  if (Menu* menu = loaded_menu(name)) return Variant(static_cast<Object&>(*menu));
  if (Control* control = loaded_control(name)) return Variant(static_cast<Object&>(*control));
  unsupported(name);
}

void Form::call_member(std::string_view name) {
  if (name == "Show") return Show();
  Window::call_member(name);
}

Handler Form::member_handler_for(std::string_view source, Event event) const {
  for (const EventBinding* binding : bindings_) {
    if (binding->event == event && binding->source == source) return binding->handler;
  }
  return nullptr;
}

void Form::unload() {
  if (!loaded()) return;
  app().trace([&] { return "unload " + path(); });
  menus_.clear();
  controls_.clear();
  set_window(nullptr);
  visible_ = false;
  ++load_number_;
  app().form_unloaded(*this);
}

Peer& Form::load_window() {
  load();
  return *current_window();
}

void Form::size_changed() {
  app().raise_event(*this, "", Event::Resize);
}

void Form::load() {
  WindowSystem& ws = app().window_system();
  // A child lives in the main window, which is there first.
  Form* main = design().mdi_child ? &app().main_form() : nullptr;
  if (main != nullptr) main->window();
  if (loaded()) return;  // loading the main window may have run code that loaded this form
  app().trace([&] { return "load " + path(); });
  std::unique_ptr<Peer> peer = main != nullptr ? ws.create_child_form(design(), *this)
                                               : ws.create_main_window(design(), *this);
  std::vector<std::unique_ptr<Control>> controls;
  for (const ControlDesign& design_of_control : design().controls) {
    auto control = make_control(*this, design_of_control);
    control->attach(ws.create_control(*this, design_of_control, *control));
    controls.push_back(std::move(control));
  }
  std::vector<std::unique_ptr<Menu>> menus;
  for (const MenuDesign& design_of_menu : design().menus) {
    auto menu = std::make_unique<Menu>(*this, design_of_menu);
    menu->attach(ws.create_menu_item(design_of_menu, *menu));
    menus.push_back(std::move(menu));
  }
  set_window(std::move(peer));
  controls_ = std::move(controls);
  menus_ = std::move(menus);
  ++load_number_;
  app().form_loaded(*this);
  if (main != nullptr && main->design().auto_show_children) display();
}

void Form::display() {
  if (visible_) return;
  current_window()->show();
  visible_ = true;
  // A form gets its Resize when it is first shown.
  size_changed();
}

}  // namespace rt
