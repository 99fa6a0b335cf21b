#include "runtime/object.h"

#include "runtime/application.h"
#include "runtime/error.h"

namespace rt {

Object::Object(Application& app, std::string path)
    : app_(&app), tracer_(app.tracer_slot()), path_(std::move(path)) {}

Variant Object::get_member(std::string_view name) {
  unsupported(name);
}

void Object::call_member(std::string_view name) {
  unsupported(name);
}

void Object::unsupported(std::string_view name) const {
  raise(ErrorCode::UnsupportedMember, path_ + "." + std::string(name));
}

Variant get_by_name(Object& object, std::string_view name) {
  object.app().trace([&] { return "byname " + object.path() + "." + std::string(name); });
  return object.get_member(name);
}

Variant get_by_name(const Variant& object, std::string_view name) {
  return get_by_name(object.object(), name);
}

void call_by_name(Object& object, std::string_view name) {
  object.app().trace([&] { return "callbyname " + object.path() + "." + std::string(name); });
  object.call_member(name);
}

}  // namespace rt
