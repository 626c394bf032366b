#!/bin/bash
# Times every command on a model of 2.2 million lines, side by side with the same transform done
# by mawk and with cat copying the file, and prints the median wall time, the peak memory and the
# ratios to mawk, to cat and to create. Export writes the model in each format; import reads
# those files back; render draws the model at 800x600. Runs alternate between the commands, so that a busy machine slows
# them all alike.
# usage: bench/run.sh [BUILD_DIR] [RUNS]     (default: build-bench, 5 runs)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build-bench}")
runs=${2:-5}
vandrel=$build/vandrel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$build/bench/make_model" 100000 20 1 >model.poly   # 2.2 million lines
"$build/bench/make_model" 1000 20 2 >profile.poly   # swept into 100 copies: as many lines
echo "model: $(wc -l <model.poly) lines, $(($(stat -c %s model.poly) / 1048576)) MiB" >&2
formats=(obj stl ply off glb gltf 3mf)
for format in "${formats[@]}"; do "$vandrel" export model "in.$format"; done

names=(transform create extrude rot clip assemble)
for format in "${formats[@]}"; do names+=("export-$format"); done
for format in "${formats[@]}"; do names+=("import-$format"); done
names+=(render-png render-svg info mawk cat)
declare -A commands=(
  [transform]="$vandrel transform t XT 1 ZD 30"
  [create]="$vandrel create c model XT 1 ZD 30"
  [extrude]="$vandrel extrude model e 0.5"
  [rot]="$vandrel rot profile r 0 0 1 0 0 0 100 360"
  [clip]="$vandrel clip model k 1 1 0 0 0 0"
  [assemble]="$vandrel assemble model a"
  [mawk]="mawk -f $here/transform.awk model.poly"
  [cat]="cat model.poly"
  [render-png]="$vandrel render model out.png"
  [render-svg]="$vandrel render model out.svg"
  [info]="$vandrel info model"
)
for format in "${formats[@]}"; do
  commands[export-$format]="$vandrel export model out.$format"
  commands[import-$format]="$vandrel import in.$format i"
done
for ((run = 0; run < runs; run++)); do
  for name in "${names[@]}"; do
    cp model.poly t.poly
    sync
    /usr/bin/time -o "time.$name.$run" -f "%e %M" ${commands[$name]} >out.stdout
    rm -f c.poly e.poly r.poly k.poly a.poly i.poly out.* out.stdout
  done
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
declare -A seconds memory
for name in "${names[@]}"; do
  seconds[$name]=$(cat time.$name.* | awk '{ print $1 }' | median)
  memory[$name]=$(cat time.$name.* | awk '{ print $2 }' | sort -g | tail -n 1)
done
echo "| command | median s | peak MiB | x mawk | x cat | x create |"
echo "|---|---|---|---|---|---|"
for name in "${names[@]}"; do
  awk -v n="$name" -v s="${seconds[$name]}" -v m="${memory[$name]}" -v a="${seconds[mawk]}" \
    -v c="${seconds[cat]}" -v r="${seconds[create]}" \
    'BEGIN { printf "| %s | %.2f | %.0f | %.2f | %.1f | %.2f |\n", n, s, m / 1024, s / a, (c > 0 ? s / c : 0), s / r }'
done
