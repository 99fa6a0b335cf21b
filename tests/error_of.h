#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "runtime/error.h"

namespace rt {
// A failing check shows the number a person would read in the report.
inline void PrintTo(ErrorCode code, std::ostream* os) {
  *os << static_cast<int>(code);
}
}  // namespace rt

// Errors in the order they were reported.
using Codes = std::vector<rt::ErrorCode>;

// The run-time error `f` raised, or none.
template <class F>
std::optional<rt::ErrorCode> error_of(F&& f) {
  try {
    f();
  } catch (const rt::Error& error) {
    return error.code();
  }
  return std::nullopt;
}
