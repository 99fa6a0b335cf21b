#include "bench/figures.h"

#include <cstdio>
#include <cstring>
#include <regex>
#include <string_view>

namespace bench {
namespace {

std::vector<std::pair<std::string, std::function<bool()>>>& checks() {
  static std::vector<std::pair<std::string, std::function<bool()>>> all;
  return all;
}

std::vector<std::pair<std::string, std::function<std::vector<Figure>()>>>& measurements() {
  static std::vector<std::pair<std::string, std::function<std::vector<Figure>()>>> all;
  return all;
}

void print_figure(const Figure& f) {
  char value[32];
  std::snprintf(value, sizeof value, "%.2f%s%s", f.value, f.unit == "x" ? "" : " ", f.unit.c_str());
  if (f.goal <= 0) {
    std::printf("%-66s %14s %14s\n", f.name.c_str(), value, "-");
    return;
  }
  char goal[32];
  std::snprintf(goal, sizeof goal, "%.2f%s%s", f.goal, f.unit == "x" ? "" : " ", f.unit.c_str());
  const bool met = f.higher_is_better ? f.value >= f.goal : f.value <= f.goal;
  std::printf("%-66s %14s %14s %s\n", f.name.c_str(), value, goal, met ? "met" : "NOT MET");
}

}  // namespace

Check::Check(std::string name, std::function<bool()> holds) {
  checks().emplace_back(std::move(name), std::move(holds));
}

Measurement::Measurement(std::string name, std::function<std::vector<Figure>()> measure) {
  measurements().emplace_back(std::move(name), std::move(measure));
}

bool run_checks() {
  bool all_hold = true;
  for (const auto& [name, holds] : checks()) {
    const bool ok = holds();
    std::printf("check: %s: %s\n", name.c_str(), ok ? "yes" : "NO");
    std::fflush(stdout);
    all_hold = all_hold && ok;
  }
  return all_hold;
}

void run_measurements(const std::string& selection, std::vector<Figure>& table) {
  if (selection == "none") return;
  const std::regex selected(selection == "all" ? ".*" : selection);
  for (const auto& [name, measure] : measurements()) {
    if (!std::regex_search(name, selected)) continue;
    std::fprintf(stderr, "measuring: %s\n", name.c_str());
    for (Figure& figure : measure()) table.push_back(std::move(figure));
  }
}

void print_table(const std::vector<Figure>& table) {
  std::printf("\n%-66s %14s %14s\n", "figure", "value", "goal");
  for (const Figure& f : table) print_figure(f);
  std::fflush(stdout);
}

int run_figures(int argc, char** argv) {
  std::string selection = "all";
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--figures=")) {
      selection = std::string(arg.substr(std::strlen("--figures=")));
    } else if (arg == "--help" || arg == "-h") {
      std::printf(
          "usage: %s [--figures=all|none|REGEX]\n"
          "Runs the checks, then the measurements that REGEX picks by name, and prints "
          "each figure with its goal.\n",
          argv[0]);
      return 0;
    } else if (!arg.starts_with("--benchmark_")) {
      std::fprintf(stderr, "%s: unknown option %s (try --help)\n", argv[0], argv[i]);
      return 2;
    }
  }
  try {
    std::regex check(selection);
  } catch (const std::regex_error&) {
    std::fprintf(stderr, "%s: --figures=%s is not a regular expression\n", argv[0],
                 selection.c_str());
    return 2;
  }
  const bool all_hold = run_checks();
  std::vector<Figure> table;
  run_measurements(selection, table);
  print_table(table);
  return all_hold ? 0 : 1;
}

}  // namespace bench
