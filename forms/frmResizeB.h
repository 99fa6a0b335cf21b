#pragma once

#include "runtime/form.h"

// The bottom child, without a frame: a text box that always fills it.
class frmResizeB : public rt::Form {
 public:
  static constexpr const char* class_name = "frmResizeB";
  using rt::Form::Form;

  rt::BoundControl<rt::TextBox> Text1{*this, "Text1"};

  void Form_Resize();
};
