#!/bin/bash
# Runs each fuzz target for SECONDS seconds on a copy of the seed corpus and prints what it did.
# usage: fuzz/run.sh [BUILD_DIR] [SECONDS]     (default: build-fuzz, 60)
# Build first: cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVANDREL_FUZZ=ON
#              -DVANDREL_TESTS=OFF && cmake --build build-fuzz
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build-fuzz}")
seconds=${2:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in fuzz_reader fuzz_commands; do
  mkdir "$work/$target"
  cp "$here"/corpus/* "$work/$target/"
  if (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$work/$target" >"$work/log" 2>&1); then
    echo "$target: $(grep -E 'stat::number_of_executed_units' "$work/log" | awk '{ print $2 }') runs," \
         "corpus $(ls "$work/$target" | wc -l) inputs, no findings"
  else
    echo "$target: FOUND A PROBLEM"
    tail -n 60 "$work/log"
    ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null || true
    status=1
  fi
done
exit $status
