# Debian packages Ludexa needs, and a function that installs the missing ones.
# Sourced by scripts/run and scripts/test.

BUILD_PACKAGES=(
  build-essential cmake pkg-config libsfml-dev libsqlite3-dev libstb-dev libgtk-3-dev
  libwebp-dev libavif-dev libicu-dev libfontconfig1-dev libfreetype-dev libx11-dev libxrandr-dev liblnk-dev libjson-glib-dev
  libgl-dev fonts-noto-cjk fonts-wqy-microhei fonts-dejavu-core
)
TEST_PACKAGES=(
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xdotool x11-utils imagemagick xclip
  webp libavif-bin sqlite3 openbox libgl1-mesa-dri desktop-file-utils appstream
  libxdamage-dev gnome-mines
)
PACKAGE_PACKAGES=(
  debhelper dpkg-dev lintian
)

install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "Missing packages and no sudo: as root, run  apt-get install -y ${missing[*]}" >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}
