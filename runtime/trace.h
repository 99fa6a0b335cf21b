#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "runtime/observer.h"

namespace rt {

// The trace: every operation the program performs on the runtime, a line each, as people read
// it. Numbers are the shortest text that reads back to the same value of their type; strings are
// double-quoted with C escapes; a variant argument is followed by its type ("4807.5:Single").
class TracePrinter final : public Observer {
 public:
  using LineSink = std::function<void(const std::string& line)>;

  explicit TracePrinter(LineSink sink) : sink_(std::move(sink)) {}
  // Each line onto `out`, ended by a line feed.
  explicit TracePrinter(std::ostream& out);

  // The line of a Move.
  static std::string move_line(std::string_view window, float left, const Variant& top,
                               const Variant& width, const Variant& height);

  void form_created(const Form& form) override;
  void form_loading(const Form& form) override;
  void form_shown(const Form& form) override;
  void form_unloaded(const Form& form) override;
  void event_begun(const Form& form, std::string_view source, Event event) override;
  void property_read(const Object& object, std::string_view property,
                     const Variant& value) override;
  void property_written(const Object& object, std::string_view property,
                        const Variant& value) override;
  void moved(const Object& window, float left, const Variant& top, const Variant& width,
             const Variant& height) override;
  void method_called(const Object& object, std::string_view method,
                     const Variant& argument) override;
  void form_indexed(int index, const Form& form) override;
  void member_by_name(const Object& object, std::string_view name, bool call) override;
  void function_declared(std::string_view library, std::string_view entry) override;
  void function_called(std::string_view entry, const std::array<std::int32_t, 4>& arguments,
                       std::int32_t result) override;
  void error_discarded(const Error& error) override;
  void error_reported(const Error& error) override;

 private:
  LineSink sink_;
};

}  // namespace rt
