#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace rt {

class Object;

enum class VarType : std::uint8_t { Empty, Integer, Single, Double, String, Boolean, Object };

std::string_view type_name(VarType type);

// The runtime's tagged value. Which type a value carries is part of the program's behaviour
// (a Move argument given as a 16-bit integer is not the same as one given as a single), so
// constructors take exactly one type each and nothing converts implicitly between them.
class Variant {
 public:
  Variant() = default;
  Variant(std::int16_t v) : value_(v) {}
  Variant(float v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(bool v) : value_(v) {}
  Variant(std::string v) : value_(std::move(v)) {}
  Variant(const char* v) : value_(std::string(v)) {}
  Variant(Object& object) : value_(&object) {}
  // Guard against an int silently becoming a Boolean or a double.
  Variant(int) = delete;
  Variant(long) = delete;

  VarType type() const { return static_cast<VarType>(value_.index()); }
  bool is_numeric() const;

  // Exact accessors: raise the type-mismatch error when the value has another type.
  std::int16_t integer() const;
  float single() const;
  double dbl() const;
  bool boolean() const;
  const std::string& string() const;
  Object& object() const;

  // Conversions as the runtime coerces values: numeric and Boolean values widen to double;
  // Empty is 0. Anything else is a type mismatch.
  double to_double() const;
  // A single: a double outside the single's range is an overflow, not an infinity.
  float to_single() const;
  // Truth of a condition: a number is true when not zero.
  bool to_bool() const;
  // The text that `&` joins: numbers in their shortest form, Booleans as True/False.
  std::string to_string() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  std::variant<std::monostate, std::int16_t, float, double, std::string, bool, Object*> value_;
};

// Arithmetic as the runtime does it. The result type follows the wider operand
// (Integer < Single < Double); Integer with Integer stays Integer and overflows outside
// -32768..32767. Division: Single / Integer gives a Single, Integer / Integer a Double.
Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
// Rounds toward negative infinity and keeps the numeric type.
Variant Int(const Variant& v);
// Integer remainder of the operands rounded to whole numbers (half to even); the sign follows a.
Variant Mod(const Variant& a, const Variant& b);
// `&`: joins the text of both operands.
Variant concat(const Variant& a, const Variant& b);
// Numeric comparison, `>`.
bool greater(const Variant& a, const Variant& b);

// A length handed to Move or a Width write: a single in twips. A double too large for a single
// raises the overflow error; a value that is not a number raises invalid procedure call.
float to_twips(const Variant& v);

// Shortest text that reads back to the same value of its type.
std::string format_number(float v);
std::string format_number(double v);
// "4807.5:Single", "0:Integer", "\"text\":String" (for traces and test messages).
std::string describe(const Variant& v);
// Double-quoted with C escapes: "a\r\nb".
std::string quote(std::string_view text);

}  // namespace rt
