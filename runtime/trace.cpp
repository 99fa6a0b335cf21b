#include "runtime/trace.h"

#include <cctype>
#include <ostream>

#include "runtime/error.h"
#include "runtime/form.h"

namespace rt {
namespace {

// A value as a read gives it: text quoted, anything else as it reads.
std::string shown(const Variant& value) {
  return value.type() == VarType::String ? quote(value.string()) : value.to_string();
}

std::string lower(std::string_view name) {
  std::string text(name);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string error_line(std::string_view what, const Error& error) {
  return std::string(what) + " " + std::to_string(error.number()) + " " + quote(error.message());
}

}  // namespace

TracePrinter::TracePrinter(std::ostream& out)
    : sink_([&out](const std::string& line) { out << line << '\n'; }) {}

std::string TracePrinter::move_line(std::string_view window, float left, const Variant& top,
                                    const Variant& width, const Variant& height) {
  return "move " + std::string(window) + " " + format_number(left) + " " + describe(top) + " " +
         describe(width) + " " + describe(height);
}

void TracePrinter::form_created(const Form& form) {
  sink_("create " + form.path());
}
void TracePrinter::form_loading(const Form& form) {
  sink_("load " + form.path());
}
void TracePrinter::form_shown(const Form& form) {
  sink_("show " + form.path());
}
void TracePrinter::form_unloaded(const Form& form) {
  sink_("unload " + form.path());
}

void TracePrinter::event_begun(const Form& form, std::string_view source, Event event) {
  std::string line = "event " + form.path();
  if (!source.empty()) line += "." + std::string(source);
  sink_(line + " " + std::string(event_name(event)));
}

void TracePrinter::property_read(const Object& object, std::string_view property,
                                 const Variant& value) {
  sink_("read " + object.path() + "." + std::string(property) + " -> " + shown(value));
}

void TracePrinter::property_written(const Object& object, std::string_view property,
                                    const Variant& value) {
  // A text replaced is named by what it is, "caption" or "text"; a check mark is plainly True
  // or False; a length keeps the type it was given.
  if (value.type() == VarType::String) {
    sink_(lower(property) + " " + object.path() + " " + quote(value.string()));
    return;
  }
  const std::string text = value.type() == VarType::Boolean ? value.to_string() : describe(value);
  sink_("write " + object.path() + "." + std::string(property) + " " + text);
}

void TracePrinter::moved(const Object& window, float left, const Variant& top, const Variant& width,
                         const Variant& height) {
  sink_(move_line(window.path(), left, top, width, height));
}

void TracePrinter::method_called(const Object& object, std::string_view method,
                                 const Variant& argument) {
  sink_(lower(method) + " " + object.path() + " " + shown(argument));
}

void TracePrinter::form_indexed(int index, const Form& form) {
  sink_("forms " + std::to_string(index) + " -> " + form.path());
}

void TracePrinter::member_by_name(const Object& object, std::string_view name, bool call) {
  sink_((call ? "callbyname " : "byname ") + object.path() + "." + std::string(name));
}

void TracePrinter::function_declared(std::string_view library, std::string_view entry) {
  sink_("declare " + std::string(library) + "." + std::string(entry));
}

void TracePrinter::function_called(std::string_view entry,
                                   const std::array<std::int32_t, 4>& arguments,
                                   std::int32_t result) {
  std::string line = "call " + std::string(entry);
  for (const std::int32_t argument : arguments) line += " " + std::to_string(argument);
  sink_(line + " -> " + std::to_string(result));
}

void TracePrinter::error_discarded(const Error& error) {
  sink_(error_line("resume", error));
}
void TracePrinter::error_reported(const Error& error) {
  sink_(error_line("report", error));
}

}  // namespace rt
