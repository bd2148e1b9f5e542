#!/usr/bin/env bash
# Installs the Debian 12 packages that Ballwick needs to build, play and test.
# Sourced by play.sh and test.sh. As root it installs what is missing with
# apt-get; otherwise it prints the exact apt-get line and stops.
BALLWICK_PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libqt6svg6-dev libgl-dev
  qt6-qpa-plugins libqt6multimedia6 gstreamer1.0-plugins-base
  libcurl4-openssl-dev libssl-dev libjpeg62-turbo-dev libcpp-httplib-dev libmicrohttpd-dev libsqlite3-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev liblz4-dev zlib1g-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core fonts-liberation2 xvfb xauth xdotool x11-utils iproute2 libx11-dev imagemagick curl wrk sox fortunes
)

ballwick_missing_packages() {
  local p missing=()
  for p in "${BALLWICK_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  echo "${missing[@]}"
}

ballwick_install_deps() {
  local missing
  missing=$(ballwick_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q && apt-get install -y -q --no-install-recommends $missing
  else
    echo "Ballwick needs these Debian packages. Install them with:"
    echo "  sudo apt-get install -y $missing"
    exit 1
  fi
}
