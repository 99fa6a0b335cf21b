#pragma once

#include <string>
#include <vector>

#include "runtime/application.h"
#include "runtime/trace.h"

// The trace as the program's --trace prints it, a line each, from now until stop().
class TraceLines {
 public:
  explicit TraceLines(rt::Application& app) : subscription_(app.observe(printer_)) {}
  void stop() { subscription_.end(); }

  std::vector<std::string> lines;

 private:
  rt::TracePrinter printer_{[this](const std::string& line) { lines.push_back(line); }};
  rt::Subscription subscription_;
};
