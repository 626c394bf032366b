#!/bin/sh
# Builds a small house from nothing into examples/out/ and says which files it wrote: a floor
# slab, four walls with thickness (one wall's plan swept around the middle, then raised), and a
# gable roof, each a closed solid; the house goes out as STL for slicers, 3MF and glTF for
# viewers, and as a picture.
# usage: examples/house.sh [VANDREL]   (default: build/vandrel)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
vandrel=$(realpath "${1:-$here/../build/vandrel}")
mkdir -p "$here/out"
cd "$here/out"
"$vandrel" polygon floor -2 -2 2 -2 2 2 -2 2
"$vandrel" create ground floor ZT -1
"$vandrel" extrude ground slab 0.2
"$vandrel" polygonC wall 0.9 0.85 0.7 -2 -2 1.8 -2 1.8 -1.8 -2 -1.8
"$vandrel" transform wall ZT -0.8
"$vandrel" rot wall plan 0 0 1 0 0 0 4 360
"$vandrel" extrude plan walls 2.5
"$vandrel" polygonC gable 0.7 0.2 0.1 -2.2 0 2.2 0 0 1.5
"$vandrel" create roofend gable XD 90 YT 3 ZT 2.7
"$vandrel" extrude roofend roof 4
"$vandrel" assemble slab walls roof house
"$vandrel" export house house.stl
"$vandrel" export house house.3mf
"$vandrel" export house house.glb
"$vandrel" render house house.png
for file in floor ground slab wall plan walls gable roofend roof house; do
  echo "wrote examples/out/$file.poly"
done
for file in house.stl house.3mf house.glb house.png; do echo "wrote examples/out/$file"; done
