# Shared by the scripts: install what is missing, build into build/.
# shellcheck shell=bash
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev libsqlite3-dev sqlite3 libxcb1-dev libxcb-damage0-dev
  fonts-arphic-uming fonts-dejavu-core
  qt6-translations-l10n
  xvfb xauth x11-utils xdotool imagemagick openbox xclip
  at-spi2-core python3-pyatspi dbus-x11
  libxml2-dev libzip-dev libuchardet-dev libopencc-dev libopencc-data mdbtools-dev
  cups printer-driver-cups-pdf poppler-utils
  dpkg-dev file lintian desktop-file-utils appstream
  # only to make store/pinyin/readings.bin again (tools/pinyin/make_readings.py)
  unicode-data
)

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then echo sudo; else
      echo "Please run as root (or install sudo) so missing packages can be installed." >&2
      exit 1
    fi
  fi
}

install_missing() {
  local missing=() p
  for p in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    local SUDO; SUDO=$(need_root)
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

build() {
  local gen=()
  command -v ninja >/dev/null 2>&1 && gen=(-G Ninja)
  if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$BUILD" -j "$(nproc)"
}

# Puts the starter database beside the program, never over a cook's own file.
place_starter_db() {
  if [ ! -e "$BUILD/cate.mdb" ]; then
    cp "$BUILD/starter/cate.mdb" "$BUILD/cate.mdb"
    echo "Placed the starter recipe database at $BUILD/cate.mdb"
  fi
}
