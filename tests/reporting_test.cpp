// Errors that reach event delivery: each is reported once, with its number and message, on
// standard error, and the program goes on with the next event. Faults are injected into the
// in-memory window system.

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "program_fixture.h"
#include "texts.h"

namespace {

using Op = rt::PeerOp;
using testing_program::pixels;
using testing_program::Program;

// Standard error, as the runtime's own reporter writes it, for the life of this object.
class CapturedStandardError {
 public:
  CapturedStandardError() : saved_(std::cerr.rdbuf(captured_.rdbuf())) {}
  ~CapturedStandardError() { std::cerr.rdbuf(saved_); }
  CapturedStandardError(const CapturedStandardError&) = delete;
  CapturedStandardError& operator=(const CapturedStandardError&) = delete;

  // What was written since the last call.
  std::string take() {
    std::string text = captured_.str();
    captured_.str("");
    return text;
  }

 private:
  std::ostringstream captured_;
  std::streambuf* saved_;
};

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

TEST(ReportedErrors, ThroughAMenuClickOnceOnStandardErrorAndTheProgramGoesOn) {
  Reporting p;
  CapturedStandardError err;
  p.ws.faults().inject("frmResizeB", Op::Place, 1);
  p.click(p.main().mnuOplossing());
  EXPECT_EQ(err.take(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeB\n");
  EXPECT_EQ(p.app.errors_reported(), 1u);
  EXPECT_FALSE(p.whole_pass());
  EXPECT_TRUE(p.checked(p.main().mnuOplossing()));

  p.click(p.main().mnuOplossing());
  EXPECT_EQ(err.take(), "");
  EXPECT_TRUE(p.whole_pass());
  EXPECT_FALSE(p.checked(p.main().mnuOplossing()));
  EXPECT_EQ(p.app.errors_reported(), 1u);
}

TEST(ReportedErrors, ThroughAResizeOnceOnStandardErrorAndTheProgramGoesOn) {
  Reporting p;
  CapturedStandardError err;
  p.ws.faults().inject("MDIResize", Op::ClientSize, 1);
  p.resize(4500, 3000);
  EXPECT_EQ(err.take(),
            "mdiresize: run-time error 440: Window system call failed: ClientSize MDIResize\n");
  EXPECT_TRUE(p.form_moves().empty());

  p.resize(4500, 3000);
  EXPECT_EQ(err.take(), "");
  EXPECT_TRUE(p.whole_pass());
  EXPECT_EQ(p.caption(), texts::kDouble);
}

TEST(ReportedErrors, ThroughTheResizeButtonAndItsCallByName) {
  Reporting p;
  CapturedStandardError err;
  p.ws.faults().inject("frmResizeT", Op::Place, 1);
  p.click_resize_button();
  EXPECT_EQ(err.take(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeT\n");
  p.click_resize_button();
  EXPECT_EQ(err.take(), "");
  EXPECT_TRUE(p.whole_pass());
}

TEST(ReportedErrors, AChildsHandlerFailingInsideThePassIsReportedOnceNotAgainByThePass) {
  Reporting p;
  CapturedStandardError err;
  // Both children's Resize handlers fail; the pass goes on past each.
  p.ws.faults().inject("frmResizeL.List1(1)", Op::Place, 1);
  p.ws.faults().inject("frmResizeB.Text1", Op::Place, 1);
  p.resize(7000, 4000);
  EXPECT_EQ(err.take(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeL.List1(1)\n"
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeB.Text1\n");
  EXPECT_EQ(p.app.errors_reported(), 2u);
  EXPECT_TRUE(p.whole_pass());
}

TEST(ReportedErrors, ErrorsResumeNextDiscardsAreNotReported) {
  Reporting p;
  p.click(p.main().mnuWiskundig());
  CapturedStandardError err;
  p.ws.faults().inject("frmResizeT.Label1", Op::SetText, 1);
  p.resize(4500, 3000);
  EXPECT_EQ(err.take(), "");
  EXPECT_EQ(p.app.errors_reported(), 0u);
  EXPECT_EQ(p.lines("resume 440").size(), 1u);
}

}  // namespace
