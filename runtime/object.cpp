#include "runtime/object.h"

#include "runtime/application.h"
#include "runtime/error.h"

namespace rt {

Object::Object(Application& app, std::string path)
    : app_(&app), observed_(app.observed_flag()), path_(std::move(path)) {}

Variant Object::get_member(std::string_view name) {
  unsupported(name);
}

void Object::call_member(std::string_view name) {
  unsupported(name);
}

void Object::tell_read(std::string_view property, const Variant& value) const {
  app_->notify([&](Observer& o) { o.property_read(*this, property, value); });
}

void Object::tell_read(std::string_view property, float value) const {
  tell_read(property, Variant(value));
}

void Object::tell_read(std::string_view property, bool value) const {
  tell_read(property, Variant(value));
}

void Object::tell_written(std::string_view property, const Variant& value) const {
  app_->notify([&](Observer& o) { o.property_written(*this, property, value); });
}

void Object::unsupported(std::string_view name) const {
  raise(ErrorCode::UnsupportedMember, path_ + "." + std::string(name));
}

Variant get_by_name(Object& object, std::string_view name) {
  object.app().notify([&](Observer& o) { o.member_by_name(object, name, false); });
  return object.get_member(name);
}

Variant get_by_name(const Variant& object, std::string_view name) {
  return get_by_name(object.object(), name);
}

void call_by_name(Object& object, std::string_view name) {
  object.app().notify([&](Observer& o) { o.member_by_name(object, name, true); });
  object.call_member(name);
}

}  // namespace rt
