#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  xvfb xdotool x11-utils imagemagick
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
