#include "forms/frmResizeT.h"

#include "runtime/application.h"

void frmResizeT::Command1_Click() {
  // Late-bound: this form knows the main window only as entry 0 of the registry.
  rt::call_by_name(app().Forms(0), "Resizing");
}
