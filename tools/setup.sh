#!/usr/bin/env bash
# Installs what building and testing need from Debian's packages; quiet, and quick when
# everything is already there.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine64 xvfb xauth imagemagick
  libgtest-dev googletest
  libjpeg62-turbo-dev libjpeg-turbo-progs
  nginx curl iproute2 util-linux python3
  libssl-dev openssl
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
