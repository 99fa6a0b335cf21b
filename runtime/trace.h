#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// Receives one line for every operation the program performs on the runtime.
class Tracer {
 public:
  virtual ~Tracer() = default;
  virtual void line(std::string_view text) = 0;
};

class StreamTracer final : public Tracer {
 public:
  explicit StreamTracer(std::ostream& out) : out_(&out) {}
  void line(std::string_view text) override;

 private:
  std::ostream* out_;
};

// Keeps the lines, for tests.
class RecordingTracer final : public Tracer {
 public:
  void line(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

}  // namespace rt
