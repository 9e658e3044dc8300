#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine when run as
# root; otherwise names the packages to install.
set -eu
packages=(cmake ninja-build g++ pkg-config libncurses-dev libgtest-dev tmux
          libmodbus-dev socat mbpoll python3-pymodbus python3 util-linux
          man-db groff-base dpkg-dev file prometheus strace nlohmann-json3-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "missing packages: ${missing[*]}" >&2
  echo "install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
