#pragma once

#include <string_view>

#include "runtime/project.h"

namespace shell {

// The whole program as the runtime runs it: the five forms with their design-time values,
// the table of handled events, and the start-up form.
rt::Project make_project();

// Whether the handler of this event runs the main window's layout pass: the main window's
// Resize, a click on either option, and the Resize button's click.
bool runs_layout_pass(std::string_view form, std::string_view source, rt::Event event);

}  // namespace shell
