#include "shell/project.h"

#include "forms/frmResizeB.h"
#include "forms/frmResizeL.h"
#include "forms/frmResizeR.h"
#include "forms/frmResizeT.h"
#include "layout/MDIResize.h"

namespace shell {
namespace {

using rt::ControlDesign;
using rt::ControlKind;
using rt::FormDesign;

constexpr std::uint32_t kApplicationWorkspace = 0x8000000C;  // system colour 12

ControlDesign control(ControlKind kind, std::string name, float left, float top, float width,
                      float height, int tab_index) {
  ControlDesign design;
  design.kind = kind;
  design.name = std::move(name);
  design.left = left;
  design.top = top;
  design.width = width;
  design.height = height;
  design.tab_index = tab_index;
  return design;
}

FormDesign child(std::string name, std::string caption, float client_width, float client_height) {
  FormDesign design;
  design.name = std::move(name);
  design.caption = std::move(caption);
  design.mdi_child = true;
  design.client_width = client_width;
  design.client_height = client_height;
  design.client_left = 60;
  design.client_top = 450;
  design.link_topic = "Form1";
  return design;
}

FormDesign main_window() {
  FormDesign design;
  design.name = "MDIResize";
  design.mdi_form = true;
  design.caption = "ResizeL";
  design.back_color = kApplicationWorkspace;
  design.client_width = 6480;
  design.client_height = 4860;
  design.client_left = 165;
  design.client_top = 855;
  design.start_up_position = 3;  // the window system chooses where
  design.link_topic = "MDIForm1";
  design.menus = {
      {"mnuSolve", "Solve Problem", ""},
      {"mnuOplossing", "Oplossing", "mnuSolve"},
      {"mnuWiskundig", "Wiskundig juist", "mnuSolve"},
      {"mnuVulBox", "Vul tekstbox", ""},
  };
  design.menus[0].window_list = true;
  return design;
}

FormDesign left_form() {
  FormDesign design = child("frmResizeL", "Resize Left", 4680, 3090);
  const float lefts[] = {120, 840, 1680};
  const float widths[] = {495, 615, 615};
  for (int i = 0; i < 3; ++i) {
    ControlDesign list = control(ControlKind::ListBox, "List1", lefts[i], 120, widths[i], 1815, i);
    list.index = i;
    design.controls.push_back(list);
  }
  design.controls[2].items = {std::string(25, 'a')};
  return design;
}

FormDesign top_form() {
  FormDesign design = child("frmResizeT", "Form1", 6195, 3300);
  ControlDesign label = control(ControlKind::Label, "Label1", 120, 120, 4455, 855, 0);
  label.caption = "Label1";
  ControlDesign button = control(ControlKind::CommandButton, "Command1", 4680, 120, 975, 375, 1);
  button.caption = "Resize";
  design.controls = {label, button};
  return design;
}

FormDesign bottom_form() {
  FormDesign design = child("frmResizeB", "Textbox resizing", 4680, 3090);
  design.border_style = rt::BorderStyle::None;
  design.max_button = false;
  design.min_button = false;
  design.show_in_taskbar = false;
  design.client_left = 0;
  design.client_top = 0;
  ControlDesign text = control(ControlKind::TextBox, "Text1", 240, 360, 3975, 1815, 0);
  text.multi_line = true;
  text.scroll_bars = 3;
  text.text =
      "Hier kan naar hartelust tekst worden ingevuld om het gedrag van de textbox te "
      "manipuleren.\r\n";
  design.controls = {text};
  return design;
}

}  // namespace

rt::Project make_project() {
  rt::Project project;
  project.forms = {
      rt::form_class<MDIResize>(main_window()),
      rt::form_class<frmResizeL>(left_form()),
      rt::form_class<frmResizeR>(child("frmResizeR", "Resize right", 4680, 3090)),
      rt::form_class<frmResizeT>(top_form()),
      rt::form_class<frmResizeB>(bottom_form()),
  };
  // The handled events; every other event of every form and control has no handler.
  project.events = {
      {"MDIResize", "", rt::Event::Initialize, &rt::handler<&MDIResize::MDIForm_Initialize>},
      {"MDIResize", "", rt::Event::Resize, &rt::handler<&MDIResize::MDIForm_Resize>},
      {"MDIResize", "mnuOplossing", rt::Event::Click, &rt::handler<&MDIResize::mnuOplossing_Click>},
      {"MDIResize", "mnuWiskundig", rt::Event::Click, &rt::handler<&MDIResize::mnuWiskundig_Click>},
      {"MDIResize", "mnuVulBox", rt::Event::Click, &rt::handler<&MDIResize::mnuVulBox_Click>},
      {"frmResizeL", "", rt::Event::Initialize, &rt::handler<&frmResizeL::Form_Initialize>},
      {"frmResizeL", "", rt::Event::Resize, &rt::handler<&frmResizeL::Form_Resize>},
      {"frmResizeB", "", rt::Event::Resize, &rt::handler<&frmResizeB::Form_Resize>},
      {"frmResizeT", "Command1", rt::Event::Click, &rt::handler<&frmResizeT::Command1_Click>},
  };
  project.startup = "MDIResize";
  return project;
}

bool runs_layout_pass(std::string_view form, std::string_view source, rt::Event event) {
  struct Source {
    std::string_view form, source;
    rt::Event event;
  };
  static constexpr Source kPassEvents[] = {
      {MDIResize::class_name, "", rt::Event::Resize},
      {MDIResize::class_name, "mnuOplossing", rt::Event::Click},
      {MDIResize::class_name, "mnuWiskundig", rt::Event::Click},
      {frmResizeT::class_name, "Command1", rt::Event::Click},
  };
  for (const Source& pass : kPassEvents) {
    if (pass.event == event && pass.source == source && pass.form == form) return true;
  }
  return false;
}

}  // namespace shell
