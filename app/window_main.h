#pragma once

#include <functional>

#include "app/cli.h"

namespace app {

// The program in its window, on Qt. Qt takes its own options (-platform and the like) out of
// argv first; the rest are the program's. Should they ask for a mode without a window (help,
// version, headless), `other_mode` runs it. The session commands of a script, if one is given,
// are played from inside the event loop, with `shot FILE` besides; the program ends with the
// script. Returns the exit status.
int run_window(int& argc, char** argv, const std::function<int(const Options&)>& other_mode);

// `mdiresize sweep ...` with the Qt window system at hand for --window-system qt, on Qt's
// offscreen platform unless QT_QPA_PLATFORM says otherwise. Returns the exit status.
int run_sweep_command(int& argc, char** argv);

}  // namespace app
