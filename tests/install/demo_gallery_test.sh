#!/usr/bin/env bash
# The demo of the run command on a fresh clone: its folder and the folder's parents do not
# exist yet; quorvel-batch --demo creates them, prints the index page and exits 0.
# Usage: demo_gallery_test.sh QUORVEL_BATCH
set -uo pipefail
batch=$1
source "$(dirname "$0")/checks.sh"
root=$scratch
demo=$root/out/not/yet/demo

"$batch" --demo "$demo" >"$root/stdout" 2>"$root/stderr"
status=$?
index=$(tail -n 1 "$root/stdout")
((status == 0)) || fail "exit status $status; stderr: $(cat "$root/stderr")"
[[ "$index" == "$demo/gallery/"* && -f "$index" ]] || fail "last line is not the index page: $index"
(($(find "$demo/photos" -name "*.jpg" 2>/dev/null | wc -l) == 8)) || fail "not 8 photos in $demo/photos"
(($(find "$demo/gallery/thumbs" -name "*.jpg" 2>/dev/null | wc -l) == 8)) || fail "not 8 thumbnails"

# A path under a regular file cannot become a folder: the cause is named, exit status 2.
touch "$root/file"
"$batch" --demo "$root/file/demo" >/dev/null 2>"$root/stderr"
status=$?
((status == 2)) || fail "demo under a file: exit status $status"
grep -q "Cannot create directory $root/file/demo.*(Not a directory)" "$root/stderr" ||
  fail "demo under a file: $(cat "$root/stderr")"
finish "the demo made its folders and its gallery"
