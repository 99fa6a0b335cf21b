#include "runtime/declare.h"

namespace rt {

std::int32_t DeclaredFunction::operator()(std::int32_t a, std::int32_t b, std::int32_t c,
                                          std::int32_t d) {
  if (function_ == nullptr) {
    app_->trace([&] { return "declare " + library_ + "." + entry_; });
    function_ = app_->find_entry(library_, entry_);
  }
  const std::int32_t result = function_(app_->window_system(), a, b, c, d);
  app_->trace([&] {
    return "call " + entry_ + " " + std::to_string(a) + " " + std::to_string(b) + " " +
           std::to_string(c) + " " + std::to_string(d) + " -> " + std::to_string(result);
  });
  return result;
}

}  // namespace rt
