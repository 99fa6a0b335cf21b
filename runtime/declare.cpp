#include "runtime/declare.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace rt {
namespace {

std::int32_t send_message(WindowSystem& ws, std::int32_t window, std::int32_t message,
                          std::int32_t wparam, std::int32_t lparam) {
  return ws.send_message(window, static_cast<std::uint32_t>(message), wparam, lparam);
}

struct LibraryEntry {
  std::string_view library;
  std::string_view entry;
  NativeEntry function;
};

// The native functions a program may declare. Library names are matched without regard to
// case and with or without ".dll", as the platform's loader does; entry names exactly.
constexpr LibraryEntry kLibraries[] = {
    {"user32", "SendMessageA", &send_message},
};

// `known` is in lower case.
bool same_library(std::string_view declared, std::string_view known) {
  const auto same_text = [](std::string_view text, std::string_view lower) {
    return std::equal(text.begin(), text.end(), lower.begin(), lower.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == b;
    });
  };
  if (declared.size() == known.size() + 4) {
    if (!same_text(declared.substr(known.size()), ".dll")) return false;
    declared = declared.substr(0, known.size());
  }
  return same_text(declared, known);
}

NativeEntry find_entry(std::string_view library, std::string_view entry) {
  bool library_found = false;
  for (const LibraryEntry& known : kLibraries) {
    if (!same_library(library, known.library)) continue;
    library_found = true;
    if (known.entry == entry) return known.function;
  }
  if (!library_found) raise(ErrorCode::LibraryNotFound, std::string(library));
  raise(ErrorCode::EntryPointNotFound, std::string(entry) + " in " + std::string(library));
}

}  // namespace

std::int32_t DeclaredFunction::operator()(std::int32_t a, std::int32_t b, std::int32_t c,
                                          std::int32_t d) {
  if (function_ == nullptr) {
    app_->notify([&](Observer& o) { o.function_declared(library_, entry_); });
    function_ = find_entry(library_, entry_);
  }
  const std::int32_t result = function_(app_->window_system(), a, b, c, d);
  app_->notify([&](Observer& o) { o.function_called(entry_, {a, b, c, d}, result); });
  return result;
}

}  // namespace rt
