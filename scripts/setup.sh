#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need.
# Idempotent: prints nothing and changes nothing when all are present.
set -euo pipefail

packages=(
  g++ clang libclang-rt-dev cmake ninja-build pkg-config
  libsdl2-dev libenet-dev zlib1g-dev libsndfile1-dev libpng-dev libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri
  libgtest-dev libgmock-dev libbenchmark-dev
  libimgui-dev libstb-dev fonts-dejavu-core
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  xvfb libx11-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
