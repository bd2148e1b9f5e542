#!/usr/bin/env bash
# The Debian 12 packages that Ballwick needs to build, play and test.
# Sourced by play.sh and test.sh. Installs nothing when every package is there.
# As root it installs what is missing with apt-get; as another user it prints
# the exact apt-get line and stops. scripts/check-packages.sh checks that each
# name is a real package (not one that others only provide).
BALLWICK_PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libgl-dev
  qt6-qpa-plugins libqt6multimedia6 gstreamer1.0-plugins-base
  libcurl4-openssl-dev libssl-dev libjpeg62-turbo-dev libcpp-httplib-dev libmicrohttpd-dev libsqlite3-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev liblz4-dev zlib1g-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core fonts-liberation2 xvfb xauth xdotool x11-utils iproute2 libx11-dev imagemagick curl wrk sox fortunes
  appstream desktop-file-utils man-db
)

ballwick_missing_packages() {
  local installed p missing=()
  # One query for the whole list; names dpkg does not know print nothing.
  installed=" $(dpkg-query -W -f='${Package}:${Status}\n' "${BALLWICK_PACKAGES[@]}" 2>/dev/null |
    sed -n 's/:install ok installed$//p' | tr '\n' ' ') "
  for p in "${BALLWICK_PACKAGES[@]}"; do
    [[ "$installed" == *" $p "* ]] || missing+=("$p")
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
    # shellcheck disable=SC2086 # one word per package
    apt-get update -q && apt-get install -y -q --no-install-recommends $missing
  else
    echo "Ballwick needs these Debian packages. Install them with:"
    echo "  sudo apt-get install -y $missing"
    exit 1
  fi
}
