#!/bin/sh
# Builds a small model from nothing into examples/out/ and says which files it wrote:
# a floor slab, four walls swept around it, a gable on top, all joined and then cut in half;
# the house goes out as glTF and STL for viewers and slicers, and as a picture.
# usage: examples/house.sh [VANDREL]   (default: build/vandrel)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
vandrel=$(realpath "${1:-$here/../build/vandrel}")
mkdir -p "$here/out"
cd "$here/out"
"$vandrel" polygon floor -2 -2 2 -2 2 2 -2 2
"$vandrel" extrude floor slab 0.2
"$vandrel" polygonC wall 1 0 0 -2 0 2 0 2 2.5 -2 2.5
"$vandrel" transform wall XD 90 YT -1
"$vandrel" rot wall walls 0 0 1 0 0 0 4 360
"$vandrel" polygon gable -2 0 2 0 0 1.5
"$vandrel" create roof gable XD 90 YT 3 ZT 2.5
"$vandrel" assemble slab walls roof house
"$vandrel" clip house half 1 0 0 0 0 0
"$vandrel" export house house.glb
"$vandrel" export house house.stl
"$vandrel" render house house.png
for file in floor slab wall walls gable roof house half; do echo "wrote examples/out/$file.poly"; done
echo "wrote examples/out/house.glb"
echo "wrote examples/out/house.stl"
echo "wrote examples/out/house.png"
