#!/bin/bash
# Times every command on a model of 2.2 million lines, side by side with the same transform done
# by mawk and with cat copying the file, and prints the median wall time, the peak memory and the
# ratios to mawk, to cat and to create. Export writes the model in each format; import reads
# those files back; render draws the model at 800x600. Runs alternate between the commands, so
# that a busy machine slows them all alike.
#
# Given a second build (an earlier version, say), every command is also run with it, in turn
# with the first, and the table shows its time too; the files and the output each command makes
# are compared byte for byte with that build's, and the last column says whether they are equal.
# The commands that read colours run again on the same model with a colour per object, and a
# second table compares their times.
# usage: bench/run.sh [BUILD_DIR] [RUNS] [BASELINE_BUILD_DIR]   (default: build-bench, 5 runs)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build-bench}")
runs=${2:-5}
baseline=${3:+$(realpath "$3")}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$build/bench/make_model" 100000 20 1 >model.poly  # 2.2 million lines
"$build/bench/make_model" 100000 20 1 colours >cmodel.poly  # the same with a colour per object
"$build/bench/make_model" 1000 20 2 >profile.poly  # swept into 100 copies: as many lines
# A circle of 1,000 vertices in a plane through the z axis, revolved in 360 steps: 360,000 faces.
"$build/vandrel" circle section 1 1000 && "$build/vandrel" transform section XD 90 YT 1 XT 3
echo "model: $(wc -l <model.poly) lines, $(($(stat -c %s model.poly) / 1048576)) MiB" >&2
formats=(obj stl ply off glb gltf 3mf)
for format in "${formats[@]}"; do
  "$build/vandrel" export model "in.$format"
  "$build/vandrel" export cmodel "cin.$format"
done
builds=(new)
mkdir new
if [ -n "$baseline" ]; then builds+=(old) && mkdir old; fi
for b in "${builds[@]}"; do ln model.poly cmodel.poly profile.poly section.poly in.* cin.* "$b/"; done

names=(transform create extrude rot revolve clip assemble)
for format in "${formats[@]}"; do names+=("export-$format"); done
for format in "${formats[@]}"; do names+=("import-$format"); done
names+=(render-png render-svg info)
# The commands that read colours, again on the colourful model.
coloured=()
for name in "${names[@]}"; do
  case $name in export-* | import-* | render-* | info) coloured+=("$name+colours") ;; esac
done
names+=("${coloured[@]}" mawk cat)
declare -A commands=(
  [transform]="VANDREL transform t XT 1 ZD 30"
  [create]="VANDREL create c model XT 1 ZD 30"
  [extrude]="VANDREL extrude model e 0.5"
  [rot]="VANDREL rot profile r 0 0 1 0 0 0 100 360"
  [revolve]="VANDREL revolve section v 0 0 1 0 0 0 360 360"
  [clip]="VANDREL clip model k 1 1 0 0 0 0"
  [assemble]="VANDREL assemble model a"
  [mawk]="mawk -f $here/transform.awk model.poly"
  [cat]="cat model.poly"
  [render-png]="VANDREL render model out.png"
  [render-svg]="VANDREL render model out.svg"
  [info]="VANDREL info model"
)
for format in "${formats[@]}"; do
  commands[export-$format]="VANDREL export model out.$format"
  commands[import-$format]="VANDREL import in.$format i"
done
for name in "${coloured[@]}"; do
  plain=${commands[${name%+colours}]}
  plain=${plain/ model/ cmodel}
  commands[$name]=${plain/ in./ cin.}
done
declare -A same
for ((run = 0; run < runs; run++)); do
  for name in "${names[@]}"; do
    for b in "${builds[@]}"; do
      [ "$b" = old ] && [ "$name" = mawk -o "$name" = cat ] && continue
      # A command that the earlier build does not have yet is run by this one alone.
      [ "$b" = old ] && ! "$baseline/vandrel" --help | grep -q "^  vandrel ${name%%-*} " && continue
      vandrel=$build/vandrel
      [ "$b" = old ] && vandrel=$baseline/vandrel
      (
        cd "$b"
        rm -f t.poly c.poly e.poly r.poly v.poly k.poly a.poly i.poly out.*
        cp model.poly t.poly
        sync
        /usr/bin/time -o "../time.$b.$name.$run" -f "%e %M" ${commands[$name]/VANDREL/$vandrel} >out.stdout
      )
    done
    if [ "$run" = 0 ] && [ -n "$baseline" ] && [ "$name" != mawk ] && [ "$name" != cat ]; then
      same[$name]=identical
      [ -f "time.old.$name.0" ] || same[$name]="new command"
      [ -f "time.old.$name.0" ] && for file in new/*; do
        cmp -s "$file" "old/${file#new/}" || same[$name]="differs: ${file#new/}"
      done
    fi
  done
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
declare -A seconds memory
for b in "${builds[@]}"; do
  for name in "${names[@]}"; do
    [ -f "time.$b.$name.0" ] || continue
    seconds[$b.$name]=$(cat time.$b.$name.* | awk '{ print $1 }' | median)
    memory[$b.$name]=$(cat time.$b.$name.* | awk '{ print $2 }' | sort -g | tail -n 1)
  done
done
if [ -n "$baseline" ]; then
  echo "| command | before s | median s | peak MiB before | peak MiB | x mawk before | x mawk | x cat | output |"
  echo "|---|---|---|---|---|---|---|---|---|"
else
  echo "| command | median s | peak MiB | x mawk | x cat | x create |"
  echo "|---|---|---|---|---|---|"
fi
for name in "${names[@]}"; do
  awk -v n="$name" -v s="${seconds[new.$name]}" -v m="${memory[new.$name]}" \
    -v a="${seconds[new.mawk]}" -v c="${seconds[new.cat]}" -v r="${seconds[new.create]}" \
    -v os="${seconds[old.$name]:-}" -v om="${memory[old.$name]:-}" -v same="${same[$name]:-}" \
    -v compare="$baseline" 'BEGIN {
      if (compare == "") {
        printf "| %s | %.2f | %.0f | %.2f | %.1f | %.2f |\n", n, s, m / 1024, s / a, (c > 0 ? s / c : 0), s / r
      } else if (os == "") {
        printf "| %s | | %.2f | | %.0f | | %.2f | %.1f | |\n", n, s, m / 1024, s / a, (c > 0 ? s / c : 0)
      } else {
        printf "| %s | %.2f | %.2f | %.0f | %.0f | %.2f | %.2f | %.1f | %s |\n", n, os, s, om / 1024, m / 1024, os / a, s / a, (c > 0 ? s / c : 0), same
      }
    }'
done
echo
echo "| command | without colours s | with colours s | x without |"
echo "|---|---|---|---|"
for name in "${coloured[@]}"; do
  plain=${name%+colours}
  awk -v n="$plain" -v p="${seconds[new.$plain]}" -v c="${seconds[new.$name]}" \
    'BEGIN { printf "| %s | %.2f | %.2f | %.2f |\n", n, p, c, c / p }'
done
