// The headless session mode: commands, state, trace and the handling of bad input.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "app/session.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "shell/project.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome session(const std::string& script,
                const std::vector<std::string_view>& args = {"--headless"}) {
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

TEST(Session, ExplainSaysWhereEachEdgeEndsAndWhetherTheLabelIsRight) {
  // A script, and the lines `explain` must print after it (at 15 twips a pixel).
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      // 401 pixels: both halves round up, the right form ends a pixel past the edge, both bars
      // come, and the label says nothing of it.
      {"resize 6015 4860\n",
       {"edge frmResizeR right overhang 1", "edge frmResizeB right exact",
        "edge frmResizeB bottom exact", "edge frmResizeL bottom exact",
        "edge frmResizeL.List1(2) right gap 1", "client read 6015x4860 now 5760x4605", "bars both",
        "label \"\" disagrees"}},
      // The next width is laid out in the area the bars left: short by the bar, and the label
      // claims the double scroll bar just as the bars go.
      {"resize 6015 4860\nresize 6030 4860\n",
       {"edge frmResizeR right gap 16", "edge frmResizeB right gap 17",
        "edge frmResizeB bottom gap 17", "edge frmResizeL bottom exact",
        "edge frmResizeL.List1(2) right overhang 1", "client read 5775x4605 now 6030x4860",
        "bars none", "label \"Oeps. Dubbele scrollbar\" disagrees"}},
      {"click mnuWiskundig\nresize 6015 4860\n",
       {"edge frmResizeR right exact", "edge frmResizeB right exact",
        "edge frmResizeB bottom exact", "edge frmResizeL bottom exact",
        "edge frmResizeL.List1(2) right gap 1", "client read 6015x4860 now 6015x4860", "bars none",
        "label \"\" agrees"}},
      // Whole-twip halves of an odd pixel width: a pixel short; the columns cut at whole edges.
      {"click mnuOplossing\nresize 4515 3000\n",
       {"edge frmResizeR right gap 1", "edge frmResizeB right exact",
        "edge frmResizeB bottom exact", "edge frmResizeL bottom exact",
        "edge frmResizeL.List1(2) right exact", "client read 4515x3000 now 4515x3000", "bars none",
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one line, cut for its length
        "label \"Nu zou het formulier een extra scrollbar gaan genereren\\r\\nNiet dus .....\" "
        "agrees"}},
  };
  for (const auto& [script, expected] : cases) {
    const Outcome r = session(script + "explain\n");
    EXPECT_EQ(r.err, "") << script;
    EXPECT_EQ(lines_of(r.out), expected) << script;
  }
  // --trace prints every line still, with the session's pass watcher beside it.
  const Outcome traced = session("resize 6015 4860\nexplain\n", {"--headless", "--trace"});
  EXPECT_TRUE(contains(traced.out,
                       "caption frmResizeT.Label1 \"\"\nedge frmResizeR right "
                       "overhang 1\n"));
}

TEST(Session, CommentsBlankLinesAndQuit) {
  const Outcome r = session("# a comment\n\n   \nstate # trailing\nquit\nbogus\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(contains(r.out, "scrollbars none"));
}

TEST(Session, BadLinesAreNamedByNumberAndTheSessionGoesOn) {
  // Each bad line, and what its error must say.
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"resize 100", "missing argument"},
      {"resize abc 100", "not a number"},
      {"resize -15 100", "negative"},
      {"resize nan 100", "not a finite number"},
      {"resize inf 100", "not a finite number"},
      {"resize 1e9 100", "not a number"},  // not plain decimal
      {"resize 99999999 1", "too large"},
      {"frobnicate", "unknown command"},
      {"click mnuNothing", "no menu item or button"},
      {"click List1", "no menu item or button"},
      {"state extra", "too many arguments"},
      {"explain now", "too many arguments"},
      {"minimize frmResizeB", "has no minimize button"},
      {"maximize frmResizeB", "has no maximize button"},
      {"restore frmResizeB", "has no title bar"},
      {"maximize MDIResize", "no child form"},
      {"activate", "missing argument"},
      {"next frmResizeL", "too many arguments"},
      {"previous 1", "too many arguments"},
      {"window frmNothing", "no child form"},
      {"place frmResizeR 0 0 100", "missing argument"},
      {"place frmResizeR -99999999 0 100 100", "too small"},
      {"place frmResizeR 0 0 -1 100", "width \"-1\" is negative"},
      {"type Label1 x", "no text box"},
      {"type Text1 \"open", "unterminated"},
      {"type Text1 \"a\"b", "after the closing quote"},
      {"type Text1 \"\\q\"", "unknown escape"},
      {"type Text1 \"\\777\"", "not a byte"},
      {"edit Text1 0 0", "missing argument"},
      {"edit Label1 0 0 x", "no text box"},
      {"edit Text1 -1 0 x", "position \"-1\" is negative"},
      {"edit Text1 0 -1 x", "count to delete \"-1\" is negative"},
      {"edit Text1 1.5 0 x", "not a whole number"},
      {"edit Text1 93 0 x", "position 93 is past the end (the length is 92); nothing changed"},
      {"edit Text1 90 3 x", "cannot delete 3 from position 90"},
      {"edit Text1 91 0 x", "position 91 is inside a line break"},  // between CR and LF
      {"edit Text1 89 2 x", "ends inside a line break"},
      {"edit Text1 0 0 \"open", "unterminated"},
  };
  std::string script;
  for (const auto& line : bad) script += line.first + "\n";
  script += "resize 7500 3000\nstate\n";  // fine
  const Outcome r = session(script);
  EXPECT_EQ(r.status, 1);
  const auto errors = lines_of(r.err);
  ASSERT_EQ(errors.size(), bad.size()) << r.err;
  for (std::size_t i = 0; i < bad.size(); ++i) {
    EXPECT_TRUE(contains(errors[i], "line " + std::to_string(i + 1) + ": ")) << errors[i];
    EXPECT_TRUE(contains(errors[i], bad[i].second)) << bad[i].first << " -> " << errors[i];
  }
  // The good lines still ran, and the refused edits changed nothing.
  EXPECT_TRUE(contains(r.out, "form MDIResize left=0 top=0 width=7500 height=3000"));
  EXPECT_TRUE(contains(r.out, "length=92\n"));
}

// The forms' lines of `state`, without the controls and menus.
std::vector<std::string> form_lines(const std::string& out) {
  std::vector<std::string> forms;
  for (const std::string& line : lines_of(out)) {
    if (line.starts_with("form ") || line.starts_with("scrollbars ")) forms.push_back(line);
  }
  return forms;
}

TEST(Session, AChildMovedWhileMinimisedOrMaximisedComesBackWhereThePassPutIt) {
  const Outcome r = session(
      "maximize frmResizeR\nresize 7500 5000\nstate\nplace frmResizeR 0 0 900 900\n"
      "restore frmResizeR\nminimize frmResizeL\nresize 9000 5000\nrestore frmResizeL\n"
      "activate frmResizeL\nactivate frmResizeR\nwindow frmResizeT\nstate\n",
      {"--headless", "--exact"});
  EXPECT_EQ(lines_of(r.err), std::vector<std::string>{
                                 "mdiresize: line 4: place: frmResizeR is maximized; restore it "
                                 "first"});
  const auto forms = form_lines(r.out);
  ASSERT_EQ(forms.size(), 12u) << r.out;
  // Maximised, it fills the area: no bar, though the naive halves meet the edge exactly here.
  EXPECT_EQ(forms[0], "scrollbars none");
  EXPECT_TRUE(contains(forms[3], "frmResizeR left=3750 top=0 width=3750 height=4000 ")) << forms[3];
  EXPECT_TRUE(contains(forms[3], "window=maximized z=0")) << forms[3];
  EXPECT_TRUE(contains(forms[8], "frmResizeL left=0 top=0 width=4500 height=4000 ")) << forms[8];
  EXPECT_TRUE(contains(forms[9], "frmResizeR left=4500 top=0 width=4500 height=4000 ")) << forms[9];
  // The window list brought the buried Form1 to the front.
  EXPECT_TRUE(contains(forms[11], "frmResizeT left=0 top=1000 ")) << forms[11];
  EXPECT_TRUE(contains(forms[11], "window=normal z=0")) << forms[11];
  EXPECT_TRUE(contains(forms[9], "window=normal z=1")) << forms[9];
  EXPECT_TRUE(contains(forms[8], "window=normal z=2")) << forms[8];
}

TEST(Session, WhatIsRecordedReplaysToTheSameState) {
  const std::string script =
      "resize 9015 5000\nmaximize frmResizeR\nclick mnuOplossing\nactivate frmResizeT\n"
      "place frmResizeT 100 -200 7000 1500 # by hand, past the edges\n"
      "type Text1 \"# not a comment\\r\\nx\\b\\303\\251\"\ntype Text1 \"\\b\"\n"
      "minimize frmResizeL\nwindow frmResizeL\nrestore frmResizeR\nclick Command1\n"
      "next\nnext\nprevious\nedit Text1 2 3 \"\\303\\251\\n\"\n";
  const std::string recording = testing::TempDir() + "recording.session";
  const Outcome played = session(script + "state\n", {"--headless", "--record", recording});
  EXPECT_EQ(played.err, "");
  std::ifstream file(recording);
  std::stringstream recorded;
  recorded << file.rdbuf();
  const auto lines = lines_of(recorded.str());
  ASSERT_EQ(lines.size(), 16u) << recorded.str();
  EXPECT_EQ(lines[0],
            "# mdiresize session recorded at 15 twips per pixel, scroll bars 17, frame border 4, "
            "caption 26 pixels");
  EXPECT_EQ(lines[1], "resize 9015 5000");  // as asked: it snaps to the same pixels again
  EXPECT_EQ(lines[5], "place frmResizeT 100 -200 7000 1500");
  EXPECT_EQ(lines[6], "type Text1 \"# not a comment\\r\\nx\\b\xC3\xA9\"");
  EXPECT_EQ(lines[14], "previous");
  EXPECT_EQ(lines[15], "edit Text1 2 3 \"\xC3\xA9\\n\"");  // as asked
  const Outcome replayed = session(recorded.str() + "state\n");
  EXPECT_EQ(replayed.err, "");
  EXPECT_EQ(replayed.out, played.out);
  // The design's 92 bytes, the 17 of the comment and its line break; the x and the two of the
  // e acute typed away again; 3 edited into 4 (an e acute and a line break).
  EXPECT_TRUE(contains(played.out, "length=110\n"));
}

// `script`'s state on the in-memory window system set up as `config` says.
std::string state_on(const rt::headless::Config& config, const std::string& script) {
  rt::headless::HeadlessWindowSystem ws(config);
  rt::Application app(shell::make_project(), ws);
  std::ostringstream out, err;
  app::Session session(app, out, err);
  app.start();
  std::istringstream in(script);
  session.run(in);
  EXPECT_EQ(err.str(), "");
  return out.str();
}

// A recording's first line sets the in-memory window system up as the one it was made on; the
// command line's --twips-per-pixel wins; older headers, or none, keep the defaults; a header
// that cannot be read plays nothing.
TEST(Session, ARecordingsFirstLineSaysWhatTheWindowSystemMeasures) {
  const std::string script = "resize 6015 4860\nmaximize frmResizeR\nrestore frmResizeR\nstate\n";
  const std::string header = "# mdiresize session recorded at ";
  const auto config = [](double tpp, int bar, int border, int caption) {
    rt::headless::Config c;
    c.twips_per_pixel = tpp;
    c.scroll_bar_px = bar;
    c.border_px = border;
    c.caption_px = caption;
    return c;
  };
  struct Case {
    std::string first_line;
    std::vector<std::string_view> args;
    rt::headless::Config played_on;
  };
  const std::vector<Case> cases = {
      {header + "12 twips per pixel, scroll bars 16, frame border 3, caption 20 pixels",
       {"--headless"},
       config(12, 16, 3, 20)},
      {header + "12 twips per pixel, scroll bars 16, frame border 3, caption 20 pixels\r",
       {"--headless", "--twips-per-pixel", "15"},
       config(15, 16, 3, 20)},
      {header + "12 twips per pixel", {"--headless"}, config(12, 17, 4, 26)},
      {"# any other comment", {"--headless"}, {}},
      {"", {"--headless"}, {}},
  };
  for (const Case& c : cases) {
    const Outcome r = session(c.first_line + "\n" + script, c.args);
    EXPECT_EQ(r.err, "") << c.first_line;
    EXPECT_EQ(r.out, state_on(c.played_on, script)) << c.first_line;
  }
  EXPECT_NE(state_on(config(12, 16, 3, 20), script), state_on({}, script)) << "nothing to tell";
  // Written as it is read.
  rt::Metrics metrics;
  EXPECT_EQ(
      app::read_recording_header(app::recording_header(rt::Metrics{14.4, 0, 1000, 7}), metrics),
      "");
  EXPECT_EQ(metrics, (rt::Metrics{14.4, 0, 1000, 7}));

  for (const auto& [bad, why] : std::vector<std::pair<std::string, std::string>>{
           {"15 twips", "says no twips per pixel"},
           {"0 twips per pixel", "too small"},
           {"x twips per pixel", "not a number"},
           {"15 twips per pixel, scroll bars -1, frame border 4, caption 26 pixels",
            "scroll bars \"-1\" is not a whole number of pixels from 0 to 1000"},
           {"15 twips per pixel, scroll bars 17, frame border 1001, caption 26 pixels",
            "frame border \"1001\""},
           {"15 twips per pixel, scroll bars 17, frame border 4", "its end where \"caption N\""},
           {"15 twips per pixel, scroll bars 17, caption 26 pixels", "\"frame border N\""},
           {"15 twips per pixel, scroll bars 17, frame border 4, caption 2.5 pixels",
            "ends in \".5 pixels\""},
       }) {
    std::string line = header;
    line += bad;
    std::string input = line;
    input += '\n';
    input += script;
    const Outcome r = session(input);
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_EQ(r.out, "") << bad;
    EXPECT_TRUE(contains(r.err, "mdiresize: standard input: line 1: the recording's header"))
        << r.err;
    EXPECT_TRUE(contains(r.err, why)) << r.err;
    rt::Metrics kept{13, 1, 2, 3};
    EXPECT_NE(app::read_recording_header(line, kept), "");
    EXPECT_EQ(kept, (rt::Metrics{13, 1, 2, 3})) << bad;
  }
}

TEST(Session, ClicksReachTheProgram) {
  const Outcome r =
      session("resize 9615 5000\nclick mnuOplossing\nclick mnuVulBox\nclick Command1\nstate\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(contains(r.out, "menu MDIResize.mnuOplossing checked=True"));
  EXPECT_TRUE(contains(r.out, "length=1650"));
  EXPECT_TRUE(contains(r.out, "extent=1000"));
}

TEST(Options, ParsingAndItsErrors) {
  auto parse = [](const std::vector<std::string_view>& args, app::Options& o) {
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
  for (const auto& bad : std::vector<std::vector<std::string_view>>{
           {"--headless", "--exact", "--twips-per-pixel", "15"},
           {"--twips-per-pixel", "0"},
           {"--twips-per-pixel"},
           {"--twips-per-pixel", "-3"},
           {"--trace=yes"}}) {
    app::Options b;
    EXPECT_NE(parse(bad, b), "") << bad.back();
  }
  app::Options help;
  EXPECT_EQ(parse({"--help"}, help), "");
  EXPECT_EQ(help.mode, app::Options::Mode::Help);
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
