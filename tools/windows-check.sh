#!/usr/bin/env bash
# The Windows step of the CI: the windows preset (MinGW-w64 cross build of the core, linksmithctl.exe,
# linksmith-unitsim.exe and the core's tests, the tests run under Wine), then the round trip against
# the Linux programs and the fuzz corpora through both builds' readers. Needs build/default (the
# default preset) built first. Without the cross compiler or Wine it says so and is skipped (exit
# 0 with "SKIPPED"), never reported as passed.
set -uo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
missing=""
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=" g++-mingw-w64-x86-64-posix"
command -v wine >/dev/null 2>&1 || missing+=" wine"
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=" googletest"
if [ -n "$missing" ]; then
  echo "windows-check: SKIPPED: not installed:$missing" >&2
  exit 0
fi
cmake --workflow --preset windows || exit 1
tools/windows-roundtrip.sh build/default build/windows || exit 1
tools/windows-readers.sh build/default build/windows || exit 1
echo "windows-check: passed in $(( ($(date +%s) - start) / 60 )) min $(( ($(date +%s) - start) % 60 )) s"
