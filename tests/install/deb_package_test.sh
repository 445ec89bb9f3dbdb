#!/usr/bin/env bash
# cpack -G DEB makes a package of the build: named, sectioned and described, its Depends
# worked out from the programs' libraries, holding what `cmake --install` installs, and its
# quorvel-batch runs once unpacked.
# Usage: deb_package_test.sh CPACK BUILD_DIR VERSION WITH_UI(0|1)
set -uo pipefail
cpack=$1 build=$2 version=$3 with_ui=$4
source "$(dirname "$0")/checks.sh"
out=$scratch

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  fail "cpack -G DEB"
  finish
fi
deb=$out/quorvelandiscope_${version}_$(dpkg --print-architecture).deb
[[ -f "$deb" ]] || { fail "no $deb"; finish; }

field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == quorvelandiscope ]] || fail "Package: $(field Package)"
[[ "$(field Version)" == "$version" ]] || fail "Version: $(field Version)"
[[ "$(field Section)" == graphics ]] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" == *@* ]] || fail "Maintainer: $(field Maintainer)"
[[ "$(field Description)" == *$'\n '* ]] || fail "no extended Description"
depends=$(field Depends)
wanted=(libc6 libjpeg62-turbo libstdc++6 libheif1 libhwy1 libpng16-16 libwebp7 libwebpdemux2)
((with_ui)) && wanted+=(libqt6widgets6)
for package in "${wanted[@]}"; do
  [[ ", $depends," == *", $package "* ]] || fail "Depends lacks $package: $depends"
done

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
wanted=(./usr/bin/quorvel-batch ./usr/share/man/man1/quorvel-batch.1.gz)
((with_ui)) && wanted+=(./usr/bin/quorvelandiscope
  ./usr/share/applications/org.quorvelandiscope.quorvelandiscope.desktop
  ./usr/share/metainfo/org.quorvelandiscope.quorvelandiscope.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/org.quorvelandiscope.quorvelandiscope.svg)
for file in "${wanted[@]}"; do
  grep -qx -- "$file" <<<"$files" || fail "the package lacks $file"
done

dpkg-deb -x "$deb" "$out/root"
answer=$("$out/root/usr/bin/quorvel-batch" --version 2>&1)
[[ "$answer" == "quorvel-batch $version" ]] || fail "unpacked quorvel-batch --version said: $answer"

finish "$(basename "$deb"): Depends: $depends"
