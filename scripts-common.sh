# Shared by run.sh and test.sh: install what is missing, then build.
set -euo pipefail

HV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
HV_BUILD="${HV_BUILD:-$HV_ROOT/build}"
HV_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth)

hv_fail() {
  echo "error: $*" >&2
  exit 1
}

hv_install() {
  local missing=()
  for p in "${HV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || hv_fail "need root or sudo to install ${missing[*]}"
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq || hv_fail "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" || hv_fail "installing ${missing[*]} failed"
}

hv_build() {
  cmake -S "$HV_ROOT" -B "$HV_BUILD" -G Ninja "$@" || hv_fail "configuring the build failed"
  cmake --build "$HV_BUILD" --parallel "$(nproc)" || hv_fail "the build failed"
}
