#!/bin/bash
# Runs each fuzz target for SECONDS seconds and prints what it did: runs, corpus size and the
# code edges covered. The corpus starts from fuzz/corpus/ and the inputs of the command-line
# cases; fuzz/model.dict holds the format's tokens.
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
  n=0
  for seed in "$here"/../tests/cli/*/in/*.poly; do
    if [ -f "$seed" ] && [ "$(stat -c %s "$seed")" -le 4096 ]; then
      n=$((n + 1))
      cp "$seed" "$work/$target/cli-$n.poly"
    fi
  done
  if (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 \
        -dict="$here/model.dict" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "$work/$target" >"$work/log" 2>&1); then
    echo "$target: $(grep -E 'stat::number_of_executed_units' "$work/log" | awk '{ print $2 }') runs," \
         "corpus $(ls "$work/$target" | wc -l) inputs," \
         "$(grep -oE 'cov: [0-9]+' "$work/log" | tail -n 1 | awk '{ print $2 }') edges, no findings"
  else
    echo "$target: FOUND A PROBLEM"
    tail -n 60 "$work/log"
    ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null || true
    status=1
  fi
done
exit $status
