#pragma once

#include "runtime/form.h"

// The top child: the layout pass's message line and a button that runs the pass again.
class frmResizeT : public rt::Form {
 public:
  static constexpr const char* class_name = "frmResizeT";
  using rt::Form::Form;

  rt::BoundControl<rt::Label> Label1{*this, "Label1"};
  rt::BoundControl<rt::CommandButton> Command1{*this, "Command1"};

  void Command1_Click();
};
