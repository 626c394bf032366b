#!/bin/bash
# Runs every command on a model and on one twice as large, and prints the ratios of the median
# wall times and CPU times (user + system): a linear command gives 2. With INSTRUCTIONS=1 set,
# it also counts the instructions of one run of each under valgrind (cachegrind), which the
# machine's load does not disturb.
# usage: bench/linearity.sh [BUILD_DIR] [RUNS] [OBJECTS]   (default: build-bench, 3, 50000)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build-bench}")
runs=${2:-3}
objects=${3:-50000}
vandrel=$build/vandrel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/bench/make_model" "$objects" 20 1 >m1.poly
"$build/bench/make_model" $((objects * 2)) 20 1 >m2.poly
"$build/bench/make_model" $((objects / 100)) 20 2 >p1.poly
"$build/bench/make_model" $((objects / 50)) 20 2 >p2.poly
# A single polygon of as many vertices as the model has: extruded no slower per vertex.
awk -v n=$((objects * 20)) 'BEGIN { print "newObject"; print "0 0 0 1";
  for (i = 0; i < n; i++) printf "%.6f %.6f 0 1\n", cos(6.283185307 * i / n), sin(6.283185307 * i / n) }' >big1.poly

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
measure() {  # prints "wall cpu", the medians of `runs` runs of the command
  local i
  for ((i = 0; i < runs; i++)); do
    cp m1.poly t1.poly
    cp m2.poly t2.poly
    /usr/bin/time -f "%e %U %S" -o time.txt "$@" >/dev/null
    cat time.txt
  done >times.txt
  echo "$(awk '{ print $1 }' times.txt | median) $(awk '{ print $2 + $3 }' times.txt | median)"
}
instructions() {  # prints the instructions of one run, or 0 when they are not counted
  if [ "${INSTRUCTIONS:-}" != 1 ]; then echo 0 && return; fi
  cp m1.poly t1.poly
  cp m2.poly t2.poly
  valgrind --tool=cachegrind --cache-sim=no --cachegrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    awk '/I +refs:/ { gsub(",", "", $NF); print $NF }'
}
echo "| command | wall N | wall 2N | ratio | cpu N | cpu 2N | ratio | instructions ratio |"
echo "|---|---|---|---|---|---|---|---|"
row() {
  local name=$1 one=$2 two=$3
  read -r w1 c1 <<<"$(measure $one)"
  read -r w2 c2 <<<"$(measure $two)"
  local i1 i2
  i1=$(instructions $one)
  i2=$(instructions $two)
  awk -v n="$name" -v w1="$w1" -v w2="$w2" -v c1="$c1" -v c2="$c2" -v i1="$i1" -v i2="$i2" 'BEGIN {
    printf "| %s | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %s |\n", n, w1, w2, w2 / w1, c1, c2,
      c2 / c1, (i1 > 0 ? sprintf("%.3f", i2 / i1) : "") }'
}
row transform "$vandrel transform t1 XT 1 ZD 30" "$vandrel transform t2 XT 1 ZD 30"
row create "$vandrel create c m1 XT 1 ZD 30" "$vandrel create c m2 XT 1 ZD 30"
row extrude "$vandrel extrude m1 e 0.5" "$vandrel extrude m2 e 0.5"
row rot "$vandrel rot p1 r 0 0 1 0 0 0 100 360" "$vandrel rot p2 r 0 0 1 0 0 0 100 360"
row clip "$vandrel clip m1 k 1 1 0 0 0 0" "$vandrel clip m2 k 1 1 0 0 0 0"
row assemble "$vandrel assemble m1 a" "$vandrel assemble m2 a"
row "extrude one polygon vs many" "$vandrel extrude m1 e 0.5" "$vandrel extrude big1 e 0.5"
