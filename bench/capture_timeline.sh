#!/usr/bin/env bash
# Seconds quarnel-capture takes for the whole timeline (0 to 90 s at 60 fps,
# 640 x 480) to PNG frames and to an MP4, and how much faster than the
# demo's own 90 s that is.
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

measure() { # label, then the capture arguments
  local label="$1"
  shift
  local start end
  start=$(date +%s.%N)
  ./quarnel-capture "$@" >/dev/null 2>"$out/log.txt" || { cat "$out/log.txt" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v label="$label" -v start="$start" -v end="$end" 'BEGIN {
    seconds = end - start
    printf "%-10s %7.1f s for 5401 frames  %6.1f frames/s  %5.2fx real time\n",
      label, seconds, 5401 / seconds, 90 / seconds }'
}

measure "PNG frames" --from 0 --to 90 --fps 60 --out "$out/frames"
echo "           $(du -sh "$out/frames" | cut -f1) in $(ls "$out/frames" | wc -l) files"
rm -rf "$out/frames"
measure "MP4 video" --video "$out/timeline.mp4" --fps 60
echo "           $(du -h "$out/timeline.mp4" | cut -f1)"
