#!/usr/bin/env bash
# Makes the portable player image: the launcher, the bundle header (its size and SHA-256, see
# src/package/PortableImage.h), then the bundle that gather-portable.sh makes.
#   make-portable-image.sh PLAYER FLUIDSYNTH_LIBRARY LAUNCHER WORK_DIR OUTPUT
set -euo pipefail

player=$1 fluidsynth=$2 launcher=$3 work=$4 output=$5
bundle="$work.tar.zst"
"$(dirname "$0")/gather-portable.sh" "$player" "$fluidsynth" "$work" "$bundle"
size=$(stat -c %s "$bundle")
hash=$(sha256sum "$bundle" | cut -d' ' -f1)
{
    cat "$launcher"
    printf 'TAVRIN BUNDLE 1\n%020d\n%s\n%-25s\n' "$size" "$hash" ""
    cat "$bundle"
} > "$output.tmp"
chmod 755 "$output.tmp"
mv "$output.tmp" "$output"
