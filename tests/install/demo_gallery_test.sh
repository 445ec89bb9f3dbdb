#!/usr/bin/env bash
# The demo of the run command on a fresh clone: its folder and the folder's parents do not
# exist yet; quorvel-batch --demo creates them, prints the index page and exits 0.
# Usage: demo_gallery_test.sh QUORVEL_BATCH
set -uo pipefail
batch=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
demo=$root/out/not/yet/demo

"$batch" --demo "$demo" >"$root/stdout" 2>"$root/stderr"
status=$?
index=$(tail -n 1 "$root/stdout")
failed=0
check() {
  if ! eval "$1"; then
    echo "FAIL: $2"
    failed=1
  fi
}
check '((status == 0))' "exit status $status; stderr: $(cat "$root/stderr")"
check '[[ "$index" == "$demo/gallery/"* && -f "$index" ]]' "last line is not the index page: $index"
check '(($(find "$demo/photos" -name "*.jpg" | wc -l) == 8))' "not 8 photos in $demo/photos"
check '(($(find "$demo/gallery/thumbs" -name "*.jpg" | wc -l) == 8))' "not 8 thumbnails"

# A path under a regular file cannot become a folder: the cause is named, exit status 2.
touch "$root/file"
"$batch" --demo "$root/file/demo" >/dev/null 2>"$root/stderr"
status=$?
check '((status == 2))' "demo under a file: exit status $status"
check 'grep -q "Cannot create directory $root/file/demo.*(Not a directory)" "$root/stderr"' \
  "demo under a file: $(cat "$root/stderr")"
exit $failed
