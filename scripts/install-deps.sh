#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the player and the tests need, and any packages
# named as arguments; does nothing when they are all present already.
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config
    qt6-base-dev qt6-image-formats-plugins libxcb1-dev libxcb-xtest0-dev libxcb-shm0-dev libjpeg62-turbo-dev
    libxau-dev libxdmcp-dev
    libturbojpeg0-dev libfluidsynth-dev timgm6mb-soundfont
    libzstd-dev zstd icu-devtools sf3convert fonts-dejavu-core libasound2-data
    libgtest-dev libbenchmark-dev xvfb xauth
    openbox icewm weston xwayland qt6-wayland x11-utils pulseaudio pulseaudio-utils libasound2-plugins
    librsvg2-bin desktop-file-utils appstream groff-base
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
