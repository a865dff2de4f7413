#!/usr/bin/env bash
# Bad input on both systems: every input of the fuzz corpora (tests/fuzz/corpus) through the
# readers of the Linux build and of the Windows build under Wine (corpus_verdicts); each reader
# must accept and refuse the same inputs with the same results, line for line.
# Usage: tools/windows-readers.sh [LINUX_BUILD [WINDOWS_BUILD]]  (default build/default, build/windows)
# Exit 0 when the lines agree, 1 when not, 77 (skipped) without Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
LIN=${1:-build/default}
WIN=${2:-build/windows}
if ! command -v wine >/dev/null 2>&1; then
  echo "windows-readers: wine is not installed; skipped" >&2
  exit 77
fi
for f in "$LIN/tests/platform/corpus_verdicts" "$WIN/tests/platform/corpus_verdicts.exe"; do
  [ -f "$f" ] || { echo "windows-readers: $f is missing (build both presets first)" >&2; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$LIN/tests/platform/corpus_verdicts" tests/fuzz/corpus >"$tmp/linux.txt"
tools/windows-wine.sh "$WIN/tests/platform/corpus_verdicts.exe" tests/fuzz/corpus | tr -d '\r' >"$tmp/windows.txt"
if ! diff -u "$tmp/linux.txt" "$tmp/windows.txt"; then
  echo "windows-readers: FAILED: the Windows build's readers answer differently (- Linux, + Windows)" >&2
  exit 1
fi
echo "windows-readers: $(wc -l <"$tmp/linux.txt") inputs, $(grep -c -e refuse -e warned "$tmp/linux.txt") of them refused or warned about, the same on both systems"
