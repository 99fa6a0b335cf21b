#include "layout/MDIResize.h"

namespace {

const rt::Variant kZero(std::int16_t{0});

// Half the client width, as a single; with "Oplossing" rounded down to whole twips.
rt::Variant half_width(const rt::Variant& saved_width, bool rounded) {
  const rt::Variant half = saved_width / rt::Variant(std::int16_t{2});
  return rounded ? rt::Int(half) : half;
}

// A whole part of the client height, as a double. The fraction is the double nearest to it.
rt::Variant part_of_height(float client_height, double fraction) {
  rt::FloatingPointCheck fp;
  const rt::Variant product = rt::Variant(client_height) * rt::Variant(fraction);
  fp.check(product.dbl());
  return rt::Int(product);
}

rt::Variant upper_height(float client_height) {
  return part_of_height(client_height, 0.8);
}
rt::Variant lower_height(float client_height) {
  return part_of_height(client_height, 0.2);
}

}  // namespace

// Every read is a fresh call, in the order below: what a read returns can change between two
// reads (a child's Resize runs inside each Move), so none is kept longer than it says.
void MDIResize::Resizing() {
  rt::OnError on_error(app());
  const rt::Variant saved_width(ScaleWidth());

  // The left form over the left half of the upper four fifths.
  {
    const rt::Variant half = half_width(saved_width, mnuOplossing().Checked());
    auto& left = left_form();
    const rt::Variant upper = upper_height(ScaleHeight());
    left.Move(0, kZero, half, upper);
  }
  // The right form where the left one says it ends.
  {
    const float left_width = left_form().Width();
    const rt::Variant half = half_width(saved_width, mnuOplossing().Checked());
    auto& right = right_form();
    const rt::Variant upper = upper_height(ScaleHeight());
    right.Move(left_width, kZero, half, upper);
  }
  // The bottom form over the lower fifth.
  {
    const float first_height = ScaleHeight();
    const float client_width = ScaleWidth();
    auto& bottom = bottom_form();
    const float second_height = ScaleHeight();
    const rt::Variant lower = lower_height(second_height);
    const rt::Variant upper = upper_height(first_height);
    bottom.Move(0, upper, rt::Variant(client_width), lower);
  }
  top_form().Move(0, rt::Variant(std::int16_t{1000}), rt::Variant(std::int16_t{6000}),
                  rt::Variant(std::int16_t{1200}));

  if (mnuWiskundig().Checked()) {
    // The right form again, with exactly the width the left one leaves.
    on_error.resume_next();
    on_error.unit([&] {
      const float first_left_width = left_form().Width();
      const float client_width = ScaleWidth();
      const float second_left_width = left_form().Width();
      auto& right = right_form();
      const float client_height = ScaleHeight();
      const rt::Variant upper = upper_height(client_height);
      rt::FloatingPointCheck fp;
      const float remainder = client_width - second_left_width;
      fp.check(remainder);
      right.Move(first_left_width, kZero, rt::Variant(remainder), upper);
    });
  }
  report(on_error);
}

// Says whether the top form overhangs the client area. With an option on, it narrows the top
// form instead of letting it bring the scroll bars. Under resume-next a failing test counts as
// held, as the statement after it is the one inside the branch.
void MDIResize::report(rt::OnError& on_error) {
  bool narrow = true;
  on_error.unit([&] {
    const float top_width = top_form().Width();
    const bool oplossing = mnuOplossing().Checked();
    const bool wiskundig = mnuWiskundig().Checked();
    const float client_width = ScaleWidth();
    narrow = (oplossing || wiskundig) && top_width > client_width;
  });
  if (narrow) {
    on_error.unit([&] { top_form().Label1().set_Caption(rt::Variant(kTwoLineText)); });
    on_error.unit([&] {
      auto& top = top_form();
      top.set_Width(rt::Variant(ScaleWidth()));
    });
    return;
  }
  bool overhangs = true;
  on_error.unit([&] {
    const float top_width = top_form().Width();
    overhangs = top_width > ScaleWidth();
  });
  on_error.unit([&] {
    top_form().Label1().set_Caption(rt::Variant(overhangs ? kDoubleScrollBarText : kEmptyText));
  });
}

void MDIResize::MDIForm_Initialize() {
  Show();
}

void MDIResize::MDIForm_Resize() {
  Resizing();
}

void MDIResize::mnuOplossing_Click() {
  mnuOplossing().set_Checked(!mnuOplossing().Checked());
  Resizing();
}

void MDIResize::mnuWiskundig_Click() {
  mnuWiskundig().set_Checked(!mnuWiskundig().Checked());
  Resizing();
}

// Fifteen lines of the phrase, repeated (line Mod 5) + 1 times: text to watch the text box's
// own scroll bars with. It replaces whatever is there.
void MDIResize::mnuVulBox_Click() {
  const rt::Variant phrase("The quick brown fox jumps over .... ");
  rt::Variant text("");
  for (std::int16_t line = 1; line <= 15; ++line) {
    const rt::Variant repeats =
        rt::Mod(rt::Variant(line), rt::Variant(std::int16_t{5})) + rt::Variant(std::int16_t{1});
    for (std::int16_t k = 1; k <= repeats.integer(); ++k) text = rt::concat(text, phrase);
    text = rt::concat(text, rt::Variant("\r\n"));
  }
  bottom_form().Text1().set_Text(text);
}

void MDIResize::call_member(std::string_view name) {
  if (name == "Resizing") return Resizing();
  rt::MDIForm::call_member(name);
}
