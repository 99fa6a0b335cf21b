#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "runtime/error.h"
#include "runtime/form.h"
#include "runtime/observer.h"
#include "runtime/project.h"
#include "runtime/window_system.h"

namespace rt {

// The forms runtime: runs a project on a window system. It holds the default-instance slots,
// the registry of loaded forms and the delivery of events.
class Application final : public EventSink {
 public:
  Application(Project project, WindowSystem& window_system);
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Creates the start-up form, whose own handlers show it; returns to the message loop.
  void start();
  // start(), then the message loop until the main window is closed. The exit status.
  int run();

  const Project& project() const { return project_; }
  WindowSystem& window_system() const { return *window_system_; }

  // The default instance of a form class: created by the first reference, which raises
  // the form's Initialize.
  Form& instance(std::string_view class_name);
  // The class is found by its C++ type: every reference from code goes through here.
  template <class T>
  T& instance() {
    return static_cast<T&>(instance_at(slot_of(typeid(T), T::class_name)));
  }
  // The instance if it exists, without creating it.
  Form* existing_instance(std::string_view class_name) const;
  // The project's MDI parent form.
  Form& main_form();
  // The same if it exists, without creating it.
  Form* existing_main_form() const {
    return main_slot_ < slots_.size() ? slots_[main_slot_].get() : nullptr;
  }

  // The registry of loaded forms, in load order.
  Form& Forms(int index);
  const std::vector<Form*>& loaded_forms() const { return forms_; }

  // `observer` is told of every operation the program performs on the runtime, for as long as
  // the subscription lives.
  Subscription observe(Observer& observer) { return Subscription(observers_, observer); }
  // Whether anybody watches, kept where objects look without a call.
  bool observed() const { return observers_->any(); }
  const bool* observed_flag() const { return observers_->any_flag(); }
  // Tells every observer, `call(observer)`, when there are any.
  template <class Call>
  void notify(Call&& call) {
    if (observers_->any()) [[unlikely]] {
      notify_all(call);
    }
  }

  // Where an error that reaches event delivery is reported; standard error by default.
  void set_error_reporter(std::function<void(const Error&)> reporter);
  std::size_t errors_reported() const { return errors_reported_; }

  // --- the runtime's side, used by forms, controls and the window system
  void raise_event(Form& form, std::string_view source, Event event);
  void form_loaded(Form& form);
  void form_unloaded(Form& form);
  // Resume-next discarded this error.
  void discarded(const Error& error);

  // EventSink: what the user did, each an event of the message loop.
  void main_window_resized() override;
  void clicked(Object& source) override;
  void form_resized_by_user(Object& form) override;
  void main_window_closed() override;

 private:
  // Out of line, so that telling costs the operations nothing while nobody watches.
  template <class Call>
  [[gnu::noinline, gnu::cold]] void notify_all(Call& call) {
    observers_->each(call);
  }
  template <class F>
  void from_message_loop(F&& deliver);
  std::size_t slot_of(const std::type_info& type, std::string_view class_name) const {
    // Every reference from code comes through here: a scan of a few pointers, kept together.
    for (std::size_t i = 0; i < types_.size(); ++i) {
      if (types_[i] == &type) return i;
    }
    return slot_of_equal_type(type, class_name);
  }
  // The same, comparing the types themselves: type_info objects of one type can differ across
  // shared libraries, where the addresses do not tell.
  std::size_t slot_of_equal_type(const std::type_info& type, std::string_view class_name) const;
  // The slot of the form class of that name; slots_.size() when the project has none.
  std::size_t slot_named(std::string_view class_name) const;
  Form& instance_at(std::size_t slot) {
    if (slots_[slot]) return *slots_[slot];
    return create_instance(slot);
  }
  Form& create_instance(std::size_t slot);
  void report(const Error& error);
  // Reports the exception being handled: a run-time error as it is, anything else as one.
  void report_current_exception();

  Project project_;
  WindowSystem* window_system_;
  std::vector<std::unique_ptr<Form>> slots_;  // one per form class, in project order
  std::vector<const std::type_info*> types_;  // the C++ type of each form class, likewise
  std::size_t main_slot_;                     // the MDI parent's; slots_.size() when none
  std::vector<Form*> forms_;
  std::shared_ptr<Observers> observers_ = std::make_shared<Observers>();
  std::function<void(const Error&)> reporter_;
  std::size_t errors_reported_ = 0;
  int delivering_ = 0;
};

// A form's default instance as code names it where it is written (`frmResizeL` in the main
// window's code). Early-bound, as BoundControl is: the first reference creates the instance,
// Initialize and all; an instance lives as long as its application, so what that found serves
// every later reference.
template <class T>
class BoundForm {
 public:
  explicit BoundForm(Application& app) : app_(&app) {}

  T& operator()() {
    if (form_ == nullptr) form_ = &app_->instance<T>();
    return *form_;
  }

 private:
  Application* app_;
  T* form_ = nullptr;
};

}  // namespace rt
