#include "runtime/error.h"

#include <cfenv>
#include <cmath>

namespace rt {
namespace {

const char* text_of(ErrorCode code) {
  switch (code) {
    case ErrorCode::InvalidProcedureCall:
      return "Invalid procedure call or argument";
    case ErrorCode::Overflow:
      return "Overflow";
    case ErrorCode::OutOfMemory:
      return "Out of memory";
    case ErrorCode::SubscriptOutOfRange:
      return "Subscript out of range";
    case ErrorCode::DivisionByZero:
      return "Division by zero";
    case ErrorCode::TypeMismatch:
      return "Type mismatch";
    case ErrorCode::LibraryNotFound:
      return "File not found";
    case ErrorCode::UnsupportedMember:
      return "Object doesn't support this property or method";
    case ErrorCode::PlatformCallFailed:
      return "Window system call failed";
    case ErrorCode::EntryPointNotFound:
      return "Can't find entry point";
    case ErrorCode::Internal:
      return "Internal error";
  }
  return "Application-defined or object-defined error";
}

}  // namespace

Error::Error(ErrorCode code, const std::string& detail)
    : code_(code), message_(detail.empty() ? text_of(code) : text_of(code) + (": " + detail)) {}

void raise(ErrorCode code, const std::string& detail) {
  throw Error(code, detail);
}

std::string report_line(const Error& error) {
  return "mdiresize: run-time error " + std::to_string(error.number()) + ": " + error.message() +
         "\n";
}

void FloatingPointCheck::raise_flagged(int raised) {
  if ((raised & FE_DIVBYZERO) != 0) raise(ErrorCode::DivisionByZero);
  raise(ErrorCode::Overflow);
}

}  // namespace rt
