#pragma once

// A small program of its own for testing the runtime apart from mdiresize: a main window with
// one checkable menu item and three children. Its handlers write what they do to a log, so
// tests can check the order in which events are delivered.

#include <functional>
#include <string>
#include <vector>

#include "runtime/application.h"
#include "runtime/declare.h"
#include "runtime/form.h"
#include "runtime/project.h"

namespace testapp {

struct Log {
  std::vector<std::string> lines;
  // Optional code a test runs inside a handler.
  std::function<void(rt::Form&)> on_main_resize;
  std::function<void(rt::Form&)> on_click;
  std::function<void()> on_child_b_resize;
};

// The log is reached through the application, as each test has its own.
Log& log_of(rt::Application& app);

class Main : public rt::MDIForm {
 public:
  static constexpr const char* class_name = "Main";
  using rt::MDIForm::MDIForm;
  rt::BoundMenu mnuOpt{*this, "mnuOpt"};
  void MDIForm_Initialize();
  void MDIForm_Resize();
  void mnuOpt_Click();
  void call_member(std::string_view name) override;
  void Refresh();
};

class ChildA : public rt::Form {
 public:
  static constexpr const char* class_name = "ChildA";
  using rt::Form::Form;
  rt::BoundControlArray<rt::ListBox> List1{*this, "List1"};
  rt::BoundControl<rt::Label> Label1{*this, "Label1"};
  void Form_Initialize();
  void Form_Resize();
};

class ChildB : public rt::Form {
 public:
  static constexpr const char* class_name = "ChildB";
  using rt::Form::Form;
  rt::BoundControl<rt::CommandButton> Command1{*this, "Command1"};
  void Form_Resize();
  void Command1_Click();
};

// No handlers at all.
class ChildC : public rt::Form {
 public:
  static constexpr const char* class_name = "ChildC";
  using rt::Form::Form;
};

rt::Project make_project();

// An application on a window system with its own log.
struct TestApp {
  explicit TestApp(rt::WindowSystem& ws);
  ~TestApp();
  rt::Application app;
  Log log;
};

}  // namespace testapp
