// An error that reaches event delivery from a real menu click, on real windows: a platform
// call of the layout pass fails (injected in front of the Qt window system), the runtime's own
// reporter writes it once on standard error, and the program goes on with the next event.

#include <string>

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QPushButton>

#include <gtest/gtest.h>

#include "forms/frmResizeT.h"
#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/fault_injection.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"
#include "tests/watch.h"

namespace {

using rt::qt::QtWindowSystem;

// The program on Qt offscreen with faults in front of the window system, reporting as it does
// outside the tests, laid out once at 9615 x 5000 twips.
class ReportingOnQt : public ::testing::Test {
 protected:
  ReportingOnQt() {
    app.start();
    QCoreApplication::processEvents();
    done.calls.clear();
    qt.person().user_resize_client(9615, 5000);
  }

  MDIResize& main() { return app.instance<MDIResize>(); }
  QAction& action(rt::Menu& menu) { return *qobject_cast<QAction*>(qt.native(menu)); }
  // Since the last clear, a whole layout pass ran: every child placed, the label written.
  bool whole_pass() const {
    for (const rt::Form* form : app.loaded_forms()) {
      if (form->design().mdi_child && done.count(Watch::What::Move, form->path()) == 0) {
        return false;
      }
    }
    return done.count(Watch::What::Write, "frmResizeT.Label1", "Caption") == 1;
  }
  bool program_running() {
    return !qt.closed() && app.loaded_forms().size() == 5 && qt.main_window() != nullptr &&
           qt.main_window()->isVisible();
  }

  QtWindowSystem qt;
  rt::FaultInjection faults{qt};
  rt::Application app{shell::make_project(), qt};
  Watch done{app};
};

TEST_F(ReportingOnQt, AFailingPassBehindARealMenuClickIsReportedOnceAndTheProgramGoesOn) {
  QAction& oplossing = action(main().mnuOplossing());
  ASSERT_FALSE(oplossing.isChecked());
  ASSERT_TRUE(whole_pass());

  // Placing the bottom form fails: the pass stops there, without resume-next, and so does the
  // click's handler; the error reaches event delivery.
  faults.plan().inject("frmResizeB", rt::PeerOp::Place, 1);
  done.calls.clear();
  testing::internal::CaptureStderr();  // file descriptor 2: Qt's own messages too
  oplossing.trigger();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeB\n");
  EXPECT_EQ(faults.plan().fired(), 1u);
  EXPECT_EQ(app.errors_reported(), 1u);
  EXPECT_EQ(done.count(Watch::What::Move, "frmResizeT"), 0);
  EXPECT_FALSE(whole_pass());
  // The check mark was flipped before the pass ran, and stays so.
  EXPECT_TRUE(oplossing.isChecked());
  EXPECT_TRUE(main().mnuOplossing().peer().inspect().checked);
  EXPECT_TRUE(program_running());

  // The next click runs a whole pass and reports nothing.
  done.calls.clear();
  testing::internal::CaptureStderr();
  oplossing.trigger();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(whole_pass());
  EXPECT_FALSE(oplossing.isChecked());
  EXPECT_EQ(app.errors_reported(), 1u);
  EXPECT_TRUE(program_running());
}

// "Wiskundig juist" switches resume-next on late in its pass: a failure before that point
// still reaches event delivery, one after it is discarded and reported nowhere.
TEST_F(ReportingOnQt, WiskundigReportsWhatFailsBeforeResumeNextAndNothingAfter) {
  QAction& wiskundig = action(main().mnuWiskundig());
  faults.plan().inject("frmResizeT", rt::PeerOp::Place, 1);
  done.calls.clear();
  testing::internal::CaptureStderr();
  wiskundig.trigger();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeT\n");
  EXPECT_TRUE(wiskundig.isChecked());

  // With the check mark on, the Resize button's pass fails to write the label after
  // resume-next: discarded.
  faults.plan().inject("frmResizeT.Label1", rt::PeerOp::SetText, 1);
  done.calls.clear();
  testing::internal::CaptureStderr();
  qobject_cast<QPushButton*>(qt.native(app.instance<frmResizeT>().Command1()))->click();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(faults.plan().fired(), 2u);
  EXPECT_EQ(done.count(Watch::What::Discarded, ""), 1);
  EXPECT_EQ(done.count(Watch::What::Discarded, "", "440"), 1);
  EXPECT_EQ(app.errors_reported(), 1u);
  EXPECT_TRUE(wiskundig.isChecked());
  EXPECT_TRUE(program_running());
}

}  // namespace
