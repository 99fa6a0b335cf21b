// Start-up: mdiresize from process start to its first complete layout, on Qt's offscreen
// platform, against the least Qt program that opens the same kind of window (minimal_qt.cpp),
// and, to tell the runtime's part, against the same window built straight in Qt (its
// --content). All are started again and again, by turns, and each ends as soon as it is up:
// mdiresize with a script of just `quit`, which it plays once start-up's events are handled, the
// other by itself at the same point. Each start is timed from fork to the parent's wait4(); the
// same wait4() gives the process's peak resident memory (bench/launcher.h).

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/launcher.h"
#include "bench/ratios.h"

namespace {

constexpr int kStarts = 20;  // of each program, by turns

// What the program prints for a script, with the exit status; for the check.
std::string output_of(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  status = pclose(pipe);
  return out;
}

std::string write_script(const std::string& text) {
  char path[] = "/tmp/mdiresize-bench-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return {};
  std::ofstream(path) << text;
  close(fd);
  return path;
}

// A number after `key=` on the line of the form `name` in `state` output; -1 when missing.
double state_value(const std::string& state, const std::string& name, const std::string& key) {
  std::istringstream lines(state);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("form " + name + " ", 0) != 0) continue;
    const std::size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return -1;
    return std::atof(line.c_str() + at + key.size() + 2);
  }
  return -1;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<bench::Figure> startup() {
  const std::string program = MDIRESIZE_PROGRAM;
  const std::string minimal = MDIRESIZE_MINIMAL_QT_PROGRAM;
  const std::string quit = write_script("quit\n");
  const std::string state = write_script("state\nquit\n");
  if (quit.empty() || state.empty()) {
    std::fprintf(stderr, "start-up: cannot write a script in /tmp\n");
    return {};
  }
  // The script of just `quit` must end on the complete first layout: a `state` in its place
  // shows the four children placed edge to edge over the client area.
  int status = -1;
  const std::string shown =
      output_of(program + " -platform offscreen --script " + state + " 2>/dev/null", status);
  const double left_width = state_value(shown, "frmResizeL", "width");
  const double left_height = state_value(shown, "frmResizeL", "height");
  const bool complete = status == 0 && left_width > 0 && left_height > 0 &&
                        state_value(shown, "frmResizeR", "left") == left_width &&
                        state_value(shown, "frmResizeB", "top") == left_height &&
                        state_value(shown, "frmResizeT", "width") == 6000 &&
                        state_value(shown, "frmResizeT", "top") > 0;
  std::printf("check: start-up: a script of `quit` ends on the complete first layout: %s\n",
              complete ? "yes" : "NO");
  std::remove(state.c_str());
  if (!complete) {
    std::remove(quit.c_str());
    return {};
  }

  // mdiresize; the minimal program; the same window as mdiresize's built straight in Qt.
  const std::vector<std::string> commands[3] = {
      {program, "-platform", "offscreen", "--script", quit},
      {minimal, "-platform", "offscreen"},
      {minimal, "-platform", "offscreen", "--content"},
  };
  // A start of each first, so that all find their libraries in the page cache.
  for (const auto& command : commands) bench::launch(command);
  std::vector<double> ms[3], cpu[3], peak[3];
  bool all_ok = true;
  for (int i = 0; i < kStarts; ++i) {
    for (int which = 0; which < 3; ++which) {
      const bench::Start s = bench::launch(commands[which]);
      all_ok = all_ok && s.ok;
      ms[which].push_back(s.ms);
      cpu[which].push_back(s.cpu_ms);
      peak[which].push_back(s.peak_mib);
    }
  }
  std::remove(quit.c_str());
  if (!all_ok) {
    std::fprintf(stderr, "start-up: a start did not end with status 0\n");
    return {};
  }
  const double program_ms = median(ms[0]), minimal_ms = median(ms[1]), same_ms = median(ms[2]);
  const double program_mib = median(peak[0]), minimal_mib = median(peak[1]);
  const double same_mib = median(peak[2]);
  return {
      {"start-up to first complete layout / minimal qt program (median)", program_ms / minimal_ms,
       "x", 1.15},
      {"(start-up of mdiresize, median)", program_ms, "ms"},
      {"(start-up of the minimal qt program, median)", minimal_ms, "ms"},
      {"(start-up, cpu time of the process / minimal qt program)", median(cpu[0]) / median(cpu[1]),
       "x"},
      {"(start-up / the same window built straight in qt)", program_ms / same_ms, "x"},
      {"(start-up of the same window built straight in qt, median)", same_ms, "ms"},
      {"peak resident memory / minimal qt program", program_mib / minimal_mib, "x", 1.15},
      {"(peak resident memory of mdiresize)", program_mib, "MiB"},
      {"(peak resident memory of the minimal qt program)", minimal_mib, "MiB"},
      {"(peak resident memory / the same window built straight in qt)", program_mib / same_mib,
       "x"},
  };
}

const bench::Measurement kStartup{"start-up", startup};

}  // namespace
