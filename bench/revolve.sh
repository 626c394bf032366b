#!/bin/bash
# Times revolve against OpenSCAD's rotate_extrude on the same profile: a circle of SEGMENTS
# vertices (default 10,000) of radius 2, 5 from the z axis, turned a full turn in STEPS steps
# (default 360). OpenSCAD gets the profile's vertices as a polygon() in its x-y plane.
# usage: bench/revolve.sh BUILD [SEGMENTS [STEPS]]   (the vandrel of BUILD; openscad on the PATH)
set -eu
vandrel=$(realpath "$1")/vandrel
segments=${2:-10000}
steps=${3:-360}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
v() { "$vandrel" "$@"; }
v circle p 2 "$segments" && v transform p ZT -1 XD 90 XT 5
/usr/bin/time -f "vandrel revolve %e s, %M KB" "$vandrel" revolve p ring 0 0 1 0 0 0 "$steps" 360 \
  2>&1 | tail -1
v info ring | grep -E '^(objects|closed)'
awk -v steps="$steps" 'NR > 2 { p = p (p == "" ? "" : ",") "[" $1 "," $3 "]" }
     END { print "rotate_extrude($fn=" steps ") polygon(points=[" p "]);" }' p.poly >ring.scad
if command -v openscad >/dev/null; then
  /usr/bin/time -f "openscad rotate_extrude %e s, %M KB" openscad -o ring.stl ring.scad 2>&1 | tail -1
fi
