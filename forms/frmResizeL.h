#pragma once

#include <cstdint>

#include "runtime/declare.h"
#include "runtime/form.h"

// The left child: three list boxes side by side as columns over the whole client area.
class frmResizeL : public rt::Form {
 public:
  static constexpr const char* class_name = "frmResizeL";
  frmResizeL(rt::Application& app, const rt::FormClass& form_class);

  rt::BoundControlArray<rt::ListBox> List1{*this, "List1"};

  void Form_Initialize();
  void Form_Resize();

 private:
  void plain_columns();
  void corrected_columns();

  rt::DeclaredFunction SendMessageA;
};
