#include "forms/frmResizeB.h"

void frmResizeB::Form_Resize() {
  const float width = ScaleWidth();
  const float height = ScaleHeight();
  Text1().Move(0, rt::Variant(std::int16_t{0}), rt::Variant(width), rt::Variant(height));
}
