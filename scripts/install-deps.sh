#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Scanvale need.
# apt-get runs only when a package is missing, through sudo when not root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev libicu-dev liburing-dev
    fonts-liberation
    xvfb xauth xdotool xclip x11-utils libx11-dev libxcb1-dev openbox
    dbus dbus-daemon libglib2.0-bin at-spi2-core
    desktop-file-utils appstream strace file lintian
    weston qt6-wayland
    fuse3 python3-fusepy
)
if [[ "${1:-}" == "--bench" ]]; then
    packages+=(ripgrep grep python3 openbox)
fi
if [[ "${1:-}" == "--screenshot" ]]; then
    packages+=(imagemagick)
fi
if [[ "${1:-}" == "--fuzz" ]]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
