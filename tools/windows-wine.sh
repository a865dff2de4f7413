#!/usr/bin/env bash
# Runs a Windows program under Wine, in a prefix of its own (WINEPREFIX, default: a folder
# beside this build's tests) so the user's own Wine setup is never touched. Exit 77 when Wine
# is missing: CTest reports the test as skipped, never as passed.
set -u
if ! command -v wine >/dev/null 2>&1; then
  echo "windows-wine: wine is not installed; skipped (apt-get install wine wine64)" >&2
  exit 77
fi
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/linksmith-wine-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts: the programs need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
mkdir -p "$WINEPREFIX"
# The first run creates the prefix; tests started side by side wait for it instead of racing.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  ( flock 9; [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1; wineserver -w ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
