#!/usr/bin/env bash
# Makes a player image: the launcher, a header naming what follows (BUNDLE: the compressed
# bundle of a portable image; PLAYER: the player alone, for the lean kind) with its size and
# SHA-256 (see src/package/PortableImage.h), then that payload.
#   make-launcher-image.sh BUNDLE|PLAYER PAYLOAD LAUNCHER OUTPUT
set -euo pipefail

kind=$1 payload=$2 launcher=$3 output=$4
size=$(stat -c %s "$payload")
hash=$(sha256sum "$payload" | cut -d' ' -f1)
{
    cat "$launcher"
    printf 'TAVRIN %s 1\n%020d\n%s\n%-25s\n' "$kind" "$size" "$hash" ""
    cat "$payload"
} > "$output.tmp"
chmod 755 "$output.tmp"
mv "$output.tmp" "$output"
