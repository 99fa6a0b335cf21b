#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
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
  bool loaded() const { return peer_ != nullptr; }

  // The size of the client area, in twips.
  float ScaleWidth();
  float ScaleHeight();
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

  // Inspection: what is there while the form is loaded, without loading it.
  Peer* peer_if_loaded() const { return peer_.get(); }
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  const std::vector<std::unique_ptr<Menu>>& menus() const { return menus_; }

  // The runtime's side: the handler bound to an event of this form or one of its controls.
  Handler handler_for(std::string_view source, Event event) const;
  // The window is gone (closed by the user); the next access loads it again.
  void unload();

 protected:
  Peer& window() override;
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
  void load();
  void display();

  const FormClass* form_class_;
  std::vector<const EventBinding*> bindings_;
  std::unique_ptr<Peer> peer_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::unique_ptr<Menu>> menus_;
  bool visible_ = false;
};

// The main window; its client area is the MDI client area that holds the children.
class MDIForm : public Form {
 public:
  using Form::Form;
};

}  // namespace rt
