#!/bin/bash
# Transforms a model of about 5 GB (bench/make_model, 7.6 million polygons) and prints the wall
# time, the peak memory and the MB/s of vandrel, of cat copying the file and of dd copying it
# with a sync at the end, as vandrel syncs its output. The model and one copy at a time need
# about 10 GB in TMPDIR (default /tmp).
# usage: bench/huge.sh [BUILD_DIR] [OBJECTS]   (default: build-bench, 7600000)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build-bench}")
objects=${2:-7600000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/bench/make_model" "$objects" 20 1 >model.poly
bytes=$(stat -c %s model.poly)
echo "model: $objects polygons, $((bytes / 1000000)) MB"
run() {  # label command...: wall s, peak MiB, MB/s of the model's bytes
  /usr/bin/time -f "%e %M" -o time.txt "${@:2}"
  read -r wall kb <time.txt
  awk -v l="$1" -v w="$wall" -v kb="$kb" -v b="$bytes" \
    'BEGIN { printf "| %s | %.2f | %.0f | %.0f |\n", l, w, kb / 1024, b / 1e6 / w }'
  rm -f out.poly copy.poly
}
echo "| command | wall s | peak MiB | MB/s |"
echo "|---|---|---|---|"
run "vandrel create out model XT 1 ZD 30" "$build/vandrel" create out model XT 1 ZD 30
run "cat model.poly >copy.poly" sh -c 'cat model.poly >copy.poly'
run "dd conv=fdatasync" dd if=model.poly of=copy.poly bs=1M conv=fdatasync status=none
