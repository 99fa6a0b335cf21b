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

// The program at client `width` x 5000 with "Wiskundig juist" on and a first pass done.
struct Wiskundig : Program {
  explicit Wiskundig(float width) {
    resize(width, 5000);
    click(main().mnuWiskundig());
    top().Label1().set_Caption(rt::Variant("before"));
    trace.lines.clear();
  }
  // Runs the pass once more, through the button.
  void pass() { click_resize_button(); }
};

TEST(ResumeNext, AFailureInTheSecondPlacementSkipsItAndTheReportStillRuns) {
  // frmResizeL's Width is read in step 3 (1st), then twice for the second placement.
  for (const int nth : {2, 3}) {
    Wiskundig p(4500);
    p.ws.faults().inject("frmResizeL", Op::Geometry, nth);
    p.pass();
    EXPECT_EQ(p.lines("move frmResizeR").size(), 1u) << nth;
    EXPECT_EQ(p.lines("resume").size(), 1u);
    EXPECT_EQ(p.caption(), kTwoLines);
    EXPECT_TRUE(p.reported.empty());
  }
  {
    Wiskundig p(9615);
    p.ws.faults().inject("frmResizeR", Op::Place, 2);  // the second Move itself
    p.pass();
    EXPECT_EQ(p.lines("resume").size(), 1u);
    EXPECT_EQ(p.caption(), "");
    EXPECT_TRUE(p.reported.empty());
  }
}

TEST(ResumeNext, AFailingTestOfTheNarrowingCountsAsHeld) {
  // Nothing overhangs at 9615, yet a failed read of the top width leads to the two-line
  // text and to the top form being set to the client width.
  Wiskundig p(9615);
  p.ws.faults().inject("frmResizeT", Op::Geometry, 1);
  p.pass();
  EXPECT_EQ(p.caption(), kTwoLines);
  EXPECT_EQ(p.geometry(p.top()).width, 9615.0f);
  EXPECT_TRUE(p.reported.empty());
}

TEST(ResumeNext, AFailingCaptionStillNarrows) {
  Wiskundig p(4500);
  p.ws.faults().inject("frmResizeT.Label1", Op::SetText, 1);
  p.pass();
  EXPECT_EQ(p.caption(), "before");
  EXPECT_EQ(p.geometry(p.top()).width, 4500.0f);
  EXPECT_TRUE(p.reported.empty());
}

TEST(ResumeNext, AFailingNarrowingEndsThePass) {
  Wiskundig p(4500);
  p.ws.faults().inject("frmResizeT", Op::Place, 2);  // step 5's Move is the first
  p.pass();
  EXPECT_EQ(p.caption(), kTwoLines);
  EXPECT_EQ(p.geometry(p.top()).width, 6000.0f);
  EXPECT_EQ(p.lines("resume").size(), 1u);
  EXPECT_TRUE(p.reported.empty());
  // A failing client-width read belongs to the narrowing too.
  Wiskundig q(4500);
  q.ws.faults().inject("MDIResize", Op::ClientSize, 10);  // the last of the pass's ten reads
  q.pass();
  EXPECT_EQ(q.caption(), kTwoLines);
  EXPECT_EQ(q.geometry(q.top()).width, 6000.0f);
  EXPECT_EQ(q.lines("resume").size(), 1u);
}

TEST(ResumeNext, AFailingOverhangTestCountsAsHeld) {
  // Nothing overhangs; the top width is read a first time for the narrowing test and a
  // second time for the overhang test, which fails.
  Wiskundig p(9615);
  p.ws.faults().inject("frmResizeT", Op::Geometry, 2);
  p.pass();
  EXPECT_EQ(p.caption(), kDouble);
  EXPECT_TRUE(p.reported.empty());
}

TEST(ResumeNext, AFailingEmptyTextEndsThePass) {
  Wiskundig p(9615);
  p.ws.faults().inject("frmResizeT.Label1", Op::SetText, 1);
  p.pass();
  EXPECT_EQ(p.caption(), "before");
  EXPECT_EQ(p.lines("resume").size(), 1u);
  EXPECT_TRUE(p.reported.empty());
}

TEST(ResumeNext, StepsBeforeTheSecondPlacementAreNotCovered) {
  Wiskundig p(9615);
  p.ws.faults().inject("frmResizeT", Op::Place, 1);  // step 5
  p.pass();
  EXPECT_EQ(p.reported, Codes{PlatformCallFailed});
  EXPECT_EQ(p.lines("move frmResizeR").size(), 1u);  // no second placement
  EXPECT_EQ(p.caption(), "before");
}

TEST(WithoutResumeNext, AnErrorStopsThePassAndTheMenuHandlerButTheCheckMarkStaysFlipped) {
  Program p;
  p.resize(4500, 5000);
  p.top().Label1().set_Caption(rt::Variant("before"));
  p.ws.faults().inject("frmResizeB", Op::Place, 1);
  p.click(p.main().mnuOplossing());
  EXPECT_TRUE(p.checked(p.main().mnuOplossing()));
  EXPECT_EQ(p.reported, Codes{PlatformCallFailed});
  EXPECT_TRUE(p.lines("move frmResizeT").empty());
  EXPECT_EQ(p.caption(), "before");
  // The steps before it keep their effect. (The last pass left both scroll bars, so this
  // one worked with 4500 less a bar: half of 4245, rounded down.)
  EXPECT_EQ(p.geometry(p.left()).width, 2122.0f);
}

TEST(WithoutResumeNext, AnErrorInTheReportGoesToTheCaller) {
  Program p;
  p.resize(9615, 5000);
  p.ws.faults().inject("frmResizeT.Label1", Op::SetText, 1);
  p.resize(9000, 5000);
  EXPECT_EQ(p.reported, Codes{PlatformCallFailed});
  EXPECT_TRUE(p.lines("resume").empty());
  EXPECT_EQ(p.lines("report").size(), 1u);
}

TEST(WithoutResumeNext, FromTheResizeButtonTheErrorStopsTheClickAndIsReported) {
  Program p;
  p.ws.faults().inject("MDIResize", Op::ClientSize, 1);
  p.click_resize_button();
  EXPECT_EQ(p.reported, Codes{PlatformCallFailed});
  EXPECT_TRUE(p.form_moves().empty());
  // The program goes on: the next event runs a whole pass.
  p.click_resize_button();
  EXPECT_EQ(p.form_moves().size(), 4u);
}

TEST(WithoutResumeNext, AFailingListLayoutStopsOnlyTheLeftFormsHandler) {
  Program p;
  p.ws.faults().inject("frmResizeL.List1(1)", Op::Place, 1);
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
