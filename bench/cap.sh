#!/bin/bash
# Times clip --cap against clip: on the extrusion of the benchmark model (bench/make_model, as
# bench/run.sh makes it), and on grids of prisms cut across their sides, whose sections hold
# 250,000, 500,000 and 1,000,000 vertices, to show that capping is linear in the cut's length,
# and on a cut through one column of the largest grid, which only a few of its solids meet.
# Prints the median wall time of RUNS runs and the peak memory of each.
# usage: bench/cap.sh [BUILD_DIR] [RUNS]   (default: build-bench, 3)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build-bench}")
runs=${2:-3}
vandrel=$build/vandrel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
measure() {  # label command...: median wall s, peak MiB of the last run
  local i kb=0
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f "%e %M" -o time.txt "${@:2}"
    read -r wall kb <time.txt
    echo "$wall" >>"walls.txt"
  done
  printf "| %s | %s | %d |\n" "$1" "$(median <walls.txt)" $((kb / 1024))
  rm -f walls.txt
}
"$build/bench/make_model" 100000 20 1 >model.poly
"$vandrel" extrude model prisms 0.5
# COUNT circles of 100 vertices in a square grid, extruded 2 along z: cut at z = 1, each gives
# a section of 100 vertices.
grid() {
  awk -v n="$1" 'BEGIN { side = int(sqrt(n) + 0.999)
    for (k = 0; k < n; k++) { print "newObject"; print "-1 -1 2 1"
      cx = (k % side) * 3; cy = int(k / side) * 3
      for (i = 0; i < 100; i++) printf "%.6f %.6f 0 1\n", cx + cos(6.283185307 * i / 100), cy + sin(6.283185307 * i / 100) } }' >"flat$1.poly"
  "$vandrel" extrude "flat$1" "grid$1" 2
}
echo "| command | median s | peak MiB |"
echo "|---|---|---|"
measure "clip of the extrusion ($(($(stat -c %s prisms.poly) / 1048576)) MiB)" \
  "$vandrel" clip prisms k 1 1 0 0 0 0
measure "clip --cap of the extrusion" "$vandrel" clip prisms k 1 1 0 0 0 0 --cap
for count in 2500 5000 10000; do
  grid $count
  measure "clip --cap, section of $((count * 100)) vertices" \
    "$vandrel" clip "grid$count" k 0 0 1 0 0 1 --cap
done
# A cut through one column of the largest grid: the plane meets 100 of its 10,000 prisms.
measure "clip of one column of the grid" "$vandrel" clip grid10000 k 1 0 0 30.5 0 0
measure "clip --cap of one column of the grid" "$vandrel" clip grid10000 k 1 0 0 30.5 0 0 --cap
