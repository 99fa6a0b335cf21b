#pragma once

#include "runtime/error.h"

// The number of the run-time error `f` raised, or 0 when it raised none.
template <class F>
int error_of(F&& f) {
  try {
    f();
  } catch (const rt::Error& error) {
    return error.number();
  }
  return 0;
}
