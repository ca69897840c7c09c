#!/usr/bin/env bash
# Makes the lean player image: the launcher, the lean header (the player's size and SHA-256, see
# src/package/PortableImage.h), then the player itself.
#   make-lean-image.sh PLAYER LAUNCHER OUTPUT
set -euo pipefail

player=$1 launcher=$2 output=$3
size=$(stat -c %s "$player")
hash=$(sha256sum "$player" | cut -d' ' -f1)
{
    cat "$launcher"
    printf 'TAVRIN PLAYER 1\n%020d\n%s\n%-25s\n' "$size" "$hash" ""
    cat "$player"
} > "$output.tmp"
chmod 755 "$output.tmp"
mv "$output.tmp" "$output"
