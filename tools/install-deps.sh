#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Telvanta need.
# Only what is missing is installed, so a second run costs a dpkg query.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  clang-format clang-tidy
  # toolkit-free core
  libsqlite3-dev libssl-dev libgtest-dev libgmock-dev libbenchmark-dev
  # platform layer
  libgtkmm-3.0-dev libwebkit2gtk-4.1-dev libmpv-dev libcurl4-openssl-dev
  libarchive-dev libtotem-plparser-dev libjson-glib-dev
  # the web views' sandbox (WebKit runs them, we check them)
  bubblewrap xdg-dbus-proxy
  # help: compiled from docs/help (chmcmd) and read back through chmlib
  fp-utils libchm-dev
  # the texts in other languages: telvanta.pot, the catalogues, the desktop entries
  gettext
  # windows: pictures compiled in (glib-compile-resources) and drawn from SVG
  libglib2.0-dev-bin librsvg2-common
  # tests: display, media made on the fly, RTSP server, screenshots
  xvfb xauth x11-utils xdotool ffmpeg imagemagick python3
  libgstrtspserver-1.0-dev gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gir1.2-gst-rtsp-server-1.0
  python3-gi at-spi2-core
  # tests: the session bus (MPRIS) and a client of it; the AppStream validator
  dbus playerctl appstream
  # tests: a user date format compiled on the fly (localedef)
  locales
  # the package (`make deb`) and the checks of what it installs
  debhelper dpkg-dev lintian desktop-file-utils man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
