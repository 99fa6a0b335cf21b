#pragma once

#include <string>
#include <string_view>

#include "runtime/variant.h"

namespace rt {

class Application;

// Anything code can hold a reference to: a form, a control, a menu item.
class Object {
 public:
  Object(Application& app, std::string path);
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  Application& app() const { return *app_; }
  // Where the object stands, as a person reads it: "frmResizeL.List1(0)".
  const std::string& path() const { return path_; }
  // Whether anybody observes what the program does. Every operation asks, so each object
  // keeps where the answer is: asking is a memory read, not a call.
  bool observed() const { return *observed_; }

  // Late binding: the member is looked up by its name at every call. A name the object
  // lacks raises the unsupported-member error.
  virtual Variant get_member(std::string_view name);
  virtual void call_member(std::string_view name);

 protected:
  [[noreturn]] void unsupported(std::string_view name) const;
  // The observers hear of a read or a write of this object's property. Only to be called when
  // observed(): out of line, so that no value is made for them otherwise.
  [[gnu::cold, gnu::noinline]] void tell_read(std::string_view property,
                                              const Variant& value) const;
  // The same for a length or a check mark, made into a variant only then.
  [[gnu::cold, gnu::noinline]] void tell_read(std::string_view property, float value) const;
  [[gnu::cold, gnu::noinline]] void tell_read(std::string_view property, bool value) const;
  [[gnu::cold, gnu::noinline]] void tell_written(std::string_view property,
                                                 const Variant& value) const;

 private:
  Application* app_;
  const bool* observed_;  // where the application keeps whether it is observed
  std::string path_;
};

// `object.name` and `object.name()` written in code, resolved at run time.
Variant get_by_name(Object& object, std::string_view name);
Variant get_by_name(const Variant& object, std::string_view name);
void call_by_name(Object& object, std::string_view name);

}  // namespace rt
