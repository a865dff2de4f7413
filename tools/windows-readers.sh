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
# A fuzz property broken on either system ends the program with an abort: said, not compared.
"$LIN/tests/platform/corpus_verdicts" tests/fuzz/corpus >"$tmp/linux.txt" 2>"$tmp/linux.err" \
  || { cat "$tmp/linux.err" >&2; echo "windows-readers: FAILED: the Linux build's readers" >&2; exit 1; }
tools/windows-wine.sh "$WIN/tests/platform/corpus_verdicts.exe" tests/fuzz/corpus \
  >"$tmp/windows.raw" 2>"$tmp/windows.err" \
  || { cat "$tmp/windows.err" >&2; echo "windows-readers: FAILED: the Windows build's readers" >&2; exit 1; }
tr -d '\r' <"$tmp/windows.raw" >"$tmp/windows.txt"
if ! diff -u "$tmp/linux.txt" "$tmp/windows.txt"; then
  echo "windows-readers: FAILED: the Windows build's readers answer differently (- Linux, + Windows)" >&2
  exit 1
fi
refused=$(grep -c -e refuse -e warned "$tmp/linux.txt")
echo "windows-readers: $(wc -l <"$tmp/linux.txt") inputs, $refused of them refused or warned about, the same on both systems"
