#pragma once

#include <cfenv>
#include <cmath>
#include <exception>
#include <string>
#if defined(__SSE2_MATH__)
#include <xmmintrin.h>
#endif

namespace rt {

// Run-time error numbers. The program never tests them; they are what a person reads in a report.
enum class ErrorCode : int {
  InvalidProcedureCall = 5,
  Overflow = 6,
  OutOfMemory = 7,
  SubscriptOutOfRange = 9,
  DivisionByZero = 11,
  TypeMismatch = 13,
  LibraryNotFound = 53,
  UnsupportedMember = 438,
  PlatformCallFailed = 440,
  EntryPointNotFound = 453,
  Internal = 51,
};

// The one exception type of the runtime: a run-time error with its number and message.
class Error : public std::exception {
 public:
  explicit Error(ErrorCode code, const std::string& detail = {});

  ErrorCode code() const { return code_; }
  int number() const { return static_cast<int>(code_); }
  const std::string& message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  ErrorCode code_;
  std::string message_;
};

[[noreturn]] void raise(ErrorCode code, const std::string& detail = {});

// How a run-time error that reached event delivery is reported, line end included:
// "mdiresize: run-time error 440: Window system call failed: Place frmResizeB\n".
std::string report_line(const Error& error);

// Tests the floating-point status of the computations made since construction. A value that
// overflowed, divided by zero or became invalid raises the arithmetic error; so does a result
// that is not finite, since a quiet NaN coming in as an operand sets no flag on its way through.
//
// A layout pass checks four multiplications this way (with "Wiskundig juist" a fifth, and a
// subtraction), so it is kept cheap: only the flags it
// tests are cleared at construction, and only when one is set (clearing reloads the whole
// floating-point environment, slower by far than the multiplication); and where float and
// double arithmetic is SSE's, the flags are read from its one status register directly.
class FloatingPointCheck {
 public:
  FloatingPointCheck() {
    if (raised_flags() != 0) clear_flags();
  }
  void check() const {
    if (const int raised = raised_flags(); raised != 0) raise_flagged(raised);
  }
  void check(double result) const {
    check();
    if (!std::isfinite(result)) raise(ErrorCode::Overflow);
  }

 private:
  static constexpr int kFlags = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;
#if defined(__SSE2_MATH__)
  // The status register's flags sit where <cfenv> puts them.
  static_assert(FE_INVALID == 0x01 && FE_DIVBYZERO == 0x04 && FE_OVERFLOW == 0x08);
  static int raised_flags() {
    return static_cast<int>(_mm_getcsr()) & kFlags;
  }
  static void clear_flags() {
    _mm_setcsr(_mm_getcsr() & ~static_cast<unsigned>(kFlags));
  }
#else
  static int raised_flags() {
    return std::fetestexcept(kFlags);
  }
  static void clear_flags() {
    std::feclearexcept(kFlags);
  }
#endif
  [[noreturn]] static void raise_flagged(int raised);
};

}  // namespace rt
