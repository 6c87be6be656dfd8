#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Korvaliser need.
# Only missing packages are installed, so a machine that has them all is left alone.
# With --bench it adds what `make bench` needs besides: the Python peer of the curve
# benchmark (bench/scipy_curves.py) and the report's interpreter.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  qt6-qpa-plugins libxkbcommon-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  clang libclang-rt-14-dev clang-format
  fonts-liberation2 fontconfig poppler-utils shared-mime-info desktop-file-utils
)

bench_packages=(python3 python3-scipy)

if [ "${1:-}" = "--bench" ]; then
  packages+=("${bench_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
