#!/usr/bin/env bash
# The program as it is run from a shell: its exit status and the one line it says, for command
# lines that must not reach a window system (or must not abort when they do).
# Usage: command_line_test.sh PROGRAM
set -uo pipefail
program="$1"
failures=0

# expect STATUS PATTERN [env assignments...] -- ARGS...: PATTERN must match the first line of
# standard error (or of standard output when nothing went to standard error).
expect() {
  local status="$1" pattern="$2"
  shift 2
  local environment=()
  while [ "$1" != "--" ]; do environment+=("$1"); shift; done
  shift
  local out err got
  out="$(mktemp)"; err="$(mktemp)"
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${environment[@]}" \
    "$program" "$@" </dev/null >"$out" 2>"$err"
  got=$?
  local said
  said="$(head -n 1 "$err")"
  [ -n "$said" ] || said="$(head -n 1 "$out")"
  if [ "$got" != "$status" ] || ! grep -qE -- "$pattern" <<<"$said"; then
    echo "FAIL: mdiresize $* -> exit $got, said: $said (wanted exit $status, /$pattern/)"
    failures=$((failures + 1))
  fi
  if [ "$status" = 2 ] && [ "$(wc -l <"$err")" != 1 ]; then
    echo "FAIL: mdiresize $* -> more than one line on standard error:"; cat "$err"
    failures=$((failures + 1))
  fi
  rm -f "$out" "$err"
}

expect 2 '^mdiresize: unknown option --foo \(try --help\)$' -- --foo
expect 2 '^mdiresize: no display .*-platform offscreen.*--headless' --
expect 2 '^mdiresize: unknown option' -- -platform offscreen --foo
expect 2 '^mdiresize: unknown option -bogus' -- -style fusion -bogus
expect 2 'go with --headless' -- --exact
expect 2 '^mdiresize: cannot open the window: .*display' DISPLAY=:97 --
expect 2 '^mdiresize: cannot read script' -- --headless --script /nonexistent/script
expect 2 '^mdiresize: cannot write the recording' -- --headless --record /nonexistent/dir/rec
expect 0 '^Usage: mdiresize' -- -style fusion --help
expect 0 '^mdiresize [0-9]' -- --version
runtime="$(mktemp -d)"  # Qt's private runtime folder
expect 0 '^scrollbars ' QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" -- --script <(echo state)
expect 1 'line 1: unknown command' -- --headless --script <(echo bogus)
expect 2 '^mdiresize: --inspect .* without --headless' -- --headless --inspect
# The inspector beside the window, and its picture.
expect 0 '^edge frmResizeR right overhang 1$' QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" \
  -- --inspect --script <(printf 'resize 6015 4860\nexplain\nshot %s inspector\n' "$runtime/i.png")
if ! [ -s "$runtime/i.png" ]; then
  echo "FAIL: shot FILE inspector wrote no picture"
  failures=$((failures + 1))
fi

rm -rf "$runtime"
if [ "$failures" -gt 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "all command lines behaved"
