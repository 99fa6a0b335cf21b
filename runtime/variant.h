#pragma once

#include <cmath>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

namespace rt {

class Object;

enum class VarType : std::uint8_t { Empty, Integer, Single, Double, String, Boolean, Object, Long };

std::string_view type_name(VarType type);

// The runtime's tagged value. Which type a value carries is part of the program's behaviour
// (a Move argument given as a 16-bit integer is not the same as one given as a single), so
// constructors take exactly one type each and nothing converts implicitly between them.
//
// A hand-made tagged union rather than std::variant: a layout pass makes and reads dozens of
// these, and this way a numeric one is made, read and dropped without a dispatch through a
// table, only a string owns anything.
class Variant {
 public:
  Variant() noexcept : scalar_{} {}
  Variant(std::int16_t v) noexcept : type_(VarType::Integer) { scalar_.integer = v; }
  Variant(float v) noexcept : type_(VarType::Single) { scalar_.single = v; }
  Variant(double v) noexcept : type_(VarType::Double) { scalar_.dbl = v; }
  Variant(bool v) noexcept : type_(VarType::Boolean) { scalar_.boolean = v; }
  Variant(std::string v) : type_(VarType::String) { new (&string_) std::string(std::move(v)); }
  Variant(const char* v) : Variant(std::string(v)) {}
  Variant(Object& object) noexcept : type_(VarType::Object) { scalar_.object = &object; }
  // A 32-bit integer (a window handle, a count) is made by name, as an int converts to
  // nothing.
  static Variant Long(std::int32_t v) noexcept {
    Variant long_value;
    long_value.type_ = VarType::Long;
    long_value.scalar_.long_value = v;
    return long_value;
  }
  // Guard against an int silently becoming a Boolean or a double.
  Variant(int) = delete;
  Variant(long) = delete;

  Variant(const Variant& other) : type_(other.type_) {
    if (type_ == VarType::String) {
      new (&string_) std::string(other.string_);
    } else {
      scalar_ = other.scalar_;
    }
  }
  Variant(Variant&& other) noexcept : type_(other.type_) {
    if (type_ == VarType::String) {
      new (&string_) std::string(std::move(other.string_));
    } else {
      scalar_ = other.scalar_;
    }
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      reset();
      type_ = other.type_;
      if (type_ == VarType::String) {
        new (&string_) std::string(std::move(other.string_));
      } else {
        scalar_ = other.scalar_;
      }
    }
    return *this;
  }
  Variant& operator=(const Variant& other) {
    if (this != &other) *this = Variant(other);
    return *this;
  }
  ~Variant() { reset(); }

  VarType type() const { return type_; }

  // Exact accessors: raise the type-mismatch error when the value has another type.
  std::int16_t integer() const {
    if (type_ != VarType::Integer) type_mismatch();
    return scalar_.integer;
  }
  std::int32_t long_value() const {
    if (type_ != VarType::Long) type_mismatch();
    return scalar_.long_value;
  }
  float single() const {
    if (type_ != VarType::Single) type_mismatch();
    return scalar_.single;
  }
  double dbl() const {
    if (type_ != VarType::Double) type_mismatch();
    return scalar_.dbl;
  }
  bool boolean() const {
    if (type_ != VarType::Boolean) type_mismatch();
    return scalar_.boolean;
  }
  const std::string& string() const {
    if (type_ != VarType::String) type_mismatch();
    return string_;
  }
  Object& object() const {
    if (type_ != VarType::Object) type_mismatch();
    return *scalar_.object;
  }

  // Conversions as the runtime coerces values: numeric and Boolean values widen to double;
  // Empty is 0. Anything else is a type mismatch.
  double to_double() const {
    switch (type_) {
      case VarType::Empty:
        return 0.0;
      case VarType::Integer:
        return scalar_.integer;
      case VarType::Long:
        return scalar_.long_value;
      case VarType::Single:
        return scalar_.single;
      case VarType::Double:
        return scalar_.dbl;
      case VarType::Boolean:
        return scalar_.boolean ? -1.0 : 0.0;
      default:
        type_mismatch();
    }
  }
  // A single: a double outside the single's range is an overflow, not an infinity.
  float to_single() const {
    switch (type_) {
      case VarType::Single:
        return scalar_.single;
      case VarType::Integer:
        return scalar_.integer;
      case VarType::Double: {
        const auto single = static_cast<float>(scalar_.dbl);
        if (std::isinf(single) && std::isfinite(scalar_.dbl)) overflow();
        return single;
      }
      default:
        return static_cast<float>(to_double());
    }
  }
  // Truth of a condition: a number is true when not zero.
  bool to_bool() const {
    if (type_ == VarType::Boolean) return scalar_.boolean;
    return to_double() != 0.0;
  }
  // The text that `&` joins: numbers in their shortest form, Booleans as True/False.
  std::string to_string() const;

  // The same type and the same value.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  union Scalar {
    std::int16_t integer;
    std::int32_t long_value;
    float single;
    double dbl;
    bool boolean;
    Object* object;
  };

  void reset() noexcept {
    if (type_ == VarType::String) string_.~basic_string();
    type_ = VarType::Empty;
  }
  [[noreturn]] static void type_mismatch();
  [[noreturn]] static void overflow();

  VarType type_ = VarType::Empty;
  union {
    Scalar scalar_;       // every type but String
    std::string string_;  // String only
  };
};

namespace detail {

// The errors of arithmetic, out of line: they are rare, and the operations are inline so that
// the compiler sees the operands' types where they are known.
[[noreturn]] void raise_type_mismatch();
[[noreturn]] void raise_overflow();
[[noreturn]] void raise_division_by_zero(double dividend);

// Arithmetic happens in one of four numeric types; Empty and Boolean count as Integer.
enum class Rank : std::uint8_t { Integer, Long, Single, Double };

inline Rank rank_of(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Integer:
    case VarType::Boolean:
      return Rank::Integer;
    case VarType::Long:
      return Rank::Long;
    case VarType::Single:
      return Rank::Single;
    case VarType::Double:
      return Rank::Double;
    default:
      raise_type_mismatch();
  }
}

// Builds the result of an operation computed in double. For + - * / on two singles the
// double result rounded once to single equals the single operation's own result, so this
// loses nothing.
inline Variant make(Rank rank, double value) {
  if (!std::isfinite(value)) raise_overflow();
  switch (rank) {
    case Rank::Integer:
      if (value < -32768.0 || value > 32767.0) raise_overflow();
      return Variant(static_cast<std::int16_t>(value));
    case Rank::Long:
      if (value < -2147483648.0 || value > 2147483647.0) raise_overflow();
      return Variant::Long(static_cast<std::int32_t>(value));
    case Rank::Single: {
      const auto single = static_cast<float>(value);
      if (!std::isfinite(single)) raise_overflow();
      return Variant(single);
    }
    case Rank::Double:
      break;
  }
  return Variant(value);
}

// A Long with a Single needs a Double to hold both exactly.
inline Rank wider(Rank a, Rank b) {
  if ((a == Rank::Long && b == Rank::Single) || (a == Rank::Single && b == Rank::Long)) {
    return Rank::Double;
  }
  return a < b ? b : a;
}

}  // namespace detail

// Arithmetic as the runtime does it. The result type follows the wider operand
// (Integer < Long < Single < Double, a Long with a Single giving a Double); Integer with
// Integer stays Integer and overflows outside -32768..32767, Long likewise outside its 32 bits.
// Division: Single / Integer gives a Single, Integer / Integer a Double.
inline Variant operator+(const Variant& a, const Variant& b) {
  const detail::Rank rank = detail::wider(detail::rank_of(a), detail::rank_of(b));
  return detail::make(rank, a.to_double() + b.to_double());
}
inline Variant operator-(const Variant& a, const Variant& b) {
  const detail::Rank rank = detail::wider(detail::rank_of(a), detail::rank_of(b));
  return detail::make(rank, a.to_double() - b.to_double());
}
inline Variant operator*(const Variant& a, const Variant& b) {
  const detail::Rank rank = detail::wider(detail::rank_of(a), detail::rank_of(b));
  return detail::make(rank, a.to_double() * b.to_double());
}
inline Variant operator/(const Variant& a, const Variant& b) {
  using detail::Rank;
  const Rank rank_a = detail::rank_of(a);
  const Rank rank_b = detail::rank_of(b);
  const double divisor = b.to_double();
  const double dividend = a.to_double();
  if (divisor == 0.0) detail::raise_division_by_zero(dividend);
  // A whole number divided by a whole number gives a Double.
  const Rank rank = rank_a <= Rank::Long && rank_b <= Rank::Long
                        ? Rank::Double
                        : detail::wider(detail::wider(rank_a, rank_b), Rank::Single);
  return detail::make(rank, dividend / divisor);
}
// Rounds toward negative infinity and keeps the numeric type.
inline Variant Int(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
      return Variant(std::int16_t{0});
    case VarType::Integer:
    case VarType::Long:
      return v;
    case VarType::Boolean:
      return Variant(static_cast<std::int16_t>(v.to_double()));
    case VarType::Single:
      return Variant(std::floor(v.single()));
    case VarType::Double:
      return Variant(std::floor(v.dbl()));
    default:
      detail::raise_type_mismatch();
  }
}
// Integer remainder of the operands rounded to whole numbers (half to even); the sign follows a.
Variant Mod(const Variant& a, const Variant& b);
// `&`: joins the text of both operands.
Variant concat(const Variant& a, const Variant& b);

// A length handed to Move or a Width write: a single in twips. A double too large for a single
// raises the overflow error; a value that is not a number raises invalid procedure call.
[[noreturn]] void not_a_length(float twips);
inline float to_twips(const Variant& v) {
  const float twips = v.to_single();
  if (!std::isfinite(twips)) not_a_length(twips);
  return twips;
}

// Shortest text that reads back to the same value of its type.
std::string format_number(float v);
std::string format_number(double v);
// "4807.5:Single", "0:Integer", "\"text\":String" (for traces and test messages).
std::string describe(const Variant& v);
// Double-quoted with C escapes: "a\r\nb".
std::string quote(std::string_view text);

}  // namespace rt
