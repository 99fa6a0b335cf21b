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

namespace {

using rt::qt::QtWindowSystem;

// The program on Qt offscreen with faults in front of the window system, reporting as it does
// outside the tests, laid out once at 9615 x 5000 twips.
class ReportingOnQt : public ::testing::Test {
 protected:
  ReportingOnQt() {
    app.set_tracer(&trace);
    app.start();
    QCoreApplication::processEvents();
    trace.lines.clear();
    qt.person().user_resize_client(9615, 5000);
  }

  MDIResize& main() { return app.instance<MDIResize>(); }
  // The QAction behind a menu item, under the fault injection.
  QAction& action(rt::Menu& menu) { return *qobject_cast<QAction*>(qt.native(menu)); }
  int count_starting(const std::string& prefix) const {
    int found = 0;
    for (const std::string& line : trace.lines) found += line.starts_with(prefix);
    return found;
  }
  // Since the trace was last cleared, a whole layout pass ran: the four children placed, the
  // label written.
  bool whole_pass() const {
    int forms = 0;
    for (const char* name :
         {"move frmResizeL ", "move frmResizeR ", "move frmResizeB ", "move frmResizeT "}) {
      forms += count_starting(name) > 0;
    }
    return forms == 4 && count_starting("caption frmResizeT.Label1") == 1;
  }
  bool program_running() {
    return !qt.closed() && app.loaded_forms().size() == 5 && qt.main_window() != nullptr &&
           qt.main_window()->isVisible();
  }

  QtWindowSystem qt;
  rt::FaultInjection faults{qt};
  rt::RecordingTracer trace;
  rt::Application app{shell::make_project(), qt};
};

TEST_F(ReportingOnQt, AFailingPassBehindARealMenuClickIsReportedOnceAndTheProgramGoesOn) {
  QAction& oplossing = action(main().mnuOplossing());
  ASSERT_FALSE(oplossing.isChecked());
  ASSERT_TRUE(whole_pass());

  // Placing the bottom form fails: the pass stops there, without resume-next, and so does the
  // click's handler; the error reaches event delivery.
  faults.plan().inject("frmResizeB", rt::PeerOp::Place, 1);
  trace.lines.clear();
  testing::internal::CaptureStderr();  // file descriptor 2: Qt's own messages too
  oplossing.trigger();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeB\n");
  EXPECT_EQ(faults.plan().fired(), 1u);
  EXPECT_EQ(app.errors_reported(), 1u);
  EXPECT_EQ(count_starting("move frmResizeT "), 0);
  EXPECT_FALSE(whole_pass());
  // The check mark was flipped before the pass ran, and stays so.
  EXPECT_TRUE(oplossing.isChecked());
  EXPECT_TRUE(main().mnuOplossing().peer().inspect().checked);
  EXPECT_TRUE(program_running());

  // The next click runs a whole pass and reports nothing.
  trace.lines.clear();
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
  trace.lines.clear();
  testing::internal::CaptureStderr();
  wiskundig.trigger();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeT\n");
  EXPECT_TRUE(wiskundig.isChecked());

  // With the check mark on, the Resize button's pass fails to write the label after
  // resume-next: discarded.
  faults.plan().inject("frmResizeT.Label1", rt::PeerOp::SetText, 1);
  trace.lines.clear();
  testing::internal::CaptureStderr();
  qobject_cast<QPushButton*>(qt.native(app.instance<frmResizeT>().Command1()))->click();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(faults.plan().fired(), 2u);
  EXPECT_EQ(count_starting("resume 440 "), 1);
  EXPECT_EQ(app.errors_reported(), 1u);
  EXPECT_TRUE(wiskundig.isChecked());
  EXPECT_TRUE(program_running());
}

}  // namespace
