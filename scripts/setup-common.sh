# Shared by scripts/test and scripts/run: install what is missing, configure and build.
# Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${QUORVEL_BUILD_DIR:-$ROOT/build}"

PACKAGES=(cmake g++ make pkg-config libjpeg62-turbo-dev libgtest-dev libgmock-dev
  qt6-base-dev libgl-dev libcli11-dev libheif-dev libpng-dev libwebp-dev libhwy-dev tidy xvfb
  xauth help2man librsvg2-bin dpkg-dev desktop-file-utils appstream man-db chromium)

install_missing_packages() {
  local missing=()
  for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# Builds the given targets, or everything when none are given.
configure_and_build() {
  local werror=OFF
  if [[ "${CI:-}" == "true" ]]; then werror=ON; fi
  cmake -S "$ROOT" -B "$BUILD_DIR" -DQUORVEL_WERROR="$werror" ${QUORVEL_CMAKE_ARGS:-}
  cmake --build "$BUILD_DIR" -j "$(nproc)" ${1:+--target "$@"}
}
