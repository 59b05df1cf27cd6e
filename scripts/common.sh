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

# Every tree compiles through ccache when it is installed (scripts/debian-packages lists it): a
# second clone, or a tree whose options another tree shares, then reuses what was compiled. The
# paths under the checkout are made relative, so that a clone in another folder finds them too.
compiler_launcher() {
  command -v ccache >/dev/null || return 0
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
  echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
}

# configure_and_build BUILD_DIR BUILD_TYPE [extra cmake args...]
configure_and_build() {
  local dir=$1 type=$2
  shift 2
  # Configured every time, so that an existing folder takes changed options too.
  # shellcheck disable=SC2046 # the launcher options are words of their own
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" $(compiler_launcher) "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}

# configure_and_build_targets BUILD_DIR BUILD_TYPE "TARGET..." [extra cmake args...]
# As configure_and_build, but builds only the named targets.
configure_and_build_targets() {
  local dir=$1 type=$2 targets=$3
  shift 3
  # shellcheck disable=SC2046 # the launcher options are words of their own
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" $(compiler_launcher) "$@" || return
  # shellcheck disable=SC2086 # the targets are one word each
  cmake --build "$dir" --parallel "$(nproc)" --target $targets
}
