#pragma once

#include <iosfwd>

#include "app/sweep.h"

namespace app {

// An SVG chart of a sweep: client width along the x axis, one band per combination of the
// options, each width coloured by what it brought.
void write_svg(const SweepResult& result, const SweepOptions& options, std::ostream& out);

}  // namespace app
