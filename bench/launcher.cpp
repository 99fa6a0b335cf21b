#include "bench/launcher.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace bench {
namespace {

int requests = -1;  // to the helper
int replies = -1;   // from it

bool write_all(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, bytes, size);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool read_all(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = read(fd, bytes, size);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

Start run(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  argv.reserve(command.size() + 1);
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  Start result;
  const auto begin = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, STDIN_FILENO);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return result;
  const auto end = std::chrono::steady_clock::now();
  result.ms = std::chrono::duration<double, std::milli>(end - begin).count();
  const auto ms_of = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  result.cpu_ms = ms_of(usage.ru_utime) + ms_of(usage.ru_stime);
  result.peak_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return result;
}

// The helper: a command (its argument count, then each argument's length and bytes) in, a
// Start out, until the benchmark closes its end.
[[noreturn]] void serve(int in, int out) {
  for (;;) {
    std::uint32_t count = 0;
    if (!read_all(in, &count, sizeof count)) _exit(0);
    std::vector<std::string> command(count);
    for (std::string& arg : command) {
      std::uint32_t size = 0;
      if (!read_all(in, &size, sizeof size)) _exit(0);
      arg.resize(size);
      if (!read_all(in, arg.data(), size)) _exit(0);
    }
    const Start result = run(command);
    if (!write_all(out, &result, sizeof result)) _exit(0);
  }
}

void stop_launcher() {
  close(requests);  // the helper sees the end and leaves
  requests = -1;
  int status = 0;
  wait(&status);
}

}  // namespace

void start_launcher() {
  int to_helper[2];
  int from_helper[2];
  if (pipe(to_helper) != 0) return;
  if (pipe(from_helper) != 0) {
    close(to_helper[0]);
    close(to_helper[1]);
    return;
  }
  const pid_t pid = fork();
  if (pid < 0) return;
  if (pid == 0) {
    close(to_helper[1]);
    close(from_helper[0]);
    serve(to_helper[0], from_helper[1]);
  }
  close(to_helper[0]);
  close(from_helper[1]);
  requests = to_helper[1];
  replies = from_helper[0];
  std::atexit(stop_launcher);
}

Start launch(const std::vector<std::string>& command) {
  if (requests < 0) return run(command);
  bool sent = true;
  const auto count = static_cast<std::uint32_t>(command.size());
  sent = sent && write_all(requests, &count, sizeof count);
  for (const std::string& arg : command) {
    const auto size = static_cast<std::uint32_t>(arg.size());
    sent = sent && write_all(requests, &size, sizeof size) &&
           write_all(requests, arg.data(), arg.size());
  }
  Start result;
  if (!sent || !read_all(replies, &result, sizeof result)) return Start{};
  return result;
}

}  // namespace bench
