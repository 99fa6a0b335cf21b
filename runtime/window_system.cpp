#include "runtime/window_system.h"

#include "runtime/error.h"

namespace rt {

void Peer::add_item(std::string_view) {
  raise(ErrorCode::UnsupportedMember, "AddItem");
}
bool Peer::checked() {
  raise(ErrorCode::UnsupportedMember, "Checked");
}
void Peer::set_checked(bool) {
  raise(ErrorCode::UnsupportedMember, "Checked");
}

std::string about_text(const About& about) {
  return about.name + " " + about.version + "\n\n" + about.summary +
         "\n\nLicence: " + about.licence + "\nManual: " + about.manual;
}

std::string_view window_state_name(WindowState state) {
  switch (state) {
    case WindowState::Minimized:
      return "minimized";
    case WindowState::Maximized:
      return "maximized";
    case WindowState::Normal:
      break;
  }
  return "normal";
}

std::string element_name(const ControlDesign& design) {
  if (design.index < 0) return design.name;
  return design.name + "(" + std::to_string(design.index) + ")";
}

}  // namespace rt
