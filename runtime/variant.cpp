#include "runtime/variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/error.h"
#include "runtime/object.h"

namespace rt {
namespace {

template <class T>
std::string shortest(T v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

}  // namespace

namespace detail {

void raise_type_mismatch() {
  raise(ErrorCode::TypeMismatch);
}
void raise_overflow() {
  raise(ErrorCode::Overflow);
}
void raise_division_by_zero(double dividend) {
  // 0 / 0 has no value at all: the runtime calls that an overflow.
  raise(dividend == 0.0 ? ErrorCode::Overflow : ErrorCode::DivisionByZero);
}

}  // namespace detail

std::string_view type_name(VarType type) {
  switch (type) {
    case VarType::Empty:
      return "Empty";
    case VarType::Integer:
      return "Integer";
    case VarType::Single:
      return "Single";
    case VarType::Double:
      return "Double";
    case VarType::String:
      return "String";
    case VarType::Boolean:
      return "Boolean";
    case VarType::Object:
      return "Object";
    case VarType::Long:
      return "Long";
  }
  return "?";
}

void Variant::type_mismatch() {
  detail::raise_type_mismatch();
}

void Variant::overflow() {
  detail::raise_overflow();
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.type_ != b.type_) return false;
  switch (a.type_) {
    case VarType::Empty:
      return true;
    case VarType::Integer:
      return a.scalar_.integer == b.scalar_.integer;
    case VarType::Long:
      return a.scalar_.long_value == b.scalar_.long_value;
    case VarType::Single:
      return a.scalar_.single == b.scalar_.single;
    case VarType::Double:
      return a.scalar_.dbl == b.scalar_.dbl;
    case VarType::String:
      return a.string_ == b.string_;
    case VarType::Boolean:
      return a.scalar_.boolean == b.scalar_.boolean;
    case VarType::Object:
      return a.scalar_.object == b.scalar_.object;
  }
  return false;
}

std::string Variant::to_string() const {
  switch (type_) {
    case VarType::Empty:
      return {};
    case VarType::Integer:
      return std::to_string(scalar_.integer);
    case VarType::Long:
      return std::to_string(scalar_.long_value);
    case VarType::Single:
      return format_number(scalar_.single);
    case VarType::Double:
      return format_number(scalar_.dbl);
    case VarType::String:
      return string_;
    case VarType::Boolean:
      return scalar_.boolean ? "True" : "False";
    case VarType::Object:
      raise(ErrorCode::TypeMismatch);
  }
  return {};
}

Variant Mod(const Variant& a, const Variant& b) {
  auto whole = [](const Variant& v) {
    const double rounded = std::nearbyint(v.to_double());  // the default mode: half to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) raise(ErrorCode::Overflow);
    return static_cast<int>(rounded);
  };
  const int dividend = whole(a);
  const int divisor = whole(b);
  if (divisor == 0) raise(ErrorCode::DivisionByZero);
  return Variant(static_cast<std::int16_t>(dividend % divisor));
}

Variant concat(const Variant& a, const Variant& b) {
  return Variant(a.to_string() + b.to_string());
}

void not_a_length(float twips) {
  if (std::isnan(twips)) raise(ErrorCode::InvalidProcedureCall, "length is not a number");
  raise(ErrorCode::Overflow);
}

std::string format_number(float v) {
  return shortest(v);
}
std::string format_number(double v) {
  return shortest(v);
}

std::string describe(const Variant& v) {
  std::string text;
  switch (v.type()) {
    case VarType::String:
      text = quote(v.string());
      break;
    case VarType::Object:
      text = v.object().path();
      break;
    default:
      text = v.to_string();
      break;
  }
  return text + ":" + std::string(type_name(v.type()));
}

std::string quote(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':  // typed backspaces, in a recording
        out += "\\b";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
          // Three octal digits, so that a digit after it cannot be read as part of it.
          const auto byte = static_cast<unsigned char>(c);
          out += '\\';
          out += static_cast<char>('0' + (byte >> 6));
          out += static_cast<char>('0' + ((byte >> 3) & 7));
          out += static_cast<char>('0' + (byte & 7));
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace rt
