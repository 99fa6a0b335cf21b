#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "runtime/project.h"
#include "runtime/variant.h"

namespace rt {

class Error;
class Form;
class Object;

// Watches what the program does on the runtime as it happens: a typed call for every
// operation, with its values as the runtime holds them. Each observer overrides what it needs;
// the rest does nothing.
class Observer {
 public:
  virtual ~Observer() = default;

  // A form's default instance made by its first reference (its Initialize follows); its window
  // about to be made with its controls and menu items; shown by Show; closed.
  virtual void form_created(const Form& form);
  virtual void form_loading(const Form& form);
  virtual void form_shown(const Form& form);
  virtual void form_unloaded(const Form& form);
  // The handler of `event` of the form, or of its control or menu item `source` (empty for the
  // form's own events), begins, and has ended, however it ended.
  virtual void event_begun(const Form& form, std::string_view source, Event event);
  virtual void event_ended(const Form& form, std::string_view source, Event event);
  // Property `property` of `object` read, giving `value`; or written with `value` as the
  // runtime takes it (a Caption or Text as the text it becomes).
  virtual void property_read(const Object& object, std::string_view property, const Variant& value);
  virtual void property_written(const Object& object, std::string_view property,
                                const Variant& value);
  // Move, its arguments as the program gave them: Left a single, the others variants.
  virtual void moved(const Object& window, float left, const Variant& top, const Variant& width,
                     const Variant& height);
  // A method of one argument called: AddItem with the text it adds.
  virtual void method_called(const Object& object, std::string_view method,
                             const Variant& argument);
  // Forms(index) gave `form`.
  virtual void form_indexed(int index, const Form& form);
  // Member `name` of `object` looked up by name at run time, or called by name.
  virtual void member_by_name(const Object& object, std::string_view name, bool call);
  // A declared native function looked up (at its first call only), and called.
  virtual void function_declared(std::string_view library, std::string_view entry);
  virtual void function_called(std::string_view entry, const std::array<std::int32_t, 4>& arguments,
                               std::int32_t result);
  // An error discarded by resume-next error handling, or one that reached event delivery (it
  // is reported next).
  virtual void error_discarded(const Error& error);
  virtual void error_reported(const Error& error);
};

// The observers of one application, shared with the subscriptions that put them there, which
// may outlive it. One may come or go while the others are being told something.
class Observers {
 public:
  // Whether anybody watches: what every operation asks before it makes a value to tell.
  bool any() const { return any_; }
  const bool* any_flag() const { return &any_; }

  template <class Call>
  void each(Call&& call) {
    Telling telling(*this);
    for (std::size_t i = 0; i < list_.size(); ++i) {
      if (list_[i] != nullptr) call(*list_[i]);
    }
  }

  void add(Observer& observer);
  void remove(Observer& observer);
  // None is told anything more.
  void clear();

 private:
  // While observers are told, one that goes leaves a hole, closed afterwards.
  class Telling {
   public:
    explicit Telling(Observers& observers) : observers_(&observers) { ++observers_->telling_; }
    ~Telling() {
      if (--observers_->telling_ == 0) observers_->close_holes();
    }
    Telling(const Telling&) = delete;
    Telling& operator=(const Telling&) = delete;

   private:
    Observers* observers_;
  };
  void close_holes();

  std::vector<Observer*> list_;
  bool any_ = false;
  int telling_ = 0;
};

// An observer's place among an application's observers, for as long as this lives.
class [[nodiscard]] Subscription {
 public:
  Subscription() = default;
  Subscription(const std::shared_ptr<Observers>& observers, Observer& observer);
  Subscription(Subscription&& other) noexcept;
  Subscription& operator=(Subscription&& other) noexcept;
  ~Subscription() { end(); }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;

  // The observer is told nothing more.
  void end();

 private:
  std::weak_ptr<Observers> observers_;
  Observer* observer_ = nullptr;
};

}  // namespace rt
