// The headless session mode: commands, state, trace and the handling of bad input.

#include <gtest/gtest.h>

#include <sstream>

#include "app/cli.h"
#include "app/session.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome session(const std::string& script, std::vector<std::string_view> args = {"--headless"}) {
  app::Options options;
  const std::string error = app::parse_options(args, options);
  EXPECT_EQ(error, "");
  std::istringstream in(script);
  std::ostringstream out;
  std::ostringstream err;
  const int status = app::run_headless(options, in, out, err);
  return {status, out.str(), err.str()};
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(Session, TraceShowsTheMovesOfTheExample) {
  const Outcome r = session("resize 9615 5000\nclick mnuWiskundig\nstate\n",
                            {"--headless", "--exact", "--trace"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const auto lines = lines_of(r.out);
  const auto click = std::find(lines.begin(), lines.end(), "event MDIResize.mnuWiskundig Click");
  ASSERT_NE(click, lines.end());
  std::vector<std::string> moves;
  for (auto it = click; it != lines.end(); ++it) {
    const std::string object = it->substr(0, it->find(' ', 5));
    if (object.rfind("move frmResize", 0) == 0 && object.find('.') == std::string::npos) {
      moves.push_back(*it);
    }
  }
  EXPECT_EQ(moves, (std::vector<std::string>{
                       "move frmResizeL 0 0:Integer 4807.5:Single 4000:Double",
                       "move frmResizeR 4807.5 0:Integer 4807.5:Single 4000:Double",
                       "move frmResizeB 0 4000:Double 9615:Single 1000:Double",
                       "move frmResizeT 0 1000:Integer 6000:Integer 1200:Integer",
                       "move frmResizeR 4807.5 0:Integer 4807.5:Single 4000:Double"}));
  EXPECT_TRUE(contains(r.out, "menu MDIResize.mnuWiskundig checked=True\n"));
  EXPECT_TRUE(contains(r.out, "caption frmResizeT.Label1 \"\"\n"));
}

TEST(Session, StateDescribesEveryFormAndControl) {
  const Outcome r = session("resize 4500 3000\nstate\n");
  const auto lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 1u + 5 + 3 + 1 + 2 + 4);  // bars, forms, lists, text, label+button, menus
  EXPECT_EQ(lines[0], "scrollbars both");
  EXPECT_TRUE(contains(r.out,
                       "form MDIResize left=0 top=0 width=4500 height=3000 "
                       "scalewidth=4245 scaleheight=2745\n"));
  EXPECT_TRUE(contains(r.out,
                       "control frmResizeT.Label1 left=120 top=120 width=4455 "
                       "height=855 caption=\"Oeps. Dubbele scrollbar\"\n"));
  EXPECT_TRUE(contains(r.out, "items=27 extent=0\n"));
  EXPECT_TRUE(contains(r.out,
                       "control frmResizeB.Text1 left=0 top=0 width=4500 height=600 "
                       "length=92\n"));
}

TEST(Session, CommentsBlankLinesAndQuit) {
  const Outcome r = session("# a comment\n\n   \nstate # trailing\nquit\nbogus\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(contains(r.out, "scrollbars none"));
}

TEST(Session, BadLinesAreNamedByNumberAndTheSessionGoesOn) {
  const Outcome r = session(
      "resize 100\n"         // 1: missing argument
      "resize abc 100\n"     // 2: not a number
      "resize -15 100\n"     // 3: negative
      "resize nan 100\n"     // 4
      "resize inf 100\n"     // 5
      "resize 1e9 100\n"     // 6: not plain decimal
      "resize 99999999 1\n"  // 7: too large
      "frobnicate\n"         // 8: unknown command
      "click mnuNothing\n"   // 9: unknown name
      "click List1\n"        // 10: not something to click
      "state extra\n"        // 11
      "resize 7500 3000\n"   // 12: fine
      "state\n");
  EXPECT_EQ(r.status, 1);
  const auto errors = lines_of(r.err);
  ASSERT_EQ(errors.size(), 11u) << r.err;
  for (int i = 0; i < 11; ++i) {
    EXPECT_TRUE(
        contains(errors[static_cast<std::size_t>(i)], "line " + std::to_string(i + 1) + ": "))
        << errors[static_cast<std::size_t>(i)];
  }
  EXPECT_TRUE(contains(errors[2], "negative"));
  EXPECT_TRUE(contains(errors[6], "too large"));
  EXPECT_TRUE(contains(errors[7], "unknown command"));
  // The good lines still ran.
  EXPECT_TRUE(contains(r.out, "form MDIResize left=0 top=0 width=7500 height=3000"));
}

TEST(Session, ClicksReachTheProgram) {
  const Outcome r =
      session("resize 9615 5000\nclick mnuOplossing\nclick mnuVulBox\nclick Command1\nstate\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(contains(r.out, "menu MDIResize.mnuOplossing checked=True"));
  EXPECT_TRUE(contains(r.out, "length=1650"));
  EXPECT_TRUE(contains(r.out, "extent=1000"));
}

TEST(Session, AScriptThatCannotBeReadIsAUsageError) {
  app::Options options;
  options.mode = app::Options::Mode::Headless;
  options.script = "/nonexistent/script";
  std::istringstream in;
  std::ostringstream out, err;
  EXPECT_EQ(app::run_headless(options, in, out, err), app::kExitUsage);
  EXPECT_TRUE(contains(err.str(), "cannot read script"));
}

TEST(Options, ParsingAndItsErrors) {
  auto parse = [](std::vector<std::string_view> args, app::Options& o) {
    return app::parse_options(args, o);
  };
  app::Options o;
  EXPECT_EQ(parse({"--headless", "--twips-per-pixel", "12", "--trace", "--script=-"}, o), "");
  EXPECT_EQ(o.mode, app::Options::Mode::Headless);
  EXPECT_EQ(o.twips_per_pixel, 12.0);
  EXPECT_TRUE(o.trace);
  EXPECT_EQ(o.script, "-");
  app::Options h;
  EXPECT_EQ(parse({"--bogus", "--help"}, h).substr(0, 14), "unknown option");
  app::Options e;
  EXPECT_NE(parse({"--headless", "--exact", "--twips-per-pixel", "15"}, e), "");
  app::Options z;
  EXPECT_NE(parse({"--twips-per-pixel", "0"}, z), "");
  app::Options m;
  EXPECT_NE(parse({"--twips-per-pixel"}, m), "");
  app::Options n;
  EXPECT_NE(parse({"--twips-per-pixel", "-3"}, n), "");
  app::Options v;
  EXPECT_NE(parse({"--trace=yes"}, v), "");
  app::Options help;
  EXPECT_EQ(parse({"--help"}, help), "");
  EXPECT_EQ(help.mode, app::Options::Mode::Help);
  EXPECT_TRUE(contains(app::usage_text(), "resize W H"));
}

// Found by reasoning over what the session fuzzer accepts: a pixel of 1e-320 twips passed as
// "more than 0", made every length of the in-memory window system infinite and every layout
// pass a reported overflow, so that the children were never even created.
TEST(Options, APixelFinerThanAnyScreenIsRefused) {
  const std::string tiny = "0." + std::string(319, '0') + "1";
  app::Options o;
  EXPECT_EQ(app::parse_options({"--headless", "--twips-per-pixel", tiny}, o),
            "--twips-per-pixel: must be at least 0.01");
  const Outcome r =
      session("resize 16777216 16777216\nstate\n", {"--headless", "--twips-per-pixel", "0.01"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(contains(r.out, "form MDIResize left=0 top=0 width=16777216 height=16777216"));
  EXPECT_TRUE(contains(r.out, "form frmResizeT "));
}

TEST(Options, TwipsPerPixelChangesTheSnapping) {
  const Outcome r = session("resize 9615 5000\nstate\n", {"--headless", "--twips-per-pixel", "12"});
  // 4807.5 twips at 12 a pixel: 400.6 px -> 401 -> 4812.
  EXPECT_TRUE(contains(r.out, "form frmResizeL left=0 top=0 width=4812 "));
}

}  // namespace
