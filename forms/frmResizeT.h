#pragma once

#include "runtime/form.h"

// The top child: the layout pass's message line and a button that runs the pass again.
class frmResizeT : public rt::Form {
 public:
  static constexpr const char* class_name = "frmResizeT";
  using rt::Form::Form;

  rt::Label& Label1() { return control<rt::Label>("Label1"); }
  rt::CommandButton& Command1() { return control<rt::CommandButton>("Command1"); }

  void Command1_Click();
};
