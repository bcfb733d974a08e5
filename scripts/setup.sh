#!/usr/bin/env bash
# Installs the Debian packages that are missing, when any is. Runs apt-get
# as root (through sudo when not root).
#   setup.sh            what the build, the tool and the tests need
#   setup.sh package    what a Release package build and its checks need
set -euo pipefail

# The product's build, and the checks of its package.
package_needs=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libcurl4-openssl-dev libidn2-dev
  desktop-file-utils appstream dpkg-dev lintian
)
# The tests, the benchmarks, the fuzz targets, the format and lint checks
# (scripts/lint.sh: clang-tidy-14 brings run-clang-tidy-14) and looking at
# the window.
test_needs=(
  libssl-dev openssl zlib1g-dev libbrotli-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  clang-format-14 clang-tidy-14
  xvfb xauth x11-apps imagemagick openbox xdotool xclip fonts-wqy-microhei fonts-dejavu-core
  libx11-dev libxtst-dev libxdamage-dev
  groff-base nodejs zsh fish
  nlohmann-json3-dev
  default-jdk-headless golang-go php-cli
)
packages=("${package_needs[@]}")
[ "${1:-}" = package ] || packages+=("${test_needs[@]}")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
