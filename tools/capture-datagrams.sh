#!/usr/bin/env bash
# Captures the datagram fuzz seeds from a real exchange: starts linksmith-unitsim with --log-frames
# on a free port, runs every kind of linksmithctl command against it (direct and through a gateway,
# answered and refused), stops it, and stores every distinct datagram it logged, requests and
# replies alike, as one raw file named by the first 16 hex digits of its SHA-1 (the names the
# other seeds have). One datagram is kept per kind, addresses, command and size (the fuzzer
# varies the data itself), which keeps the corpus at a few dozen files. Files already in the
# corpus (hand-made malformed seeds, finds of the fuzzer) are left alone.
# Usage: tools/capture-datagrams.sh [BUILD_DIR [CORPUS_DIR]]
#   BUILD_DIR  holds cli/linksmithctl and sim/linksmith-unitsim (default build/default)
#   CORPUS_DIR where the seeds go (default tests/fuzz/corpus/datagram)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
corpus="${2:-tests/fuzz/corpus/datagram}"
ctl="$build/cli/linksmithctl"
sim="$build/sim/linksmith-unitsim"
for p in "$ctl" "$sim"; do
  [ -x "$p" ] || { echo "capture-datagrams: $p missing (build the default preset first)" >&2; exit 2; }
done

work="$(mktemp -d)"
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# The commands keep a profile and a project file; they go to the scratch folder, not the user's.
export XDG_CONFIG_HOME="$work/config"

# Two PLCs: 1:1 (also answering 0:0) takes the direct commands, 1:5 is reached through 1:1.
: >"$work/sim.out"
"$sim" --port 0 --log-frames --plc 1:1 --plc 1:5 >"$work/sim.out" 2>"$work/frames.log" &
sim_pid=$!
port=""
for _ in $(seq 50); do
  port="$(sed -n 's/^linksmith-unitsim listening on .* port \([0-9]*\)$/\1/p' "$work/sim.out")"
  [ -n "$port" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$port" ] || { echo "capture-datagrams: the simulator did not start" >&2; cat "$work/frames.log" >&2; exit 2; }
device="[NET]HOST:127.0.0.1;PORT:$port;"

# run EXPECTED_STATUS ARGS...: one linksmithctl command, stdin not a terminal, output kept aside.
failed=0
run() {
  local want="$1" got=0
  shift
  "$ctl" "$@" </dev/null >>"$work/ctl.out" 2>>"$work/ctl.err" || got=$?
  if [ "$got" -ne "$want" ]; then
    echo "capture-datagrams: linksmithctl $* exited $got, expected $want" >&2
    failed=1
  fi
}

example=examples/plant-line1.lsm  # unit 2, with mapping entries
# Every direct command goes to unit 2: the simulator keeps one unit state per PLC, and a second
# unit number would only double the seeds.
direct=(--device "$device" --unit 2)
run 0 info "${direct[@]}"
run 0 read "${direct[@]}" "$work/fresh.lsm"
run 0 write "${direct[@]}" --yes "$example"
run 0 verify "${direct[@]}" "$example"
run 0 read "${direct[@]}" "$work/written.lsm"
run 0 write "${direct[@]}" --yes "$work/written.lsm"
# The unit no longer holds what was read first: a verify with differences.
run 1 verify "${direct[@]}" "$work/fresh.lsm"
for kind in datalink network "node 1" "node 254" error history sequence cycle; do
  # shellcheck disable=SC2086  # "node N" is two words
  run 0 status $kind "${direct[@]}"
done
run 0 status history --clear --yes "${direct[@]}"
# Routed to the second PLC, and to a node the simulator does not host (end code 0x0102).
routed=(--gateway "$device" --device "[ADDRESS]DNA:1;DA1:5;")
run 0 info "${routed[@]}"
run 0 status error "${routed[@]}"
run 2 info --gateway "$device" --device "[ADDRESS]DNA:9;DA1:9;"

kill "$sim_pid"
wait "$sim_pid" || true
sim_pid=""
if [ "$failed" -ne 0 ]; then
  cat "$work/ctl.err" >&2
  exit 1
fi

# Each log line: "HH:MM:SS.micro <-|-> xx xx ...". What counts as the same datagram: the header
# without its request id (bytes 4-7) and the size.
mkdir -p "$corpus"
declare -A seen=()
added=0 kept=0
while read -r _stamp _direction hex; do
  [ -n "$hex" ] || continue
  read -r -a bytes <<<"$hex"
  key="${bytes[*]:0:4} ${bytes[*]:8:10} ${#bytes[@]}"
  [ -n "${seen[$key]:-}" ] && continue
  seen[$key]=1
  printf '%s' "${hex// /}" | xxd -r -p >"$work/datagram"
  name="$(sha1sum "$work/datagram" | cut -c1-16)"
  if [ -e "$corpus/$name" ]; then
    kept=$((kept + 1))
  else
    mv "$work/datagram" "$corpus/$name"
    added=$((added + 1))
  fi
done < <(grep -E '^[0-9:.]+ (<-|->) ' "$work/frames.log")
echo "capture-datagrams: ${#seen[@]} distinct datagrams, $added new in $corpus, $kept there already"
