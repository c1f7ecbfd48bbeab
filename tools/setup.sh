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
# Source packages cross-built for Windows (libjpeg-turbo) come from a deb-src entry for the
# same archive and suites as the binary packages.
sources_entry=/etc/apt/sources.list.d/debian-src.sources
added_sources=0
if [ ! -e "$sources_entry" ]; then
  sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources_entry"
  added_sources=1
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ] || [ "$added_sources" -eq 1 ]; then
  echo "setup: installing ${missing[*]:-(package sources only)}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  [ ${#missing[@]} -eq 0 ] || apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
