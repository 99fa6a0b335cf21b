// The forms runtime: default instances, the Forms registry, event delivery, late binding,
// resume-next and declared functions, on the in-memory window system.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "error_of.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/on_error.h"
#include "test_project.h"

namespace {

using rt::Variant;
using testapp::ChildA;
using testapp::ChildB;
using testapp::ChildC;
using testapp::Main;
using Strings = std::vector<std::string>;
using enum rt::ErrorCode;

class RuntimeTest : public ::testing::Test {
 protected:
  RuntimeTest() {
    t.app.set_error_reporter([this](const rt::Error& e) { reported.push_back(e.code()); });
  }

  rt::headless::HeadlessWindowSystem ws;
  testapp::TestApp t{ws};
  Codes reported;
};

TEST_F(RuntimeTest, StartUpCreatesTheMainWindowWhichShowsItself) {
  t.app.start();
  EXPECT_EQ(t.log.lines, (Strings{"Main.Initialize", "Main.Resize"}));
  ASSERT_EQ(t.app.loaded_forms().size(), 1u);
  EXPECT_EQ(&t.app.Forms(0), t.app.existing_instance("Main"));
  // No code referred to the children: they do not exist.
  EXPECT_EQ(t.app.existing_instance("ChildA"), nullptr);
  EXPECT_EQ(t.app.existing_instance("ChildC"), nullptr);
}

TEST_F(RuntimeTest, FirstReferenceCreatesLoadingWaitsForAnAccessThatNeedsTheWindow) {
  t.app.start();
  auto& c = t.app.instance<ChildC>();
  EXPECT_FALSE(c.loaded());
  EXPECT_EQ(t.app.loaded_forms().size(), 1u);
  EXPECT_EQ(&t.app.instance<ChildC>(), &c);  // one instance per class
  c.Width();
  EXPECT_TRUE(c.loaded());
  ASSERT_EQ(t.app.loaded_forms().size(), 2u);
  EXPECT_EQ(&t.app.Forms(1), &c);
}

TEST_F(RuntimeTest, FormsAreRegisteredInLoadOrderNotCreationOrder) {
  t.app.start();
  auto& c = t.app.instance<ChildC>();
  auto& b = t.app.instance<ChildB>();
  b.ScaleWidth();
  c.ScaleWidth();
  EXPECT_EQ(&t.app.Forms(0), t.app.existing_instance("Main"));
  EXPECT_EQ(&t.app.Forms(1), &b);
  EXPECT_EQ(&t.app.Forms(2), &c);
  EXPECT_EQ(error_of([&] { t.app.Forms(3); }), SubscriptOutOfRange);
  EXPECT_EQ(error_of([&] { t.app.Forms(-1); }), SubscriptOutOfRange);
}

TEST_F(RuntimeTest, InitializeThatLoadsTheFormRunsResizeNestedInsideIt) {
  t.log.on_main_resize = [](rt::Form& main) { main.app().instance<ChildA>(); };
  t.app.start();
  EXPECT_EQ(t.log.lines, (Strings{"Main.Initialize", "Main.Resize", "ChildA.Initialize",
                                  "ChildA.Resize", "ChildA.Initialize done"}));
  auto& a = t.app.instance<ChildA>();
  // The design-time item comes first, the added one after it.
  EXPECT_EQ(a.List1(0).peer().inspect().item_count, 1);
  EXPECT_EQ(a.List1(1).peer().inspect().item_count, 1);
}

TEST_F(RuntimeTest, MoveRaisesResizeBeforeItReturnsOnlyWhenTheSizeChanges) {
  t.app.start();
  auto& b = t.app.instance<ChildB>();
  b.Move(0, Variant(std::int16_t{0}), Variant(3000.0f), Variant(1000.0f));  // loads: first shown
  t.log.lines.clear();
  t.log.on_child_b_resize = [&] { t.log.lines.push_back("width " + rt::format_number(b.Width())); };
  b.Move(150, Variant(std::int16_t{150}), Variant(3000.0f), Variant(1000.0f));
  EXPECT_EQ(t.log.lines, Strings{});
  b.Move(150, Variant(std::int16_t{150}), Variant(4500.0f), Variant(1000.0f));
  EXPECT_EQ(t.log.lines, (Strings{"ChildB.Resize", "width 4500"}));
  b.set_Width(Variant(3000.0f));
  EXPECT_EQ(t.log.lines.size(), 4u);
  // Moving it to a size that rounds to the same pixels is no change either.
  b.Move(150, Variant(std::int16_t{150}), Variant(3003.0f), Variant(1000.0f));
  EXPECT_EQ(t.log.lines.size(), 4u);
}

// A run-time error that escapes a handler is reported, and so is any other exception (memory
// running out, a library's own) as one; the next event is delivered as usual.
TEST_F(RuntimeTest, WhateverEscapesAHandlerIsReportedAndTheProgramGoesOn) {
  t.log.on_main_resize = [](rt::Form& main) {
    main.Move(0, Variant(std::int16_t{0}), Variant(-1.0f), Variant(1.0f));
  };
  t.app.start();
  t.log.on_main_resize = [](rt::Form&) { throw std::bad_alloc(); };
  ws.person().user_resize_client(7000, 5000);
  t.log.on_main_resize = [](rt::Form&) { throw std::length_error("vector too long"); };
  ws.person().user_resize_client(7500, 5000);
  EXPECT_EQ(reported, (Codes{InvalidProcedureCall, OutOfMemory, Internal}));
  EXPECT_EQ(t.app.errors_reported(), 3u);
  t.log.on_main_resize = nullptr;
  ws.person().user_resize_client(8000, 5000);
  EXPECT_EQ(reported.size(), 3u);
  EXPECT_EQ(t.log.lines.back(), "Main.Resize");
}

TEST_F(RuntimeTest, ErrorInANestedEventStopsOnlyThatHandler) {
  t.app.start();
  auto& b = t.app.instance<ChildB>();
  t.log.on_child_b_resize = [] { rt::raise(rt::ErrorCode::Overflow); };
  b.Move(0, Variant(std::int16_t{0}), Variant(150.0f), Variant(150.0f));
  EXPECT_EQ(reported, (Codes{Overflow, Overflow}));  // first shown, then resized
  EXPECT_EQ(b.Width(), 150.0f);                      // the Move itself went through
}

TEST_F(RuntimeTest, ErrorReportGoesToStandardErrorWithNumberAndMessage) {
  rt::headless::HeadlessWindowSystem ws2;
  testapp::TestApp t2{ws2};
  t2.log.on_main_resize = [](rt::Form&) { rt::raise(rt::ErrorCode::DivisionByZero); };
  testing::internal::CaptureStderr();
  t2.app.start();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("11"), std::string::npos) << err;
  EXPECT_NE(err.find("Division by zero"), std::string::npos) << err;
}

TEST_F(RuntimeTest, MembersByNameAreResolvedAtEveryCall) {
  t.app.start();
  rt::Form& main = t.app.Forms(0);
  const Variant item = rt::get_by_name(main, "mnuOpt");
  ASSERT_EQ(item.type(), rt::VarType::Object);
  EXPECT_EQ(rt::get_by_name(item, "Checked"), Variant(false));
  t.app.instance<Main>().mnuOpt().set_Checked(true);
  EXPECT_EQ(rt::get_by_name(item, "Checked"), Variant(true));
  EXPECT_EQ(rt::get_by_name(main, "ScaleWidth"), Variant(6000.0f));

  rt::call_by_name(main, "Refresh");
  EXPECT_EQ(t.log.lines.back(), "Main.Refresh");

  EXPECT_EQ(error_of([&] { rt::get_by_name(main, "mnuNope"); }), UnsupportedMember);
  EXPECT_EQ(error_of([&] { rt::call_by_name(main, "Refreshh"); }), UnsupportedMember);
  EXPECT_EQ(error_of([&] { rt::get_by_name(item, "Checkd"); }), UnsupportedMember);
  // A form has no procedure a name would reach by accident: a property is not a procedure.
  EXPECT_EQ(error_of([&] { rt::call_by_name(main, "ScaleWidth"); }), UnsupportedMember);
}

TEST_F(RuntimeTest, ClicksReachTheirHandlersThroughTheWindowSystem) {
  t.app.start();
  auto& main = t.app.instance<Main>();
  ws.person().user_click(main.mnuOpt());
  EXPECT_EQ(t.log.lines.back(), "Main.mnuOpt.Click");
  EXPECT_TRUE(main.mnuOpt().Checked());

  auto& b = t.app.instance<ChildB>();
  ws.person().user_click(b.Command1());
  EXPECT_EQ(t.log.lines, (Strings{"Main.Initialize", "Main.Resize", "Main.mnuOpt.Click",
                                  "ChildB.Resize", "ChildB.Command1.Click", "Main.Refresh"}));
}

TEST_F(RuntimeTest, ControlArrayElementsAndMissingControls) {
  t.app.start();
  auto& a = t.app.instance<ChildA>();
  EXPECT_EQ(a.List1(1).path(), "ChildA.List1(1)");
  EXPECT_EQ(a.loaded_control("List1", 1), &a.List1(1));
  EXPECT_EQ(a.loaded_control("List1"), nullptr);  // an element only by its index
  // A bound control array raises for a missing element every time.
  for (const int missing : {2, 2, -1, 2}) {
    EXPECT_EQ(error_of([&] { a.List1(static_cast<std::int16_t>(missing)); }), SubscriptOutOfRange)
        << missing;
    EXPECT_EQ(a.List1(0).path(), "ChildA.List1(0)");
  }
  EXPECT_EQ(error_of([&] { a.control<rt::Label>("Label9"); }), UnsupportedMember);
  EXPECT_EQ(error_of([&] { a.control<rt::ListBox>("Label1"); }), TypeMismatch);
}

TEST_F(RuntimeTest, ResumeNextAbandonsAFailingUnitAsAWhole) {
  t.app.start();
  rt::RecordingTracer tracer;
  t.app.set_tracer(&tracer);
  rt::OnError on_error(t.app);
  Strings done;
  // Off: the error goes on to the caller.
  EXPECT_EQ(error_of([&] { on_error.unit([] { rt::raise(rt::ErrorCode::Overflow); }); }), Overflow);

  on_error.resume_next();
  const bool first = on_error.unit([&] {
    done.push_back("a");
    rt::raise(rt::ErrorCode::Overflow);
    done.push_back("b");
  });
  const bool second = on_error.unit([&] { done.push_back("c"); });
  EXPECT_FALSE(first);
  EXPECT_TRUE(second);
  EXPECT_EQ(done, (Strings{"a", "c"}));
  EXPECT_EQ(tracer.lines, Strings{"resume 6 \"Overflow\""});
  EXPECT_TRUE(reported.empty());
  t.app.set_tracer(nullptr);
}

TEST_F(RuntimeTest, DeclaredSendMessageSetsTheExtentAndIsLookedUpOnce) {
  t.app.start();
  auto& a = t.app.instance<ChildA>();
  rt::RecordingTracer tracer;
  t.app.set_tracer(&tracer);
  rt::DeclaredFunction send(t.app, "user32", "SendMessageA");
  const std::int32_t handle = a.List1(1).hWnd();
  EXPECT_EQ(send(handle, rt::LB_SETHORIZONTALEXTENT, 1000, 0), 0);
  EXPECT_EQ(a.List1(1).peer().inspect().horizontal_extent, 1000);
  EXPECT_EQ(a.List1(0).peer().inspect().horizontal_extent, 0);
  // An unknown handle is ignored.
  EXPECT_EQ(send(999999, rt::LB_SETHORIZONTALEXTENT, 5, 0), 0);
  EXPECT_EQ(send(-1, 0, 0, 0), 0);
  EXPECT_EQ(std::count(tracer.lines.begin(), tracer.lines.end(), "declare user32.SendMessageA"), 1);
  t.app.set_tracer(nullptr);

  rt::DeclaredFunction upper_case(t.app, "USER32.DLL", "SendMessageA");
  EXPECT_EQ(upper_case(handle, rt::LB_SETHORIZONTALEXTENT, 7, 0), 0);
  rt::DeclaredFunction no_library(t.app, "user33", "SendMessageA");
  EXPECT_EQ(error_of([&] { no_library(handle, 0, 0, 0); }), LibraryNotFound);
  rt::DeclaredFunction no_entry(t.app, "user32", "SendMessageW");
  EXPECT_EQ(error_of([&] { no_entry(handle, 0, 0, 0); }), EntryPointNotFound);
  // Nothing was cached by the failure: it fails again at the next call.
  EXPECT_EQ(error_of([&] { no_entry(handle, 0, 0, 0); }), EntryPointNotFound);
}

TEST_F(RuntimeTest, TraceShowsMoveArgumentsWithTheirTypes) {
  t.app.start();
  auto& c = t.app.instance<ChildC>();
  rt::RecordingTracer tracer;
  t.app.set_tracer(&tracer);
  c.Move(0, Variant(std::int16_t{0}), Variant(4807.5f), Variant(4000.0));
  t.app.set_tracer(nullptr);
  EXPECT_EQ(tracer.lines,
            (Strings{"load ChildC", "move ChildC 0 0:Integer 4807.5:Single 4000:Double"}));
}

TEST_F(RuntimeTest, MoveRejectsNegativeAndUnrepresentableSizesWithoutMoving) {
  t.app.start();
  auto& c = t.app.instance<ChildC>();
  c.Move(15, Variant(std::int16_t{15}), Variant(1500.0f), Variant(1500.0f));
  EXPECT_EQ(error_of([&] { c.Move(0, Variant(std::int16_t{0}), Variant(-15.0f), Variant(10.0f)); }),
            InvalidProcedureCall);
  EXPECT_EQ(error_of([&] { c.Move(0, Variant(std::int16_t{0}), Variant(1e39), Variant(10.0f)); }),
            Overflow);
  EXPECT_EQ(error_of([&] { c.set_Width(Variant(-1.0f)); }), InvalidProcedureCall);
  EXPECT_EQ(c.Left(), 15.0f);
  EXPECT_EQ(c.Width(), 1500.0f);
}

TEST_F(RuntimeTest, ClosingAChildByHandUnloadsItAndTheNextAccessLoadsItAgain) {
  t.app.start();
  auto& a = t.app.instance<ChildA>();
  a.List1(0).AddItem(Variant("more"));
  a.unload();
  EXPECT_EQ(t.app.loaded_forms().size(), 1u);
  t.log.lines.clear();
  // Same instance, no second Initialize; the window comes back with its design-time values.
  EXPECT_EQ(a.List1(0).peer().inspect().item_count, 0);
  EXPECT_EQ(t.log.lines, Strings{"ChildA.Resize"});
  EXPECT_EQ(&t.app.Forms(1), &a);
}

// Controls and menu items named in code are bound once per load of their form; a form loaded
// again has new ones, and the names must reach those.
TEST_F(RuntimeTest, BoundControlsAndMenuItemsFollowTheirFormThroughAnUnloadAndLoad) {
  t.app.start();
  auto& a = t.app.instance<ChildA>();
  a.List1(0).AddItem(Variant("more"));
  EXPECT_EQ(&a.List1(1), &a.control<rt::ListBox>("List1", 1));
  EXPECT_EQ(&a.Label1(), &a.control<rt::Label>("Label1"));
  a.unload();
  EXPECT_EQ(a.loaded_control("Label1"), nullptr);  // which does not load it
  EXPECT_FALSE(a.loaded());
  // The first use after the unload loads the form, and finds the controls it has now.
  rt::ListBox& list = a.List1(0);
  EXPECT_TRUE(a.loaded());
  EXPECT_EQ(&list, &a.control<rt::ListBox>("List1", 0));
  EXPECT_EQ(list.peer().inspect().item_count, 0);
  EXPECT_EQ(&a.List1(1), &a.control<rt::ListBox>("List1", 1));
  EXPECT_EQ(a.List1(1).peer().inspect().items, Strings{"design"});
  EXPECT_EQ(&a.Label1(), &a.control<rt::Label>("Label1"));
  a.Label1().set_Caption(Variant("again"));
  EXPECT_EQ(a.Label1().Caption(), "again");

  auto& main = t.app.instance<Main>();
  ws.person().user_click(main.mnuOpt());
  EXPECT_TRUE(main.mnuOpt().Checked());
  a.unload();
  main.unload();
  EXPECT_EQ(t.app.loaded_forms().size(), 0u);
  EXPECT_EQ(main.loaded_menu("mnuOpt"), nullptr);
  // Loaded again with its design-time check mark, through the bound name.
  EXPECT_FALSE(main.mnuOpt().Checked());
  EXPECT_TRUE(main.loaded());
  EXPECT_EQ(&main.mnuOpt(), &main.menu("mnuOpt"));
  EXPECT_EQ(main.loaded_menu("mnuOpt"), &main.mnuOpt());
}

}  // namespace
