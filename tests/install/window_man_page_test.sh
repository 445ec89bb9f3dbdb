#!/usr/bin/env bash
# The window's hand-written man page names every option that `quorvelandiscope --help` lists.
# A window that does not answer --help within the time limit (it opened instead) is skipped
# with status 77: there is nothing to compare.
# Usage: window_man_page_test.sh QUORVELANDISCOPE MAN_PAGE
set -uo pipefail
program=$1 page=$2
source "$(dirname "$0")/checks.sh"
home=$scratch

help=$(HOME=$home XDG_CONFIG_HOME=$home/.config QT_QPA_PLATFORM=offscreen \
  timeout 10 "$program" --help 2>&1)
status=$?
if ((status == 124)); then
  echo "SKIP: $program --help opened the window instead of answering"
  exit 77
fi
if ((status != 0)); then
  fail "$program --help exited with $status:"$'\n'"$help"
  finish
fi
page_text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$page")
options=$(grep -oE -- '(^ +|, ?)--?[A-Za-z?][A-Za-z0-9-]*' <<<"$help" | sed -E 's/^[ ,]+//' | sort -u)
for option in $options; do
  pattern=${option//\?/\\?}
  if ! grep -qE -- "(^|[^A-Za-z0-9-])$pattern([^A-Za-z0-9-]|$)" <<<"$page_text"; then
    fail "$page lacks $option, which --help lists"
  fi
done
finish "$page names every option of --help"
