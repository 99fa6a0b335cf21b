#pragma once

#include "forms/frmResizeB.h"
#include "forms/frmResizeL.h"
#include "forms/frmResizeR.h"
#include "forms/frmResizeT.h"
#include "runtime/application.h"
#include "runtime/form.h"
#include "runtime/on_error.h"

// The main window: lays its four children out over the client area, and its menu.
class MDIResize : public rt::MDIForm {
 public:
  static constexpr const char* class_name = "MDIResize";
  using rt::MDIForm::MDIForm;

  rt::BoundMenu mnuOplossing{*this, "mnuOplossing"};
  rt::BoundMenu mnuWiskundig{*this, "mnuWiskundig"};

  // The layout pass: places the children and reports in frmResizeT's label.
  void Resizing();

  void MDIForm_Initialize();
  void MDIForm_Resize();
  void mnuOplossing_Click();
  void mnuWiskundig_Click();
  void mnuVulBox_Click();

  void call_member(std::string_view name) override;

 private:
  void report(rt::OnError& on_error);

  // The children, each created by the first code that names it.
  rt::BoundForm<frmResizeL> left_form{app()};
  rt::BoundForm<frmResizeR> right_form{app()};
  rt::BoundForm<frmResizeB> bottom_form{app()};
  rt::BoundForm<frmResizeT> top_form{app()};
};

// The texts the layout pass writes into frmResizeT.Label1.
inline constexpr const char* kTwoLineText =
    "Nu zou het formulier een extra scrollbar gaan genereren\r\nNiet dus .....";
inline constexpr const char* kDoubleScrollBarText = "Oeps. Dubbele scrollbar";
inline constexpr const char* kEmptyText = "";
