#pragma once

#include <exception>
#include <string>

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

// Tests the floating-point status of the computations made since construction. A value that
// overflowed, divided by zero or became invalid raises the arithmetic error; so does a result
// that is not finite, since a quiet NaN coming in as an operand sets no flag on its way through.
class FloatingPointCheck {
 public:
  FloatingPointCheck();
  void check() const;
  void check(double result) const;
};

}  // namespace rt
