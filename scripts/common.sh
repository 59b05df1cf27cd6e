# Shared by scripts/run and scripts/test: install what is missing, then configure and build.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

install_packages() {
  local wanted missing=()
  wanted=$(grep -v -E '^\s*(#|$)' "$ROOT/scripts/debian-packages")
  for pkg in $wanted; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build BUILD_DIR BUILD_TYPE [extra cmake args...]
configure_and_build() {
  local dir=$1 type=$2
  shift 2
  # Configured every time, so that an existing folder takes changed options too.
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}

# configure_and_build_targets BUILD_DIR BUILD_TYPE "TARGET..." [extra cmake args...]
# As configure_and_build, but builds only the named targets.
configure_and_build_targets() {
  local dir=$1 type=$2 targets=$3
  shift 3
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" || return
  # shellcheck disable=SC2086 # the targets are one word each
  cmake --build "$dir" --parallel "$(nproc)" --target $targets
}
