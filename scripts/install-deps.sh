#!/usr/bin/env bash
# Installs the Debian packages the build needs. Idempotent and quiet when
# everything is already there; runs apt-get update once before a first install.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config python3
  libeigen3-dev libunits-cpp-dev libbox2d-dev libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libzstd-dev libcli11-dev openjdk-17-jdk-headless clang
  python3-dev pybind11-dev python3-pybind11 python3-numpy python3-pytest
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo_cmd apt-get update -qq
# The JDK's post-install step links its manual pages into /usr/share/man/man1,
# which slim Debian images leave out; without it the JDK fails to install.
$sudo_cmd mkdir -p /usr/share/man/man1
$sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
