#include "runtime/trace.h"

#include <ostream>

namespace rt {

void StreamTracer::line(std::string_view text) {
  *out_ << text << '\n';
}

}  // namespace rt
