#!/bin/sh
# Builds a small house model from nothing into examples/out/ and says which files it wrote.
# usage: examples/house.sh [VANDREL]   (default: build/vandrel)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
vandrel=$(realpath "${1:-$here/../build/vandrel}")
mkdir -p "$here/out"
cd "$here/out"
"$vandrel" polygon floor 0 0 4 0 4 3 0 3
"$vandrel" polygonC wall 1 0 0 0 0 4 0 4 2.5 0 2.5
"$vandrel" polygonC gable 2 0 0 0 2.5 4 2.5 2 4
"$vandrel" assemble floor wall gable house
for file in floor wall gable house; do echo "wrote examples/out/$file.poly"; done
