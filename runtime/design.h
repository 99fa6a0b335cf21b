#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rt {

// Design-time values: what a form and its controls hold when the form is loaded, before any
// handler runs. Lengths in twips.

enum class ControlKind { ListBox, TextBox, Label, CommandButton };

struct ControlDesign {
  std::string name;
  int index = -1;  // element of a control array when 0 or more
  ControlKind kind = ControlKind::Label;
  float left = 0, top = 0, width = 0, height = 0;
  int tab_index = 0;
  std::string caption;             // Label, CommandButton
  std::string text;                // TextBox
  std::vector<std::string> items;  // ListBox
  bool multi_line = false;         // TextBox
  int scroll_bars = 0;             // TextBox: 0 none, 1 horizontal, 2 vertical, 3 both
  bool sorted = false;             // ListBox
  bool integral_height = true;     // ListBox
};

struct MenuDesign {
  std::string name;
  std::string caption;
  std::string parent;  // name of the drop-down menu holding it; empty on the menu bar
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  bool window_list = false;  // a drop-down that ends with the list of the child windows
};

enum class BorderStyle { None = 0, Fixed = 1, Sizable = 2 };

struct FormDesign {
  std::string name;
  bool mdi_form = false;   // the MDI parent, the main window
  bool mdi_child = false;  // lives inside the main window's client area
  std::string caption;
  BorderStyle border_style = BorderStyle::Sizable;
  bool max_button = true;
  bool min_button = true;
  bool show_in_taskbar = true;
  float client_width = 0, client_height = 0;
  float client_left = 0, client_top = 0;
  std::string link_topic;
  std::uint32_t back_color = 0x8000000F;  // high bit: a system colour, low bits its number
  bool scroll_bars = true;                // MDI parent only
  bool auto_show_children = true;         // MDI parent only
  int start_up_position = 0;
  std::vector<ControlDesign> controls;
  std::vector<MenuDesign> menus;
};

// The control's name as code reaches it: "List1(2)" for an array element, else its name.
std::string element_name(const ControlDesign& design);

}  // namespace rt
