// How the layout pass and its callers handle failing platform calls: with "Wiskundig juist"
// the pass resumes after a failing unit, without it an error stops the pass and goes on to its
// caller. Faults are injected into the in-memory window system.

#include <gtest/gtest.h>

#include "program_fixture.h"
#include "texts.h"

namespace {

using Op = rt::PeerOp;
using testing_program::Program;

using namespace texts;
using enum rt::ErrorCode;

// The program at client `width` x 5000, "Wiskundig juist" on or not, and a first pass done.
struct Failing : Program {
  Failing(bool wiskundig, float width) {
    resize(width, 5000);
    if (wiskundig) click(main().mnuWiskundig());
    top().Label1().set_Caption(rt::Variant("before"));
    trace.lines.clear();
  }
};

// One platform call of a pass (the button's) fails, and what the pass leaves behind.
struct Failure {
  const char* name;
  bool wiskundig;  // which puts the pass's later steps under resume-next
  float width;
  const char* object;
  Op op;
  int nth;  // the object's nth call of that kind fails
  std::string caption;
  float top_width;
  std::size_t moves_of_right;  // 1 when the second placement was skipped or never reached
  bool reported;               // the error reached the reporter, and nothing was resumed
};

void PrintTo(const Failure& f, std::ostream* os) {
  *os << f.name;
}

class FailingCall : public ::testing::TestWithParam<Failure> {};

TEST_P(FailingCall, LeavesThePassAsExpected) {
  const Failure& f = GetParam();
  Failing p(f.wiskundig, f.width);
  p.faults.plan().inject(f.object, f.op, f.nth);
  p.click_resize_button();
  EXPECT_EQ(p.caption(), f.caption);
  EXPECT_EQ(p.geometry(p.top()).width, f.top_width);
  EXPECT_EQ(p.lines("move frmResizeR").size(), f.moves_of_right);
  EXPECT_EQ(p.lines("resume").size(), f.reported ? 0u : 1u);
  EXPECT_EQ(p.reported, f.reported ? Codes{PlatformCallFailed} : Codes{});
  EXPECT_EQ(p.lines("report").size(), f.reported ? 1u : 0u);
  // The program goes on: the next event runs a whole pass.
  p.click_resize_button();
  EXPECT_EQ(p.form_moves().size(), f.wiskundig ? 5u : 4u);
}

// frmResizeL's Width is read in step 3 (1st), then twice for the second placement; the top
// width once for the narrowing test, once for the overhang test. The pass makes ten reads
// of the client width; step 5's Move of the top form is its first.
const Failure kFailures[] = {
    {"SecondPlacementRead", true, 4500, "frmResizeL", Op::Geometry, 2, kTwoLines, 4500, 1, false},
    {"SecondPlacementRead2", true, 4500, "frmResizeL", Op::Geometry, 3, kTwoLines, 4500, 1, false},
    {"SecondPlacement", true, 9615, "frmResizeR", Op::Place, 2, "", 6000, 2, false},
    {"NarrowingTestHeld", true, 9615, "frmResizeT", Op::Geometry, 1, kTwoLines, 9615, 2, false},
    {"TwoLineCaption", true, 4500, "frmResizeT.Label1", Op::SetText, 1, "before", 4500, 2, false},
    {"Narrowing", true, 4500, "frmResizeT", Op::Place, 2, kTwoLines, 6000, 2, false},
    {"NarrowingClientRead", true, 4500, "MDIResize", Op::ClientSize, 10, kTwoLines, 6000, 2, false},
    {"OverhangTestHeld", true, 9615, "frmResizeT", Op::Geometry, 2, kDouble, 6000, 2, false},
    {"EmptyCaption", true, 9615, "frmResizeT.Label1", Op::SetText, 1, "before", 6000, 2, false},
    // Steps before the second placement are not covered.
    {"FirstTopMove", true, 9615, "frmResizeT", Op::Place, 1, "before", 6000, 1, true},
    // Without the option, the same failure goes on to the button's caller.
    {"NoOptionText", false, 9615, "frmResizeT.Label1", Op::SetText, 1, "before", 6000, 1, true},
    {"NoOptionClientRead", false, 9615, "MDIResize", Op::ClientSize, 1, "before", 6000, 0, true},
};
INSTANTIATE_TEST_SUITE_P(InTheButtonsPass, FailingCall, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<Failure>& instance) {
                           return instance.param.name;
                         });

TEST(WithoutResumeNext, AnErrorStopsThePassAndTheMenuHandlerButTheCheckMarkStaysFlipped) {
  Program p;
  p.resize(4500, 5000);
  p.top().Label1().set_Caption(rt::Variant("before"));
  p.faults.plan().inject("frmResizeB", Op::Place, 1);
  p.click(p.main().mnuOplossing());
  EXPECT_TRUE(p.checked(p.main().mnuOplossing()));
  EXPECT_EQ(p.reported, Codes{PlatformCallFailed});
  EXPECT_TRUE(p.lines("move frmResizeT").empty());
  EXPECT_EQ(p.caption(), "before");
  // The steps before it keep their effect. (The last pass left both scroll bars, so this
  // one worked with 4500 less a bar: half of 4245, rounded down.)
  EXPECT_EQ(p.geometry(p.left()).width, 2122.0f);
}

TEST(WithoutResumeNext, AFailingListLayoutStopsOnlyTheLeftFormsHandler) {
  Program p;
  p.faults.plan().inject("frmResizeL.List1(1)", Op::Place, 1);
  p.resize(9615, 5000);
  EXPECT_EQ(p.reported, Codes{PlatformCallFailed});
  EXPECT_EQ(p.form_moves().size(), 4u);  // the pass went on
  EXPECT_EQ(p.lines("move frmResizeL.List1(2)").size(), 0u);
}

TEST(WithoutResumeNext, AMissingMemberByNameIsTheUnsupportedMemberError) {
  Program p;
  EXPECT_EQ(error_of([&] { rt::call_by_name(p.app.Forms(0), "Resizin"); }), UnsupportedMember);
  EXPECT_EQ(error_of([&] { rt::get_by_name(p.app.Forms(0), "mnuOplosing"); }), UnsupportedMember);
}

}  // namespace
