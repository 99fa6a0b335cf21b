#pragma once

// Starts the programs that the start-up figures time, from a helper process forked at the very
// beginning of the benchmark, while it is still small. On Linux a process's peak resident
// memory (ru_maxrss) includes the peak of the process it was forked from, so a program started
// straight from the benchmark, grown by then, would report the benchmark's own peak.

#include <string>
#include <vector>

namespace bench {

// Forks the helper; call first thing in main().
void start_launcher();

struct Start {
  double ms = 0;        // fork to reaped
  double cpu_ms = 0;    // user and system time of the process
  double peak_mib = 0;  // peak resident memory
  bool ok = false;      // ran and exited with status 0
};

// Runs `command` (a path and its arguments) to its end, with no input and its output dropped.
// Without the helper, the peak memory is only a bound from above.
Start launch(const std::vector<std::string>& command);

}  // namespace bench
