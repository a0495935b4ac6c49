#!/usr/bin/env bash
# The one list of Debian packages the project needs to build, test and run.
# Installs only what is missing; safe to run again.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config
  # Qt 6 widgets, multimedia (player, camera; its FFmpeg backend plays H.264
  # MP4 and MOV) and the image plugins
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 qt6-image-formats-plugins
  libqt6svg6 qt6-qpa-plugins
  # video probe and poster frames
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  # photo dates
  libexif-dev
  # pictures too large for one allocation, decoded row by row
  libpng-dev
  # storage, compression, digests and ciphers, HTTP
  libsqlite3-dev zlib1g-dev nettle-dev libcurl4-openssl-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  # screen texts and fonts
  fonts-wqy-microhei
  # running without a display (run.sh): virtual display, window manager, VNC
  # (ss tells when it listens); xdotool lets tests minimise a window from outside
  xvfb jwm x11vnc iproute2 xdotool
  # video fixtures in tests
  ffmpeg
  # a private session bus for the screensaver-inhibit test
  dbus-daemon
  # time zones (day arithmetic tests use named zones)
  tzdata
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
