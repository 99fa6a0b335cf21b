#pragma once

#include "runtime/application.h"
#include "runtime/error.h"

namespace rt {

// A procedure's error handling. It starts off: an error raised in a unit goes on to the
// procedure's caller. Once resume_next() has switched it on, a failing unit is abandoned as a
// whole, its error discarded, and the procedure goes on after it.
class OnError {
 public:
  explicit OnError(Application& app) : app_(&app) {}

  void resume_next() { resume_next_ = true; }

  // Runs one unit; returns false when it failed and was abandoned.
  template <class Unit>
  bool unit(Unit&& body) {
    if (!resume_next_) {
      body();
      return true;
    }
    try {
      body();
      return true;
    } catch (const Error& error) {
      app_->discarded(error);
      return false;
    }
  }

 private:
  Application* app_;
  bool resume_next_ = false;
};

}  // namespace rt
