// Proof that the sanitizer build checks what it claims: `canary leak` loses memory, `canary
// overflow` overflows a signed integer. Each must end in the sanitizer's report.

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Stored through a volatile pointer, so that the allocation cannot be optimised away.
std::string* volatile held;

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "leak") == 0) {
    held = new std::string(100, 'x');
    held = nullptr;
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "overflow") == 0) {
    volatile int large = INT_MAX;
    const int sum = large + argc;
    std::printf("survived with %d\n", sum);
    return 0;
  }
  std::fprintf(stderr, "usage: canary leak|overflow\n");
  return 2;
}
