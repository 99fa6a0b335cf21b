#pragma once

#include "runtime/project.h"

namespace shell {

// The whole program as the runtime runs it: the five forms with their design-time values,
// the table of handled events, and the start-up form.
rt::Project make_project();

}  // namespace shell
