#!/bin/sh
# Runs a command (the Windows tests) inside one Wine session: a fresh 32-bit
# prefix in a temporary folder, its server started and booted once, so each
# Windows program then starts in milliseconds; everything is removed after.
set -eu

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/gridsaw-wine.XXXXXX")
export WINEPREFIX WINEARCH=win32 WINEDEBUG=-all
unset DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Output goes to files, never pipes: Wine's helpers would hold a pipe open.
wineserver -p >/dev/null 2>&1 </dev/null
wine wineboot >/dev/null 2>&1 </dev/null
# The process tests hear the message box through Wine's relay trace of it.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d user32.MessageBoxA /f \
  >/dev/null 2>&1 </dev/null

"$@"
