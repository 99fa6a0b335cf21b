#pragma once

#include <functional>

#include "app/cli.h"

namespace app {

// The program in its window, on the window system for real windows this build has (Qt, or the
// Win32 API), with the options of the command line; Qt takes its own (-platform and the like)
// out of argv. The session commands of a script, if one is given, are played from inside the
// message loop, with `shot FILE` besides; the program ends with the script. A window system
// that cannot be started is one line on standard error and exit status 2. Returns the exit
// status.
int run_window(int& argc, char** argv, const Options& options);

// `mdiresize sweep ...` with the Qt window system at hand for --window-system qt, on Qt's
// offscreen platform unless QT_QPA_PLATFORM says otherwise. Returns the exit status.
int run_sweep_command(int& argc, char** argv);

}  // namespace app
