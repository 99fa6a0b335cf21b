// An error that reaches event delivery from a real menu click, on real windows: a platform
// call of the layout pass fails (injected in front of the Qt window system), the runtime's own
// reporter writes it once on standard error, and the program goes on with the next event.

#include <map>
#include <set>
#include <string>
#include <vector>

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

// What the program did since it was last cleared: which objects it moved, how often it wrote
// the label, which errors resume-next discarded.
class Done final : public rt::Observer {
 public:
  void moved(const rt::Object& window, float, const rt::Variant&, const rt::Variant&,
             const rt::Variant&) override {
    moved_.insert(&window);
  }
  void property_written(const rt::Object& object, std::string_view property,
                        const rt::Variant&) override {
    if (property == "Caption") ++captions_[&object];
  }
  void error_discarded(const rt::Error& error) override { discarded.push_back(error.code()); }
  void clear() {
    moved_.clear();
    captions_.clear();
    discarded.clear();
  }

  bool moved(const rt::Object& object) const { return moved_.contains(&object); }
  int captions(const rt::Object& object) const {
    const auto found = captions_.find(&object);
    return found == captions_.end() ? 0 : found->second;
  }
  std::vector<rt::ErrorCode> discarded;

 private:
  std::set<const rt::Object*> moved_;
  std::map<const rt::Object*, int> captions_;
};

// The program on Qt offscreen with faults in front of the window system, reporting as it does
// outside the tests, laid out once at 9615 x 5000 twips.
class ReportingOnQt : public ::testing::Test {
 protected:
  ReportingOnQt() {
    app.start();
    QCoreApplication::processEvents();
    done.clear();
    qt.person().user_resize_client(9615, 5000);
  }

  MDIResize& main() { return app.instance<MDIResize>(); }
  QAction& action(rt::Menu& menu) { return *qobject_cast<QAction*>(qt.native(menu)); }
  // Since the last clear, a whole layout pass ran: every child placed, the label written.
  bool whole_pass() {
    for (const rt::Form* form : app.loaded_forms()) {
      if (form->design().mdi_child && !done.moved(*form)) return false;
    }
    return done.captions(app.instance<frmResizeT>().Label1()) == 1;
  }
  bool program_running() {
    return !qt.closed() && app.loaded_forms().size() == 5 && qt.main_window() != nullptr &&
           qt.main_window()->isVisible();
  }

  QtWindowSystem qt;
  rt::FaultInjection faults{qt};
  rt::Application app{shell::make_project(), qt};
  Done done;
  rt::Subscription watching = app.observe(done);
};

TEST_F(ReportingOnQt, AFailingPassBehindARealMenuClickIsReportedOnceAndTheProgramGoesOn) {
  QAction& oplossing = action(main().mnuOplossing());
  ASSERT_FALSE(oplossing.isChecked());
  ASSERT_TRUE(whole_pass());

  // Placing the bottom form fails: the pass stops there, without resume-next, and so does the
  // click's handler; the error reaches event delivery.
  faults.plan().inject("frmResizeB", rt::PeerOp::Place, 1);
  done.clear();
  testing::internal::CaptureStderr();  // file descriptor 2: Qt's own messages too
  oplossing.trigger();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeB\n");
  EXPECT_EQ(faults.plan().fired(), 1u);
  EXPECT_EQ(app.errors_reported(), 1u);
  EXPECT_FALSE(done.moved(app.instance<frmResizeT>()));
  EXPECT_FALSE(whole_pass());
  // The check mark was flipped before the pass ran, and stays so.
  EXPECT_TRUE(oplossing.isChecked());
  EXPECT_TRUE(main().mnuOplossing().peer().inspect().checked);
  EXPECT_TRUE(program_running());

  // The next click runs a whole pass and reports nothing.
  done.clear();
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
  done.clear();
  testing::internal::CaptureStderr();
  wiskundig.trigger();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "mdiresize: run-time error 440: Window system call failed: Place frmResizeT\n");
  EXPECT_TRUE(wiskundig.isChecked());

  // With the check mark on, the Resize button's pass fails to write the label after
  // resume-next: discarded.
  faults.plan().inject("frmResizeT.Label1", rt::PeerOp::SetText, 1);
  done.clear();
  testing::internal::CaptureStderr();
  qobject_cast<QPushButton*>(qt.native(app.instance<frmResizeT>().Command1()))->click();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(faults.plan().fired(), 2u);
  EXPECT_EQ(done.discarded, std::vector{rt::ErrorCode::PlatformCallFailed});
  EXPECT_EQ(app.errors_reported(), 1u);
  EXPECT_TRUE(wiskundig.isChecked());
  EXPECT_TRUE(program_running());
}

}  // namespace
