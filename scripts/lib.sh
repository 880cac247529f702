# Shared by the scripts in this folder.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

# Packages the Linux build, the tool and its tests need.
LINUX_PACKAGES=(cmake make g++ pkg-config libgtest-dev libmagic-dev libmagic-mgc shared-mime-info file python3 time)

# install_missing PACKAGE...: installs, with apt-get, those not yet installed.
install_missing() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  if ((${#missing[@]})); then
    echo "installing: ${missing[*]}" >&2
    local sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    # Waits for another apt-get or dpkg run rather than failing on its lock.
    local lock=(-o DPkg::Lock::Timeout=900)
    "${sudo[@]}" apt-get "${lock[@]}" update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${lock[@]}" install -y -qq \
      --no-install-recommends "${missing[@]}" > /dev/null
  fi
}

# build DIR CMAKE_ARGS...: configures (once) and builds the Linux tree in DIR.
build() {
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@" > /dev/null
  cmake --build "$dir" -j "$JOBS"
}
