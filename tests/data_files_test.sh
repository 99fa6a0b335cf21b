#!/usr/bin/env bash
# What an installed program brings besides itself, checked against the program and the tools
# that read it.
# Usage: data_files_test.sh page PROGRAM PAGE     every option and session command that --help
#                                                 (and sweep --help) lists is in the manual page,
#                                                 which groff formats without a warning
#        data_files_test.sh validate DESKTOP METAINFO   the desktop entry and the metadata pass
#                                                 desktop-file-validate and appstreamcli
set -uo pipefail
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

case "$1" in
  page)
    program="$2" page="$3"
    help="$("$program" --help)" || fail "mdiresize --help failed"
    sweep_help="$("$program" sweep --help)" || fail "mdiresize sweep --help failed"
    options="$(printf '%s\n%s\n' "$help" "$sweep_help" | grep -oE -- '--[a-z][a-z-]*' | sort -u)"
    commands="$(sed -n '/^Session commands/,/^$/p' <<<"$help" | sed -nE 's/^  ([a-z]+)( .*)?$/\1/p' |
      sort -u)"
    [ -n "$options" ] || fail "found no options in --help"
    [ -n "$commands" ] || fail "found no session commands in --help"
    # The page names each option and command in bold at the start of a macro line.
    documented="$(sed -e 's/\\-/-/g' -e 's/"//g' "$page" | sed -nE 's/^\.B[IR]? +([^ ]+).*/\1/p')"
    for word in $options $commands; do
      grep -qxF -- "$word" <<<"$documented" || fail "$word is in --help but not in the manual page"
    done
    if command -v groff >/dev/null; then
      warnings="$(groff -man -ww -z -Tutf8 "$page" 2>&1)"
      [ -z "$warnings" ] || fail "groff: $warnings"
    else
      echo "groff is missing: the page's formatting is not checked"
    fi
    ;;
  validate)
    desktop="$2" metainfo="$3"
    for tool in desktop-file-validate appstreamcli; do
      if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing (tools/setup installs it)"
        exit 77
      fi
    done
    desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
    ;;
  *) echo "usage: $0 page PROGRAM PAGE | validate DESKTOP METAINFO" >&2; exit 2 ;;
esac

if [ "$failures" -gt 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "all checks passed"
