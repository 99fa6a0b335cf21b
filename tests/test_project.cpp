#include "test_project.h"

#include <map>

namespace testapp {
namespace {

std::map<rt::Application*, Log*>& registry() {
  static std::map<rt::Application*, Log*> logs;
  return logs;
}

void note(rt::Form& form, const std::string& what) {
  log_of(form.app()).lines.push_back(what);
}

}  // namespace

Log& log_of(rt::Application& app) {
  return *registry().at(&app);
}

void Main::MDIForm_Initialize() {
  note(*this, "Main.Initialize");
  Show();
}

void Main::MDIForm_Resize() {
  note(*this, "Main.Resize");
  if (auto& hook = log_of(app()).on_main_resize) hook(*this);
}

void Main::mnuOpt_Click() {
  note(*this, "Main.mnuOpt.Click");
  mnuOpt().set_Checked(!mnuOpt().Checked());
  if (auto& hook = log_of(app()).on_click) hook(*this);
}

void Main::call_member(std::string_view name) {
  if (name == "Refresh") return Refresh();
  rt::MDIForm::call_member(name);
}

void Main::Refresh() {
  note(*this, "Main.Refresh");
}

void ChildA::Form_Initialize() {
  note(*this, "ChildA.Initialize");
  List1(0).AddItem(rt::Variant("first"));
  note(*this, "ChildA.Initialize done");
}

void ChildA::Form_Resize() {
  note(*this, "ChildA.Resize");
}

void ChildB::Form_Resize() {
  note(*this, "ChildB.Resize");
  if (auto& hook = log_of(app()).on_child_b_resize) hook();
}

void ChildB::Command1_Click() {
  note(*this, "ChildB.Command1.Click");
  rt::call_by_name(app().Forms(0), "Refresh");
}

rt::Project make_project() {
  rt::FormDesign main;
  main.name = "Main";
  main.mdi_form = true;
  main.caption = "Test";
  main.client_width = 6000;
  main.client_height = 4500;
  main.menus = {{"mnuTop", "Top", "", false}, {"mnuOpt", "Option", "mnuTop", false}};

  rt::FormDesign a;
  a.name = "ChildA";
  a.mdi_child = true;
  a.caption = "A";
  a.client_width = 3000;
  a.client_height = 2000;
  rt::ControlDesign list;
  list.kind = rt::ControlKind::ListBox;
  list.name = "List1";
  list.width = 900;
  list.height = 1500;
  for (int i = 0; i < 2; ++i) {
    list.index = i;
    list.left = 120.0f + 1000.0f * static_cast<float>(i);
    a.controls.push_back(list);
  }
  a.controls[1].items = {"design"};
  rt::ControlDesign label;
  label.kind = rt::ControlKind::Label;
  label.name = "Label1";
  label.caption = "Label1";
  label.width = 1000;
  label.height = 300;
  a.controls.push_back(label);

  rt::FormDesign b;
  b.name = "ChildB";
  b.mdi_child = true;
  b.border_style = rt::BorderStyle::None;
  b.client_width = 3000;
  b.client_height = 1000;
  rt::ControlDesign button;
  button.kind = rt::ControlKind::CommandButton;
  button.name = "Command1";
  button.caption = "Go";
  button.width = 900;
  button.height = 375;
  b.controls.push_back(button);

  rt::FormDesign c;
  c.name = "ChildC";
  c.mdi_child = true;
  c.client_width = 1500;
  c.client_height = 1500;

  rt::Project project;
  project.forms = {rt::form_class<Main>(main), rt::form_class<ChildA>(a), rt::form_class<ChildB>(b),
                   rt::form_class<ChildC>(c)};
  project.events = {
      {"Main", "", rt::Event::Initialize, &rt::handler<&Main::MDIForm_Initialize>},
      {"Main", "", rt::Event::Resize, &rt::handler<&Main::MDIForm_Resize>},
      {"Main", "mnuOpt", rt::Event::Click, &rt::handler<&Main::mnuOpt_Click>},
      {"ChildA", "", rt::Event::Initialize, &rt::handler<&ChildA::Form_Initialize>},
      {"ChildA", "", rt::Event::Resize, &rt::handler<&ChildA::Form_Resize>},
      {"ChildB", "", rt::Event::Resize, &rt::handler<&ChildB::Form_Resize>},
      {"ChildB", "Command1", rt::Event::Click, &rt::handler<&ChildB::Command1_Click>},
  };
  project.startup = "Main";
  return project;
}

TestApp::TestApp(rt::WindowSystem& ws) : app(make_project(), ws) {
  registry()[&app] = &log;
}

TestApp::~TestApp() {
  registry().erase(&app);
}

}  // namespace testapp
