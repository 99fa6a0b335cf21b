#!/usr/bin/env bash
# Wine for the Windows build (the emulator of cmake/mingw-w64.cmake): in a prefix of the build
# tree's own, so that nothing touches ~/.wine, and by default without a display (Wine's graphics
# driver is null; DISPLAY is dropped).
# $MDIRESIZE_WINE_GRAPHICS chooses the driver: null (the default) or x11, whose windows go to
# $DISPLAY (kept); each driver has a prefix of its own, PREFIX-x11 for x11, so that one never
# changes the other.
# Usage: wine.sh PREFIX PROGRAM [ARGS...]  runs a Windows program (the prefix made if need be)
#        wine.sh PREFIX --prefix           only makes the prefix (once; Wine takes some 15 s)
#        wine.sh PREFIX --start            a fresh wineserver that stays between programs, with
#                                          the services that wineboot starts: each program then
#                                          starts in a tenth of a second instead of one or two
#        wine.sh PREFIX --stop             ends that server and whatever still runs in the prefix
# $MDIRESIZE_WINE is Wine's loader (default Debian's /usr/lib/wine/wine64, which is not on PATH);
# its wineserver lies beside it. What Wine itself says goes to PREFIX.log.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: wine.sh PREFIX PROGRAM [ARGS...] | --prefix | --start | --stop" >&2
  exit 2
fi
prefix="$(realpath -m "$1")"  # Wine wants it absolute
shift
graphics="${MDIRESIZE_WINE_GRAPHICS:-null}"
case "$graphics" in
  null) unset DISPLAY WAYLAND_DISPLAY ;;
  x11)
    unset WAYLAND_DISPLAY
    prefix="$prefix-x11"
    ;;
  *)
    echo "wine.sh: MDIRESIZE_WINE_GRAPHICS is null or x11, not '$graphics'" >&2
    exit 2
    ;;
esac
wine="${MDIRESIZE_WINE:-/usr/lib/wine/wine64}"
wineserver="$(dirname "$wine")/wineserver"
if [ ! -x "$wine" ]; then
  echo "wine.sh: no Wine at $wine (tools/setup installs Debian's wine64)" >&2
  exit 1
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all
# No dialog offering to download Mono or Gecko, which nothing here needs.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Idle seconds before a started server ends on its own: long enough to span a test run, short
# enough that an interrupted run (no --stop) leaves nothing behind for long.
idle=60

# The server and the services outlive the command that starts them: they must hold neither the
# caller's output (CTest waits for it to close) nor the prefix's lock. No step may hang.
quiet() {
  local seconds="$1"
  shift
  timeout -k 5 "$seconds" "$@" </dev/null >>"$prefix.log" 2>&1 9>&-
}

# Wine's own fonts (Debian's fonts-wine: Tahoma, MS Sans Serif, and Marlett, whose glyphs are
# the title bars' buttons) in the prefix's Fonts folder, where Wine finds them.
install_fonts() {
  local fonts=/usr/share/wine/fonts
  [ -d "$fonts" ] || return 0
  cp "$fonts"/*.ttf "$prefix/drive_c/windows/Fonts/"
}

make_prefix() {
  [ ! -f "$prefix/.made" ] || return 0
  mkdir -p "$(dirname "$prefix")"
  # Tested by `if`, the subshell runs without set -e: its steps are chained.
  if ! (
    flock 9 || exit 1
    [ ! -f "$prefix/.made" ] || exit 0
    # What a failed attempt left, its server first.
    quiet 30 "$wineserver" -k || true
    # Made without a display whatever the driver, so that a build can make either.
    rm -rf "$prefix" &&
      quiet 300 env -u DISPLAY "$wine" wineboot --init &&
      quiet 60 env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f &&
      install_fonts &&
      touch "$prefix/.made"
  ) 9>"$prefix.lock"; then
    echo "wine.sh: could not make the Wine prefix $prefix; the end of $prefix.log:" >&2
    tail -n 5 "$prefix.log" >&2
    exit 1
  fi
}

case "$1" in
  --prefix)
    make_prefix
    ;;
  --start)
    make_prefix
    # A server from before may be another Wine's, or hung: this run's is a fresh one.
    quiet 30 "$wineserver" -k || true
    quiet 30 "$wineserver" -p"$idle"
    quiet 120 "$wine" wineboot
    ;;
  --stop)
    [ ! -d "$prefix" ] || quiet 30 "$wineserver" -k || true
    ;;
  *)
    if [ "$graphics" = x11 ] && [ -z "${DISPLAY:-}" ]; then
      echo "wine.sh: MDIRESIZE_WINE_GRAPHICS=x11 needs DISPLAY" >&2
      exit 2
    fi
    make_prefix
    exec "$wine" "$@"
    ;;
esac
