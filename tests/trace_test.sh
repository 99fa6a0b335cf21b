#!/usr/bin/env bash
# The trace, byte for byte as the printer wrote it when these files were made: the demo session
# and a random session of 2000 actions, played in memory.
# Usage: trace_test.sh [EMULATOR...] PROGRAM   (the Windows build's program runs under Wine)
set -uo pipefail
program=("$@")
here="$(cd "$(dirname "$0")" && pwd)"
failures=0
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# same NAME SCRIPT EXPECTED-FILE: the trace of SCRIPT must be EXPECTED-FILE's text.
same() {
  local name="$1" script="$2" expected="$3"
  # The demo's shots are a window's; in memory they are rejected lines, which leave the trace be.
  "${program[@]}" --headless --trace --script "$script" >"$scratch/$name.trace" 2>/dev/null
  if ! cmp -s "$scratch/$name.trace" "$expected"; then
    echo "FAIL: the trace of $name differs from before; the first differences:"
    diff "$expected" "$scratch/$name.trace" | head -n 20
    failures=$((failures + 1))
  fi
}

same demo "$here/../tools/demo.session" "$here/data/demo.trace"
gzip -dc "$here/data/random-2000.trace.gz" >"$scratch/random.expected"
same random "$here/data/random-2000.session" "$scratch/random.expected"
[ "$failures" = 0 ] && echo "trace: both sessions as before"
exit $((failures > 0))
