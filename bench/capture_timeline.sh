#!/usr/bin/env bash
# Seconds quarnel-capture takes for the whole timeline (from 0 to its end, as
# quarnel-capture --timeline lists it, at 60 fps, 640 x 480) to PNG frames and
# to an MP4, and how much faster than the demo's own run that is.
# Usage: bench/capture_timeline.sh [BUILD_DIR]   (default: build; it needs data/)
set -euo pipefail
build="$(cd "${1:-$(dirname "$0")/../build}" && pwd)"
if [ ! -x "$build/quarnel-capture" ] || [ ! -d "$build/data" ]; then
  echo "need $build/quarnel-capture and $build/data (ninja -C $build quarnel-capture data)" >&2
  exit 1
fi
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
cd "$build"
end=$(./quarnel-capture --timeline | awk '$1 == "end" { print $2 }')
[ -n "$end" ] || { echo "quarnel-capture --timeline names no end" >&2; exit 1; }
frames=$(awk -v e="$end" 'BEGIN { print int(e * 60 + 1e-6) + 1 }')

measure() { # label, then the capture arguments
  local label="$1" real user sys
  shift
  # The machine may be shared: the CPU seconds show what the capture itself cost.
  local TIMEFORMAT='%R %U %S'
  { time ./quarnel-capture "$@" >/dev/null 2>"$out/log.txt"; } 2>"$out/time.txt" ||
    { cat "$out/log.txt" >&2; exit 1; }
  read -r real user sys <"$out/time.txt"
  awk -v label="$label" -v real="$real" -v user="$user" -v sys="$sys" -v n="$frames" -v end="$end" 'BEGIN {
    printf "%-10s %6.1f s for %d frames  %6.1f frames/s  %5.2fx real time  (%.1f CPU s)\n",
      label, real, n, n / real, end / real, user + sys }'
}

measure "PNG frames" --from 0 --to "$end" --fps 60 --out "$out/frames"
echo "           $(du -sh "$out/frames" | cut -f1) in $(ls "$out/frames" | wc -l) files"
rm -rf "$out/frames"
measure "MP4 video" --video "$out/timeline.mp4" --fps 60
echo "           $(du -h "$out/timeline.mp4" | cut -f1)"
