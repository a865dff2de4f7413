#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz preset for N seconds (default 30) on its committed
# corpus, one after the other; fails at the first target that finds a crash or a violated property.
# Usage: tools/fuzz.sh [seconds] [target...]   (build first: cmake --workflow --preset fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
bin=build/fuzz/tests/fuzz
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(settings_file launch_file device_string datagram sim_state replies network_file)
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
for t in "${targets[@]}"; do
  [ -x "$bin/fuzz_$t" ] || { echo "fuzz: $bin/fuzz_$t missing (cmake --workflow --preset fuzz)"; exit 2; }
  # New inputs go to a scratch copy, so the committed corpus stays small.
  mkdir -p "$work/$t"
  cp tests/fuzz/corpus/$t/* "$work/$t/" 2>/dev/null || true
  if "$bin/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/$t-" \
      "$work/$t" >"$work/$t.log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$t.log" | grep -o '[0-9]*$' || echo "?")
    echo "fuzz $t: ${runs} runs in ${seconds} s, no crash"
  else
    echo "fuzz $t: FAILED"
    grep -E 'property violated|ERROR|SUMMARY|Test unit written' "$work/$t.log" | head -20 || tail -40 "$work/$t.log"
    mkdir -p build/fuzz/artifacts && cp "$work/$t-"* build/fuzz/artifacts/ 2>/dev/null || true
    failed=1
  fi
done
exit $failed
