#!/bin/bash
# Runs one command-line case: run_case.sh VANDREL CASE_FOLDER
#
# A case folder holds:
#   cmd      a bash script run in an empty temporary folder, with `vandrel` on the PATH
#   in/      files copied into that folder first (optional)
#   out/     every file the folder must hold afterwards, byte for byte; no out/ means no files
#   status   the expected exit status of cmd (optional, default 0)
#   stdout, stderr   the expected output streams (optional, default empty)
set -u
vandrel=$(realpath "$1")
case_dir=$(realpath "$2")
[ -f "$case_dir/cmd" ] || { echo "no cmd in $case_dir"; exit 1; }

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir "$work/run" "$work/bin" "$work/empty"
ln -s "$vandrel" "$work/bin/vandrel"
[ -d "$case_dir/in" ] && cp -R "$case_dir/in/." "$work/run/"

(cd "$work/run" && PATH="$work/bin:$PATH" bash "$case_dir/cmd" >"$work/stdout" 2>"$work/stderr")
status=$?

failed=0
expected_status=$(cat "$case_dir/status" 2>/dev/null || echo 0)
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  failed=1
fi
for stream in stdout stderr; do
  expected="$case_dir/$stream"
  [ -f "$expected" ] || expected=/dev/null
  if ! diff -u --label "expected $stream" --label "$stream" "$expected" "$work/$stream"; then
    failed=1
  fi
done
expected_files="$case_dir/out"
[ -d "$expected_files" ] || expected_files="$work/empty"
if ! diff -r -u "$expected_files" "$work/run"; then
  failed=1
fi
exit $failed
