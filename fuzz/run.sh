#!/bin/bash
# Runs each fuzz target for SECONDS seconds and prints what it did: runs, corpus size and the
# code edges covered. The model targets start from fuzz/corpus/ and the models of the
# command-line cases, with the format's tokens in fuzz/model.dict; each importer target starts
# from the files of its format in the command-line cases, and the 3MF target, which fuzzes the
# model part, from the parts in fuzz/seeds/.
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
for target in fuzz_reader fuzz_commands fuzz_obj fuzz_off fuzz_stl fuzz_ply fuzz_gltf fuzz_glb \
    fuzz_3mf; do
  mkdir "$work/$target"
  extension=${target#fuzz_}
  dictionary=()
  if [ "$target" = fuzz_reader ] || [ "$target" = fuzz_commands ]; then
    cp "$here"/corpus/* "$work/$target/"
    extension=poly
    dictionary=(-dict="$here/model.dict")
  fi
  if [ "$target" = fuzz_3mf ]; then
    cp "$here"/seeds/*.model "$work/$target/"
    extension=model
  fi
  n=0
  for seed in "$here"/../tests/cli/*/in/*."$extension" "$here"/../tests/cli/*/out/*."$extension"; do
    if [ -f "$seed" ] && [ "$(stat -c %s "$seed")" -le 4096 ]; then
      n=$((n + 1))
      cp "$seed" "$work/$target/cli-$n.$extension"
    fi
  done
  if (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 \
        "${dictionary[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
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
