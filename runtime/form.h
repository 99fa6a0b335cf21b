#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "runtime/controls.h"
#include "runtime/error.h"
#include "runtime/project.h"
#include "runtime/window.h"

namespace rt {

// A form: the class of the main window (MDIForm) and of its children. The C++ object is the
// form's one instance; its window exists from the first access that needs it (loading).
class Form : public Window {
 public:
  Form(Application& app, const FormClass& form_class);
  ~Form() override;

  const FormDesign& design() const { return form_class_->design; }
  const std::string& class_name() const { return design().name; }
  bool loaded() const { return current_window() != nullptr; }
  // Counts the loads and unloads of the form: what code bound to its controls stays valid
  // while this stays the same.
  std::uint64_t load_number() const { return load_number_; }

  // The size of the client area, in twips.
  float ScaleWidth() { return read("ScaleWidth", window().client_size().width); }
  float ScaleHeight() { return read("ScaleHeight", window().client_size().height); }
  // Loads the form if needed and displays it, modeless.
  void Show();

  // Controls as code reaches them; either access loads the form.
  template <class C>
  C& control(std::string_view name) {
    return checked_cast<C>(find_control(name, -1));
  }
  template <class C>
  C& control(std::string_view name, std::int16_t index) {
    return checked_cast<C>(find_control(name, index));
  }
  Menu& menu(std::string_view name);

  Variant get_member(std::string_view name) override;
  void call_member(std::string_view name) override;

  // Inspection: what is there while the form is loaded, without loading it; nullptr otherwise.
  Peer* peer_if_loaded() const { return current_window(); }
  // A control by name, an element of a control array by its index too.
  Control* loaded_control(std::string_view name, int index = -1) const;
  Menu* loaded_menu(std::string_view name) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  const std::vector<std::unique_ptr<Menu>>& menus() const { return menus_; }

  // The runtime's side: the handler bound to an event of this form or one of its controls.
  Handler handler_for(std::string_view source, Event event) const {
    if (source.empty()) return own_handlers_[static_cast<std::size_t>(event)];
    return member_handler_for(source, event);
  }
  // The window is gone (closed by the user); the next access loads it again.
  void unload();

 protected:
  Peer& load_window() override;
  void size_changed() override;

 private:
  template <class C>
  static C& checked_cast(Control& control) {
    // Every control was made by make_control() for its design's kind, so the kind tells the
    // class.
    if (control.design().kind != C::kKind) raise(ErrorCode::TypeMismatch, control.path());
    return static_cast<C&>(control);
  }
  Control& find_control(std::string_view name, int index);
  Handler member_handler_for(std::string_view source, Event event) const;
  void load();
  void display();

  const FormClass* form_class_;
  // The form's own events (Resize on every size change) by event; those of its controls and
  // menu items by name.
  std::array<Handler, kEventCount> own_handlers_{};
  std::vector<const EventBinding*> bindings_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::unique_ptr<Menu>> menus_;
  bool visible_ = false;
  std::uint64_t load_number_ = 0;
};

// The main window; its client area is the MDI client area that holds the children.
class MDIForm : public Form {
 public:
  using Form::Form;
};

// A control or menu item as a form's code names it where it is written: `Text1()`, `List1(j)`,
// `mnuOplossing()`. Such a reference is early-bound, as in compiled code: the name is looked up
// the first time after each load of the form, and what it found serves while the form stays
// loaded. (What code reaches by name at run time, with get_by_name(), is looked up at every
// call.) A member of the form it belongs to.
template <class C>
class BoundControl {
 public:
  BoundControl(Form& form, const char* name) : form_(&form), name_(name) {}

  C& operator()() {
    if (control_ == nullptr || load_number_ != form_->load_number()) {
      // Looked up on the form, which loads it if needed.
      if constexpr (std::is_same_v<C, Menu>) {
        control_ = &form_->menu(name_);
      } else {
        control_ = &form_->control<C>(name_);
      }
      load_number_ = form_->load_number();
    }
    return *control_;
  }

 private:
  Form* form_;
  const char* name_;
  C* control_ = nullptr;
  std::uint64_t load_number_ = 0;
};

// An element of a control array, `List1(j)`; bound as BoundControl is, element by element.
template <class C>
class BoundControlArray {
 public:
  BoundControlArray(Form& form, const char* name) : form_(&form), name_(name) {}

  C& operator()(std::int16_t index) {
    const auto slot = static_cast<std::size_t>(index);
    if (load_number_ == form_->load_number() && index >= 0 && slot < elements_.size() &&
        elements_[slot] != nullptr) {
      return *elements_[slot];
    }
    C& element = form_->control<C>(name_, index);  // loads the form if needed
    if (load_number_ != form_->load_number()) {
      elements_.clear();
      load_number_ = form_->load_number();
    }
    if (index >= 0) {
      if (slot >= elements_.size()) elements_.resize(slot + 1, nullptr);
      elements_[slot] = &element;
    }
    return element;
  }

 private:
  Form* form_;
  const char* name_;
  std::vector<C*> elements_;
  std::uint64_t load_number_ = 0;
};

// A menu item of the form, `mnuOplossing()`.
using BoundMenu = BoundControl<Menu>;

}  // namespace rt
