#include "runtime/variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/error.h"
#include "runtime/object.h"

namespace rt {
namespace {

// Arithmetic happens in one of three numeric types; Empty and Boolean count as Integer.
enum class Rank { Integer, Single, Double };

Rank rank_of(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Integer:
    case VarType::Boolean:
      return Rank::Integer;
    case VarType::Single:
      return Rank::Single;
    case VarType::Double:
      return Rank::Double;
    default:
      raise(ErrorCode::TypeMismatch);
  }
}

// Builds the result of an operation computed in double. For + - * / on two singles the
// double result rounded once to single equals the single operation's own result, so this
// loses nothing.
Variant make(Rank rank, double value) {
  if (!std::isfinite(value)) raise(ErrorCode::Overflow);
  switch (rank) {
    case Rank::Integer:
      if (value < -32768.0 || value > 32767.0) raise(ErrorCode::Overflow);
      return Variant(static_cast<std::int16_t>(value));
    case Rank::Single: {
      const auto single = static_cast<float>(value);
      if (!std::isfinite(single)) raise(ErrorCode::Overflow);
      return Variant(single);
    }
    case Rank::Double:
      return Variant(value);
  }
  raise(ErrorCode::Internal);
}

template <class Op>
Variant arithmetic(const Variant& a, const Variant& b, Op op) {
  const Rank rank = std::max(rank_of(a), rank_of(b));
  return make(rank, op(a.to_double(), b.to_double()));
}

template <class T>
std::string shortest(T v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

}  // namespace

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
  }
  return "?";
}

bool Variant::is_numeric() const {
  const VarType t = type();
  return t == VarType::Integer || t == VarType::Single || t == VarType::Double;
}

std::int16_t Variant::integer() const {
  if (type() != VarType::Integer) raise(ErrorCode::TypeMismatch);
  return std::get<std::int16_t>(value_);
}

float Variant::single() const {
  if (type() != VarType::Single) raise(ErrorCode::TypeMismatch);
  return std::get<float>(value_);
}

double Variant::dbl() const {
  if (type() != VarType::Double) raise(ErrorCode::TypeMismatch);
  return std::get<double>(value_);
}

bool Variant::boolean() const {
  if (type() != VarType::Boolean) raise(ErrorCode::TypeMismatch);
  return std::get<bool>(value_);
}

const std::string& Variant::string() const {
  if (type() != VarType::String) raise(ErrorCode::TypeMismatch);
  return std::get<std::string>(value_);
}

Object& Variant::object() const {
  if (type() != VarType::Object) raise(ErrorCode::TypeMismatch);
  return *std::get<Object*>(value_);
}

double Variant::to_double() const {
  switch (type()) {
    case VarType::Empty:
      return 0.0;
    case VarType::Integer:
      return std::get<std::int16_t>(value_);
    case VarType::Single:
      return std::get<float>(value_);
    case VarType::Double:
      return std::get<double>(value_);
    case VarType::Boolean:
      return std::get<bool>(value_) ? -1.0 : 0.0;
    default:
      raise(ErrorCode::TypeMismatch);
  }
}

float Variant::to_single() const {
  if (type() == VarType::Single) return std::get<float>(value_);
  const double d = to_double();
  const auto single = static_cast<float>(d);
  if (std::isfinite(d) && !std::isfinite(single)) raise(ErrorCode::Overflow);
  return single;
}

bool Variant::to_bool() const {
  if (type() == VarType::Boolean) return std::get<bool>(value_);
  return to_double() != 0.0;
}

std::string Variant::to_string() const {
  switch (type()) {
    case VarType::Empty:
      return {};
    case VarType::Integer:
      return std::to_string(std::get<std::int16_t>(value_));
    case VarType::Single:
      return format_number(std::get<float>(value_));
    case VarType::Double:
      return format_number(std::get<double>(value_));
    case VarType::String:
      return std::get<std::string>(value_);
    case VarType::Boolean:
      return std::get<bool>(value_) ? "True" : "False";
    case VarType::Object:
      raise(ErrorCode::TypeMismatch);
  }
  return {};
}

Variant operator+(const Variant& a, const Variant& b) {
  return arithmetic(a, b, [](double x, double y) { return x + y; });
}

Variant operator-(const Variant& a, const Variant& b) {
  return arithmetic(a, b, [](double x, double y) { return x - y; });
}

Variant operator*(const Variant& a, const Variant& b) {
  return arithmetic(a, b, [](double x, double y) { return x * y; });
}

Variant operator/(const Variant& a, const Variant& b) {
  // Integer / Integer has no integer result; it gives a Double.
  const Rank rank = std::max({rank_of(a), rank_of(b), Rank::Single});
  const bool both_integer = rank_of(a) == Rank::Integer && rank_of(b) == Rank::Integer;
  const double divisor = b.to_double();
  const double dividend = a.to_double();
  if (divisor == 0.0) raise(dividend == 0.0 ? ErrorCode::Overflow : ErrorCode::DivisionByZero);
  return make(both_integer ? Rank::Double : rank, dividend / divisor);
}

Variant Int(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
      return Variant(std::int16_t{0});
    case VarType::Integer:
      return v;
    case VarType::Boolean:
      return Variant(static_cast<std::int16_t>(v.to_double()));
    case VarType::Single:
      return Variant(std::floor(v.single()));
    case VarType::Double:
      return Variant(std::floor(v.dbl()));
    default:
      raise(ErrorCode::TypeMismatch);
  }
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

bool greater(const Variant& a, const Variant& b) {
  if (a.type() == VarType::String && b.type() == VarType::String) return a.string() > b.string();
  return a.to_double() > b.to_double();
}

float to_twips(const Variant& v) {
  const float twips = v.to_single();
  if (std::isnan(twips)) raise(ErrorCode::InvalidProcedureCall, "length is not a number");
  if (!std::isfinite(twips)) raise(ErrorCode::Overflow);
  return twips;
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
