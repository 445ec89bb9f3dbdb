#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) under /usr and checks what a desktop, a
# software centre and man would read there: every file in place, the validators silent, the
# icon sizes right and quorvel-batch's man page naming every option its --help lists.
# Usage: install_validate.sh CMAKE BUILD_DIR SOURCE_DIR VERSION WITH_UI(0|1)
set -uo pipefail
cmake=$1 build=$2 source=$3 version=$4 with_ui=$5
app_id=org.quorvelandiscope.quorvelandiscope
icon_sizes=(16 22 24 32 48 64 128 256)

source "$(dirname "$0")/checks.sh"
stage=$scratch/stage

if ! DESTDIR="$stage" "$cmake" --install "$build" --prefix /usr >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log"
  fail "cmake --install"
  finish
fi
usr=$stage/usr

# Exactly these files, nothing forgotten and nothing stray.
expected=(bin/quorvel-batch share/man/man1/quorvel-batch.1.gz)
if ((with_ui)); then
  expected+=(bin/quorvelandiscope share/man/man1/quorvelandiscope.1.gz
    "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$app_id.svg")
  for size in "${icon_sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$app_id.png")
  done
fi
installed=$(cd "$usr" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [[ "$installed" != "$wanted" ]]; then
  fail "installed files differ from the expected list:"
  diff <(echo "$wanted") <(echo "$installed")
fi

# The installed program runs and says its version.
answer=$("$usr/bin/quorvel-batch" --version 2>&1)
[[ "$answer" == "quorvel-batch $version" ]] || fail "quorvel-batch --version said: $answer"

# man renders both pages without a warning.
pages=(quorvel-batch)
((with_ui)) && pages+=(quorvelandiscope)
for page in "${pages[@]}"; do
  file=$usr/share/man/man1/$page.1.gz
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "man --warnings -l $page.1.gz:"$'\n'"$warnings"
  title=$(zcat "$file" | grep -m1 '^\.TH ')
  [[ "$title" == *" $version\""* ]] || fail "$page.1.gz is not the page of $version: $title"
done

# The batch page stays true to the program: every option of --help is in it, and the options
# its hand-written examples use still exist.
page_text=$(zcat "$usr/share/man/man1/quorvel-batch.1.gz" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g')
help_options=$("$usr/bin/quorvel-batch" --help 2>&1 | grep -oE -- '(^ +|, ?)--?[A-Za-z][A-Za-z0-9-]*' |
  sed -E 's/^[ ,]+//' | sort -u)
[[ -n "$help_options" ]] || fail "quorvel-batch --help lists no option"
for option in $help_options; do
  grep -qE -- "(^|[^A-Za-z0-9-])$option([^A-Za-z0-9-]|$)" <<<"$page_text" ||
    fail "quorvel-batch.1 lacks $option"
done
for section in OPTIONS "EXIT STATUS" EXAMPLES FILES; do
  grep -qx "\.SH \"\?$section\"\?" <<<"$page_text" || fail "quorvel-batch.1 has no $section section"
done
example_options=$(sed -n '/^\.SH EXAMPLES/,/^\.SH /p' <<<"$page_text" | grep -oE -- '--[a-z][a-z-]*' | sort -u)
for option in $example_options; do
  grep -qx -- "$option" <<<"$help_options" || fail "quorvel-batch.1's examples use $option, unknown to --help"
done

if ((with_ui)); then
  desktop=$usr/share/applications/$app_id.desktop
  metainfo=$usr/share/metainfo/$app_id.metainfo.xml

  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
  [[ -z "$out" ]] || fail "desktop-file-validate:"$'\n'"$out"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [[ -x "$usr/bin/$exec_program" ]] || fail "Exec names $exec_program, which is not installed"
  grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry's Icon is not $app_id"

  out=$(appstreamcli validate --pedantic --no-net --no-color "$metainfo" 2>&1) ||
    fail "appstreamcli validate failed"
  issues=$(grep -E '^[EWIP]: ' <<<"$out")
  [[ -z "$issues" ]] || fail "appstreamcli validate --pedantic:"$'\n'"$out"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $app_id.desktop"
  # Each screenshot is a picture of docs/ with the size the metainfo gives.
  while read -r width height path; do
    [[ -f "$source/$path" ]] || fail "metainfo screenshot $path is not in the source tree"
    actual=$(od -An -tu1 -j16 -N8 "$source/$path" | awk '{print $3*256+$4, $7*256+$8}')
    [[ "$actual" == "$width $height" ]] || fail "$path is $actual, the metainfo says $width $height"
  done < <(sed -n 's|.*width="\([0-9]*\)" height="\([0-9]*\)">https://[^/]*/\(.*\)</image>.*|\1 \2 \3|p' "$metainfo")

  for size in "${icon_sizes[@]}"; do
    png=$usr/share/icons/hicolor/${size}x$size/apps/$app_id.png
    [[ -f "$png" ]] || continue  # reported with the file list
    [[ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' ')" == 89504e470d0a1a0a ]] || fail "$png is not a PNG"
    actual=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
    [[ "$actual" == "$size $size" ]] || fail "${size}x$size icon is $actual"
  done
fi

finish "installed files, desktop entry, metainfo, icons and man pages all valid"
