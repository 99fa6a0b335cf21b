#pragma once

#include <cstdint>
#include <string>

#include "runtime/application.h"

namespace rt {

// A function of a native library, four 32-bit arguments and a 32-bit result.
using NativeEntry = std::int32_t (*)(WindowSystem&, std::int32_t, std::int32_t, std::int32_t,
                                     std::int32_t);

// A native function that the program declares for itself by library and entry name. The
// entry is looked up at the first call, and what was found then serves every later call; a
// library or entry that does not exist raises its error at that call.
class DeclaredFunction {
 public:
  DeclaredFunction(Application& app, std::string library, std::string entry)
      : app_(&app), library_(std::move(library)), entry_(std::move(entry)) {}

  std::int32_t operator()(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d);

 private:
  Application* app_;
  std::string library_;
  std::string entry_;
  NativeEntry function_ = nullptr;
};

}  // namespace rt
