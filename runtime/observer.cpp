#include "runtime/observer.h"

#include <algorithm>
#include <utility>

namespace rt {

void Observer::form_created(const Form&) {}
void Observer::form_loading(const Form&) {}
void Observer::form_shown(const Form&) {}
void Observer::form_unloaded(const Form&) {}
void Observer::event_begun(const Form&, std::string_view, Event) {}
void Observer::event_ended(const Form&, std::string_view, Event) {}
void Observer::property_read(const Object&, std::string_view, const Variant&) {}
void Observer::property_written(const Object&, std::string_view, const Variant&) {}
void Observer::moved(const Object&, float, const Variant&, const Variant&, const Variant&) {}
void Observer::method_called(const Object&, std::string_view, const Variant&) {}
void Observer::form_indexed(int, const Form&) {}
void Observer::member_by_name(const Object&, std::string_view, bool) {}
void Observer::function_declared(std::string_view, std::string_view) {}
void Observer::function_called(std::string_view, const std::array<std::int32_t, 4>&, std::int32_t) {
}
void Observer::error_discarded(const Error&) {}
void Observer::error_reported(const Error&) {}

void Observers::add(Observer& observer) {
  list_.push_back(&observer);
  any_ = true;
}

void Observers::remove(Observer& observer) {
  const auto found = std::find(list_.begin(), list_.end(), &observer);
  if (found == list_.end()) return;
  if (telling_ > 0) {
    *found = nullptr;
  } else {
    list_.erase(found);
  }
  any_ = std::any_of(list_.begin(), list_.end(), [](const Observer* o) { return o != nullptr; });
}

void Observers::clear() {
  for (Observer*& observer : list_) observer = nullptr;
  any_ = false;
  if (telling_ == 0) close_holes();
}

void Observers::close_holes() {
  std::erase(list_, nullptr);
}

Subscription::Subscription(const std::shared_ptr<Observers>& observers, Observer& observer)
    : observers_(observers), observer_(&observer) {
  observers->add(observer);
}

Subscription::Subscription(Subscription&& other) noexcept
    : observers_(std::move(other.observers_)), observer_(std::exchange(other.observer_, nullptr)) {}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
  if (this != &other) {
    end();
    observers_ = std::move(other.observers_);
    observer_ = std::exchange(other.observer_, nullptr);
  }
  return *this;
}

void Subscription::end() {
  if (observer_ == nullptr) return;
  if (const std::shared_ptr<Observers> observers = observers_.lock()) observers->remove(*observer_);
  observer_ = nullptr;
}

}  // namespace rt
