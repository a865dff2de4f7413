#!/usr/bin/env bash
# The Windows programs against the Linux ones over loopback UDP: linksmithctl.exe reads from the
# Linux linksmith-unitsim, the Linux linksmithctl writes to linksmith-unitsim.exe under Wine, and
# every settings file read must be byte for byte the one the Linux build reads. The files the
# Windows program writes carry Japanese names.
# Usage: tools/windows-roundtrip.sh [LINUX_BUILD [WINDOWS_BUILD]]  (default build/default, build/windows)
# Exit 0 when every file matches, 1 on a difference or failure, 77 (skipped) without Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
LIN=${1:-build/default}
WIN=${2:-build/windows}
WINE=tools/windows-wine.sh
if ! command -v wine >/dev/null 2>&1; then
  echo "windows-roundtrip: wine is not installed; skipped" >&2
  exit 77
fi
for f in "$LIN/cli/linksmithctl" "$LIN/sim/linksmith-unitsim" \
         "$WIN/cli/linksmithctl.exe" "$WIN/sim/linksmith-unitsim.exe"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "windows-roundtrip: $f is missing (build both presets first)" >&2; exit 1; }
done

tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  [ -f "${log:-}" ] && cat "$log" >&2
  echo "windows-roundtrip: FAILED: $*" >&2
  exit 1
}

# Starts a simulator (its command line in "$@"), waits for its "port N" line, sets $port.
start_sim() {
  local out=$1; shift
  "$@" >"$out" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 300); do
    port=$(sed -n 's/.*listening on .* port \([0-9]*\).*/\1/p' "$out" | tr -d '\r')
    [ -n "$port" ] && return 0
    kill -0 "${pids[-1]}" 2>/dev/null || { cat "$out" >&2; fail "simulator ended: $*"; }
    sleep 0.1
  done
  fail "simulator did not start: $*"
}
device() { echo "[NET]HOST:127.0.0.1;PORT:$1;"; }
log=$tmp/programs.log
example=examples/plant-line1-japanese.lsm
# linksmithctl of each build on the unit (number 2) at a port; their messages go to the log.
ctl() {
  local port=$1 cmd=$2; shift 2
  "$LIN/cli/linksmithctl" "$cmd" --device "$(device "$port")" --unit 2 "$@" >/dev/null 2>>"$log"
}
ctl_exe() {
  local port=$1 cmd=$2; shift 2
  "$WINE" "$WIN/cli/linksmithctl.exe" "$cmd" --device "$(device "$port")" --unit 2 "$@" >/dev/null 2>>"$log"
}
start=$(date +%s)

# 1. The Linux simulator, written by the Linux linksmithctl, read by both.
start_sim "$tmp/linux-sim.out" "$LIN/sim/linksmith-unitsim" --listen 127.0.0.1 --port 0 --unit 2
linux_port=$port
ctl "$linux_port" write --yes "$example" || fail "Linux write to the Linux simulator"
ctl "$linux_port" read "$tmp/linux-read.lsm" || fail "Linux read"
ctl_exe "$linux_port" read "Z:$tmp/読込 ライン1.lsm" || fail "linksmithctl.exe read from the Linux simulator"
cmp "$tmp/linux-read.lsm" "$tmp/読込 ライン1.lsm" || fail "linksmithctl.exe read a different file than linksmithctl"
echo "linksmithctl.exe read from the Linux linksmith-unitsim: identical ($(wc -c <"$tmp/linux-read.lsm") bytes)"

# 2. The Windows simulator under Wine, written by the Linux linksmithctl, read by both. It takes
# the Linux simulator's port, since the file records the device string with the port in it.
kill "${pids[0]}"
wait "${pids[0]}" 2>/dev/null || true
start_sim "$tmp/windows-sim.out" "$WINE" "$WIN/sim/linksmith-unitsim.exe" --listen 127.0.0.1 --port "$linux_port" --unit 2
windows_port=$port
ctl "$windows_port" write --yes "$example" || fail "Linux write to linksmith-unitsim.exe"
ctl "$windows_port" verify "$example" || fail "Linux verify against linksmith-unitsim.exe"
ctl "$windows_port" read "$tmp/from-windows-sim.lsm" || fail "Linux read from linksmith-unitsim.exe"
cmp "$tmp/linux-read.lsm" "$tmp/from-windows-sim.lsm" || fail "linksmith-unitsim.exe kept a different record"
ctl_exe "$windows_port" read "Z:$tmp/写し.lsm" || fail "linksmithctl.exe read from linksmith-unitsim.exe"
cmp "$tmp/linux-read.lsm" "$tmp/写し.lsm" || fail "the Windows pair read a different file"
echo "Linux linksmithctl write to linksmith-unitsim.exe, read back by both: identical"
echo "windows-roundtrip: passed in $(( $(date +%s) - start )) s"
