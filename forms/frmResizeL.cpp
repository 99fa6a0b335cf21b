#include "forms/frmResizeL.h"

#include <cstddef>
#include <string>

#include "runtime/application.h"

namespace {

constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz";
constexpr std::int16_t kColumns = 3;
constexpr std::int32_t kExtentPixels = 1000;

const rt::Variant kZero(std::int16_t{0});
const rt::Variant kThree(kColumns);

}  // namespace

frmResizeL::frmResizeL(rt::Application& app, const rt::FormClass& form_class)
    : rt::Form(app, form_class), SendMessageA(app, "user32", "SendMessageA") {}

void frmResizeL::Form_Initialize() {
  // "z", "yz", "xyz", ... to the whole alphabet, each to the three lists in turn.
  for (std::size_t i = 1; i <= kAlphabet.size(); ++i) {
    for (std::int16_t j = 0; j < kColumns; ++j) {
      List1(j).AddItem(rt::Variant(std::string(kAlphabet.substr(kAlphabet.size() - i))));
    }
  }
}

void frmResizeL::Form_Resize() {
  // The option is asked of the menu item itself, by name, every time.
  const rt::Variant oplossing = rt::get_by_name(app().Forms(0), "mnuOplossing");
  if (rt::get_by_name(oplossing, "Checked").to_bool()) {
    corrected_columns();
  } else {
    plain_columns();
  }
}

// Each column a third of the width on its own; each starts where the lists to its left say
// they end. Rounding leaves a strip at the right. (Every read is its own statement: the order
// of the reads is part of the behaviour, and C++ leaves the order of arguments open.)
void frmResizeL::plain_columns() {
  const rt::Variant first_width = rt::Variant(ScaleWidth()) / kThree;
  const rt::Variant first_height(ScaleHeight());
  List1(0).Move(0, kZero, first_width, first_height);

  const float w0 = List1(0).Width();
  const rt::Variant second_width = rt::Int(rt::Variant(ScaleWidth()) / kThree);
  const rt::Variant second_height(ScaleHeight());
  List1(1).Move(w0, kZero, second_width, second_height);

  const rt::Variant left0(List1(0).Width());
  const rt::Variant left = left0 + rt::Variant(List1(1).Width());
  const rt::Variant third_width = rt::Int(rt::Variant(ScaleWidth()) / kThree);
  const rt::Variant third_height(ScaleHeight());
  List1(2).Move(left.single(), kZero, third_width, third_height);
}

// Whole-number edges at a third and two thirds of the width and at the width itself; each
// column runs from one edge to the next, so the columns add up exactly.
void frmResizeL::corrected_columns() {
  rt::Variant previous = kZero;
  for (std::int16_t j = 0; j <= 2; ++j) {
    const rt::Variant third = rt::Variant(ScaleWidth()) / kThree;
    const rt::Variant edge = rt::Int(rt::Variant(static_cast<std::int16_t>(j + 1)) * third);
    const rt::Variant height(ScaleHeight());
    List1(j).Move(previous.to_single(), kZero, edge - previous, height);
    previous = edge;
    SendMessageA(List1(j).hWnd(), rt::LB_SETHORIZONTALEXTENT, kExtentPixels, 0);
  }
}
