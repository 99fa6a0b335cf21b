#pragma once

#include "runtime/form.h"

// The right child: an empty window that the layout pass places beside the left one.
class frmResizeR : public rt::Form {
 public:
  static constexpr const char* class_name = "frmResizeR";
  using rt::Form::Form;
};
