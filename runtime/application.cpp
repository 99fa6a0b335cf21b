#include "runtime/application.h"

#include <algorithm>
#include <iostream>
#include <new>

namespace rt {

std::string_view event_name(Event event) {
  switch (event) {
    case Event::Initialize:
      return "Initialize";
    case Event::Resize:
      return "Resize";
    case Event::Click:
      return "Click";
  }
  return "?";
}

namespace {

// Why a row of the event table cannot be bound, or empty: a row that names no procedure, no
// form of the project, no control or menu item of its form, or an event its source does not
// have, would otherwise never run, and nobody would know.
std::string unbindable(const Project& project, const EventBinding& row) {
  if (row.handler == nullptr) return "names no procedure";
  const auto form = std::find_if(project.forms.begin(), project.forms.end(),
                                 [&](const FormClass& f) { return f.design.name == row.form; });
  if (form == project.forms.end()) return "names no form of the project";
  const bool own = row.source.empty();
  if (!own) {
    const FormDesign& design = form->design;
    const bool control = std::any_of(design.controls.begin(), design.controls.end(),
                                     [&](const ControlDesign& c) { return c.name == row.source; });
    const bool menu = std::any_of(design.menus.begin(), design.menus.end(),
                                  [&](const MenuDesign& m) { return m.name == row.source; });
    if (!control && !menu) return row.form + " has no control or menu item " + row.source;
  }
  // A form has Initialize and Resize; its controls and menu items are clicked.
  const bool known = own ? row.event == Event::Initialize || row.event == Event::Resize
                         : row.event == Event::Click;
  if (!known) return "names an event its source does not have";
  return {};
}

void check_events(const Project& project) {
  for (std::size_t i = 0; i < project.events.size(); ++i) {
    const EventBinding& row = project.events[i];
    const std::string why = unbindable(project, row);
    if (why.empty()) continue;
    std::string message = "row " + std::to_string(i + 1) + " of the event table (" + row.form;
    if (!row.source.empty()) message += "." + row.source;
    message += " ";
    message += event_name(row.event);
    message += ") ";
    message += why;
    raise(ErrorCode::Internal, message);
  }
}

}  // namespace

Application::Application(Project project, WindowSystem& window_system)
    : project_(std::move(project)), window_system_(&window_system) {
  check_events(project_);
  slots_.resize(project_.forms.size());
  for (const FormClass& form_class : project_.forms) types_.push_back(form_class.type);
  main_slot_ = static_cast<std::size_t>(
      std::find_if(project_.forms.begin(), project_.forms.end(),
                   [](const FormClass& form_class) { return form_class.design.mdi_form; }) -
      project_.forms.begin());
  window_system_->attach(this);
}

Application::~Application() {
  // Closing the windows is the runtime's own doing, not the program's.
  observers_->clear();
  window_system_->attach(nullptr);
  // Children go before the main window that holds them.
  while (!forms_.empty()) forms_.back()->unload();
  slots_.clear();
}

void Application::start() {
  from_message_loop([&] { instance(project_.startup); });
}

int Application::run() {
  start();
  return window_system_->run_message_loop();
}

Form& Application::instance(std::string_view class_name) {
  const std::size_t slot = slot_named(class_name);
  if (slot == slots_.size()) {
    raise(ErrorCode::Internal, "the project has no form " + std::string(class_name));
  }
  return instance_at(slot);
}

Form* Application::existing_instance(std::string_view class_name) const {
  const std::size_t slot = slot_named(class_name);
  return slot < slots_.size() ? slots_[slot].get() : nullptr;
}

std::size_t Application::slot_named(std::string_view class_name) const {
  const auto found = std::find_if(
      project_.forms.begin(), project_.forms.end(),
      [&](const FormClass& form_class) { return form_class.design.name == class_name; });
  return static_cast<std::size_t>(found - project_.forms.begin());
}

std::size_t Application::slot_of_equal_type(const std::type_info& type,
                                            std::string_view class_name) const {
  for (std::size_t i = 0; i < types_.size(); ++i) {
    if (*types_[i] == type) return i;
  }
  raise(ErrorCode::Internal, "the project has no form " + std::string(class_name));
}

Form& Application::create_instance(std::size_t slot) {
  const FormClass& form_class = project_.forms[slot];
  slots_[slot] = form_class.create(*this, form_class);
  notify([&](Observer& o) { o.form_created(*slots_[slot]); });
  raise_event(*slots_[slot], "", Event::Initialize);
  return *slots_[slot];
}

Form& Application::main_form() {
  if (main_slot_ == slots_.size()) raise(ErrorCode::Internal, "the project has no MDI form");
  return instance_at(main_slot_);
}

Form& Application::Forms(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= forms_.size()) {
    raise(ErrorCode::SubscriptOutOfRange, "Forms(" + std::to_string(index) + ")");
  }
  Form& form = *forms_[static_cast<std::size_t>(index)];
  notify([&](Observer& o) { o.form_indexed(index, form); });
  return form;
}

void Application::set_error_reporter(std::function<void(const Error&)> reporter) {
  reporter_ = std::move(reporter);
}

void Application::raise_event(Form& form, std::string_view source, Event event) {
  const Handler handler = form.handler_for(source, event);
  if (handler == nullptr) return;
  notify([&](Observer& o) { o.event_begun(form, source, event); });
  ++delivering_;
  // An error that escapes a handler ends here: it is reported, and the program goes on.
  try {
    handler(form);
  } catch (...) {
    report_current_exception();
  }
  --delivering_;
  notify([&](Observer& o) { o.event_ended(form, source, event); });
}

void Application::form_loaded(Form& form) {
  forms_.push_back(&form);
}

void Application::form_unloaded(Form& form) {
  std::erase(forms_, &form);
}

void Application::discarded(const Error& error) {
  notify([&](Observer& o) { o.error_discarded(error); });
}

void Application::main_window_resized() {
  from_message_loop([&] {
    Form& main = main_form();
    if (main.loaded()) raise_event(main, "", Event::Resize);
  });
}

void Application::clicked(Object& source) {
  from_message_loop([&] {
    if (auto* control = dynamic_cast<Control*>(&source)) {
      raise_event(control->form(), control->name(), Event::Click);
    } else if (auto* menu = dynamic_cast<Menu*>(&source)) {
      raise_event(menu->form(), menu->name(), Event::Click);
    }
  });
}

void Application::form_resized_by_user(Object& form) {
  from_message_loop([&] {
    if (auto* resized = dynamic_cast<Form*>(&form)) raise_event(*resized, "", Event::Resize);
  });
}

void Application::main_window_closed() {
  from_message_loop([&] {
    while (!forms_.empty()) forms_.back()->unload();
  });
  window_system_->quit();
}

template <class F>
void Application::from_message_loop(F&& deliver) {
  ++delivering_;
  // Outside a handler too (creating the start-up form, say): nothing escapes into the loop.
  try {
    deliver();
  } catch (...) {
    report_current_exception();
  }
  if (--delivering_ == 0) window_system_->idle();
}

void Application::report_current_exception() {
  try {
    throw;
  } catch (const Error& error) {
    report(error);
  } catch (const std::bad_alloc&) {
    report(Error(ErrorCode::OutOfMemory));
  } catch (const std::exception& error) {
    report(Error(ErrorCode::Internal, error.what()));
  }
}

void Application::report(const Error& error) {
  ++errors_reported_;
  notify([&](Observer& o) { o.error_reported(error); });
  if (reporter_) {
    reporter_(error);
  } else {
    std::cerr << report_line(error);
  }
}

}  // namespace rt
