// Errors that reach event delivery: each is reported once, with its number and message, on
// standard error, and the program goes on with the next event. Faults are injected into the
// in-memory window system.

#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

using Op = rt::PeerOp;
using testing_program::pixels;
using testing_program::Program;

// The program at 96 dpi after a first resize, reporting as it does outside the tests.
struct Reporting : Program {
  Reporting() : Program(pixels()) {
    app.set_error_reporter({});
    resize(9615, 5000);
  }
  // The event ran a whole layout pass: four children placed, the label written.
  bool whole_pass() const {
    return form_moves().size() >= 4 && lines("caption frmResizeT.Label1").size() == 1;
  }
};

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// A person's action whose pass fails on the call named in the report: reported once, on
// standard error, and the same action again runs a whole pass.
struct Through {
  const char* name;
  void (*act)(Reporting&);
  const char* object;
  Op op;
  const char* report;
};

void PrintTo(const Through& t, std::ostream* os) {
  *os << t.name;
}

class ReportedOnce : public ::testing::TestWithParam<Through> {};

TEST_P(ReportedOnce, AndTheProgramGoesOn) {
  const Through& t = GetParam();
  Reporting p;
  p.faults.plan().inject(t.object, t.op, 1);
  CaptureStderr();
  t.act(p);
  EXPECT_EQ(
      GetCapturedStderr(),
      std::string("mdiresize: run-time error 440: Window system call failed: ") + t.report + "\n");
  EXPECT_FALSE(p.whole_pass());
  CaptureStderr();
  t.act(p);
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_TRUE(p.whole_pass());
  EXPECT_EQ(p.app.errors_reported(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Through, ReportedOnce,
    ::testing::Values(Through{"AMenuClick", [](Reporting& p) { p.click(p.main().mnuOplossing()); },
                              "frmResizeB", Op::Place, "Place frmResizeB"},
                      Through{"AResize", [](Reporting& p) { p.resize(4500, 3000); }, "MDIResize",
                              Op::ClientSize, "ClientSize MDIResize"},
                      // The button reaches the pass by its name.
                      Through{"TheResizeButton", [](Reporting& p) { p.click_resize_button(); },
                              "frmResizeT", Op::Place, "Place frmResizeT"}),
    [](const ::testing::TestParamInfo<Through>& instance) { return instance.param.name; });

TEST(ReportedErrors, AChildsHandlerFailingInsideThePassIsReportedOnceNotAgainByThePass) {
  Reporting p;
  CaptureStderr();
  // Both children's Resize handlers fail; the pass goes on past each.
  p.faults.plan().inject("frmResizeL.List1(1)", Op::Place, 1);
  p.faults.plan().inject("frmResizeB.Text1", Op::Place, 1);
  p.resize(7000, 4000);
  EXPECT_EQ(GetCapturedStderr(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeL.List1(1)\n"
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeB.Text1\n");
  EXPECT_EQ(p.app.errors_reported(), 2u);
  EXPECT_TRUE(p.whole_pass());
}

TEST(ReportedErrors, ErrorsResumeNextDiscardsAreNotReported) {
  Reporting p;
  p.click(p.main().mnuWiskundig());
  p.faults.plan().inject("frmResizeT.Label1", Op::SetText, 1);
  CaptureStderr();
  p.resize(4500, 3000);
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_EQ(p.app.errors_reported(), 0u);
  EXPECT_EQ(p.lines("resume 440").size(), 1u);
}

}  // namespace
