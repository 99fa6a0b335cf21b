#!/usr/bin/env bash
# The program as it is run from a shell: its exit status and the one line it says, for command
# lines that must not reach a window system (or must not abort when they do); and sessions
# played in memory and on Qt's offscreen platform as a person would play them.
# Usage: command_line_test.sh PROGRAM VERSION
set -uo pipefail
program="$(realpath "$1")"
version="$2"
demo="$(cd "$(dirname "$0")/.." && pwd)/tools/demo.session"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
scratch="$(mktemp -d)"  # the shots, and Qt's private runtime folder
trap 'rm -rf "$scratch"' EXIT
offscreen=(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch")

# expect STATUS PATTERN [env assignments...] -- ARGS...: PATTERN must match the first line of
# standard error (or of standard output when nothing went to standard error).
expect() {
  local status="$1" pattern="$2"
  shift 2
  local environment=()
  while [ "$1" != "--" ]; do environment+=("$1"); shift; done
  shift
  local out="$scratch/out" err="$scratch/err" got said
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${environment[@]}" \
    "$program" "$@" </dev/null >"$out" 2>"$err"
  got=$?
  said="$(head -n 1 "$err")"
  [ -n "$said" ] || said="$(head -n 1 "$out")"
  if [ "$got" != "$status" ] || ! grep -qE -- "$pattern" <<<"$said"; then
    fail "mdiresize $* -> exit $got, said: $said (wanted exit $status, /$pattern/)"
  fi
  if [ "$status" = 2 ] && [ "$(wc -l <"$err")" != 1 ]; then
    fail "mdiresize $* -> more than one line on standard error: $(cat "$err")"
  fi
}

expect 2 '^mdiresize: unknown option --foo \(try --help\)$' -- --foo
expect 2 '^mdiresize: no display .*-platform offscreen.*--headless' --
expect 2 '^mdiresize: unknown option' -- -platform offscreen --foo
expect 2 '^mdiresize: unknown option -bogus' -- -style fusion -bogus
# One of Qt's options without its value: named, with a display or without one.
expect 2 '^mdiresize: "-platform" takes a value \(try --help\)$' -- -platform
expect 2 '^mdiresize: "-platform" takes a value' DISPLAY=:97 -- -platform
expect 2 '^mdiresize: "-style" takes a value' -- -platform offscreen -style=
expect 2 'go with --headless' -- --exact
expect 2 '^mdiresize: cannot open the window: .*display' DISPLAY=:97 --
expect 2 '^mdiresize: cannot read script' -- --headless --script /nonexistent/script
expect 2 '^mdiresize: cannot write the recording' -- --headless --record /nonexistent/dir/rec
expect 0 '^Usage: mdiresize' -- -style fusion --help
expect 0 "^mdiresize ${version//./\\.}\$" -- --version
expect 1 'line 3: unknown command' -- --headless --script <(printf 'state\n# next\nbogus\nstate\n')
expect 2 '^mdiresize: --inspect .* without --headless' -- --headless --inspect
# The inspector beside the window, and its picture.
expect 0 '^edge frmResizeR right overhang 1$' "${offscreen[@]}" \
  -- --inspect --script <(printf 'resize 6015 4860\nexplain\nshot %s inspector\n' "$scratch/i.png")
[ -s "$scratch/i.png" ] || fail "shot FILE inspector wrote no picture"

# --help names every session command.
help="$("$program" --help)" || fail "--help exit $?"
for command in resize click minimize maximize restore activate window place type state explain shot quit; do
  grep -qE "^  $command " <<<"$help" || fail "--help does not list $command"
done

# Commands on standard input, with and without --script -, and on Qt offscreen. Qt's style
# draws captions and bars at its own size, so what lies inside a framed child may differ;
# whatever the layout places, the bars and the texts must not.
session='resize 6015 4860\nstate\nclick mnuWiskundig\nclick Command1\nstate\n'
piped="$(printf "$session" | "$program" --headless 2>&1)" || fail "piped session exit $?"
grep -q '^form MDIResize left=0 top=0 width=6015 height=4860 ' <<<"$piped" ||
  fail "the piped resize did not take: $piped"
[ "$(printf "$session" | "$program" --headless --script - 2>&1)" = "$piped" ] ||
  fail "--script - played the piped session otherwise"
shown="$(printf "$session" | env "${offscreen[@]}" "$program" --script - 2>&1)" ||
  fail "offscreen session exit $?"
placed() { sed -E 's/ scale(width|height)=[0-9]+//g; /^control frmResizeL/s/ height=[0-9]+//'; }
diff <(placed <<<"$piped") <(placed <<<"$shown") || fail "headless and offscreen states differ"

# The demo on Qt offscreen: no complaint, and each shot a PNG of the main window.
(cd "$scratch" && env "${offscreen[@]}" "$program" --script "$demo" >said 2>&1) ||
  fail "the demo exit $?: $(cat "$scratch/said")"
grep '^mdiresize:' "$scratch/said" && fail "the demo complained"
# The client area is 432 x 324 pixels at start-up, then 300 and 401 wide; the menu bar adds to it.
for shot in 1-start-up:432 2-width-4500:300 3-width-4500-oplossing:300 4-width-6015:401 \
  5-width-6015-wiskundig:401; do
  png="$scratch/${shot%:*}.png"
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")  # IHDR's
  [ "$(od -An -tx1 -N8 "$png" | tr -d ' ')" = 89504e470d0a1a0a ] && [ "$width" = "${shot#*:}" ] &&
    [ "$height" -gt 324 ] && [ "$height" -lt 400 ] || fail "${shot%:*}.png is no PNG $width x $height"
done

[ "$failures" = 0 ] || { echo "$failures failed"; exit 1; }
echo "all command lines behaved"
