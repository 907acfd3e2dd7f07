#!/bin/sh
# Runs a command (the Windows tests) inside one Wine session: a fresh prefix
# in a temporary folder, its server started and booted once, so each Windows
# program then starts in milliseconds; everything is removed after.
# GRIDSAW_WINE names the loader: wine (32-bit, the default) or wine64.
set -eu

GRIDSAW_WINE=${GRIDSAW_WINE:-wine}
case "$GRIDSAW_WINE" in
  *wine64) WINEARCH=win64 ;;
  *) WINEARCH=win32 ;;
esac
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/gridsaw-wine.XXXXXX")
export GRIDSAW_WINE WINEPREFIX WINEARCH WINEDEBUG=-all
unset DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Output goes to files, never pipes: Wine's helpers would hold a pipe open.
wineserver -p >/dev/null 2>&1 </dev/null
"$GRIDSAW_WINE" wineboot >/dev/null 2>&1 </dev/null
# The process tests hear the message box through Wine's relay trace of it.
"$GRIDSAW_WINE" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
  /d user32.MessageBoxW /f >/dev/null 2>&1 </dev/null

"$@"
