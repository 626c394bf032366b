#!/bin/bash
# Times union, difference and intersection against OpenSCAD (CGAL Nef polyhedra) on the same
# solids: (a) a 200 x 200 x 10 plate less 100 disjoint cylinders of 64 segments; (b) the union of
# 200 overlapping 20-sided prisms; (c) the intersection of two sphere-like solids of revolution
# of 10,000 quadrilaterals (20,000 triangles) each. OpenSCAD gets the same .poly-derived solids
# as polyhedron()s, written here from vandrel's OFF export.
# usage: bench/booleans.sh BUILD [a|b|c]...   (the vandrel of BUILD; openscad on the PATH)
set -eu
vandrel=$(realpath "$1")/vandrel
shift
jobs=${*:-a b c}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
v() { "$vandrel" "$@"; }
# scad NAME...: each model as polyhedron(), in one list
scad() {
  for name in "$@"; do
    v export "$name" "$name.off"
    awk '/^#/ || /^OFF/ || NF == 0 { next }
         !counted { nv = $1; counted = 1; next }
         seen++ < nv { p = p (p == "" ? "" : ",") "[" $1 "," $2 "," $3 "]"; next }
         { f = ""; for (i = $1 + 1; i > 1; i--) f = f (f == "" ? "" : ",") $i; q = q (q == "" ? "" : ",") "[" f "]" }
         END { print "polyhedron(points=[" p "], faces=[" q "]);" }' "$name.off"
  done
}
time_it() {  # label command...
  /usr/bin/time -f "$1 %e s, %M KB" "${@:2}" 2>&1 >/dev/null | tail -1
}
for job in $jobs; do
  case $job in
    a)
      v polygon plate 0 0 200 0 200 200 0 200 && v create plate plate ZT -1 && v extrude plate plate 10
      v circle c 4 64 && v create c c ZT -2 && v extrude c cyl 14
      names=""
      for i in $(seq 0 9); do for j in $(seq 0 9); do
        v create "h$i$j" cyl XT $((i * 20 + 10)) YT $((j * 20 + 10)); names="$names h$i$j"
      done; done
      # shellcheck disable=SC2086
      time_it "(a) vandrel difference" "$vandrel" difference plate $names out
      { echo "difference() {"; scad plate; echo "union() {"; scad $names; echo "}}"; } >a.scad
      time_it "(a) openscad" openscad -o a.stl a.scad ;;
    b)
      v circle p 10 20 && v extrude p prism 10
      names=""
      for k in $(seq 0 199); do
        v create "q$k" prism XT $((k % 20 * 6)) YT $((k / 20 * 6)); names="$names q$k"
      done
      # shellcheck disable=SC2086
      time_it "(b) vandrel union" "$vandrel" union $names out
      { echo "union() {"; scad $names; echo "}"; } >b.scad
      time_it "(b) openscad" openscad -o b.stl b.scad ;;
    c)
      v circle s 10 100 && v clip s half 1 0 0 0 0 0 && v transform half XD 90 YT 1
      v revolve half ball 0 0 1 0 0 0 200 360 && v create ball2 ball XT 5
      time_it "(c) vandrel intersection" "$vandrel" intersection ball ball2 out
      { echo "intersection() {"; scad ball ball2; echo "}"; } >c.scad
      time_it "(c) openscad" openscad -o c.stl c.scad ;;
  esac
done
