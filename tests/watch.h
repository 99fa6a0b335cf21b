#pragma once

// What the program did on the runtime, as the observers are told it, kept for tests to ask.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/application.h"
#include "runtime/error.h"

class Watch final : public rt::Observer {
 public:
  enum class What { Event, Read, Write, Move, CallByName, Discarded };
  struct Call {
    What what;
    std::string
        object;        // "frmResizeT.Label1"; an event's form and source, "MDIResize.mnuOplossing"
    std::string name;  // the property, the event, the member; a discarded error's code
    std::vector<rt::Variant> values;  // a read's or a write's value; a Move's four arguments
  };

  explicit Watch(rt::Application& app) : subscription_(app.observe(*this)) {}
  void stop() { subscription_.end(); }

  // How many calls of this kind on `object` there were, named `name` when one is given.
  int count(What what, std::string_view object, std::string_view name = {}) const {
    int found = 0;
    for (const Call& c : calls) found += matches(c, what, object, name);
    return found;
  }
  // The first value of each of them.
  std::vector<rt::Variant> values(What what, std::string_view object,
                                  std::string_view name = {}) const {
    std::vector<rt::Variant> found;
    for (const Call& c : calls) {
      if (matches(c, what, object, name) && !c.values.empty()) found.push_back(c.values.front());
    }
    return found;
  }

  std::vector<Call> calls;
  std::function<void()> on_call;  // after each call is kept

  void event_begun(const rt::Form& form, std::string_view source, rt::Event event) override {
    keep({What::Event,
          form.path() + (source.empty() ? "" : "." + std::string(source)),
          std::string(rt::event_name(event)),
          {}});
  }
  void property_read(const rt::Object& object, std::string_view property,
                     const rt::Variant& value) override {
    keep({What::Read, object.path(), std::string(property), {value}});
  }
  void property_written(const rt::Object& object, std::string_view property,
                        const rt::Variant& value) override {
    keep({What::Write, object.path(), std::string(property), {value}});
  }
  void moved(const rt::Object& window, float left, const rt::Variant& top, const rt::Variant& width,
             const rt::Variant& height) override {
    keep({What::Move, window.path(), "Move", {rt::Variant(left), top, width, height}});
  }
  void member_by_name(const rt::Object& object, std::string_view name, bool call) override {
    if (call) keep({What::CallByName, object.path(), std::string(name), {}});
  }
  void error_discarded(const rt::Error& error) override {
    keep({What::Discarded, "", std::to_string(error.number()), {}});
  }

 private:
  static bool matches(const Call& c, What what, std::string_view object, std::string_view name) {
    return c.what == what && (object.empty() || c.object == object) &&
           (name.empty() || c.name == name);
  }
  void keep(Call call) {
    calls.push_back(std::move(call));
    if (on_call) on_call();
  }

  rt::Subscription subscription_;
};
