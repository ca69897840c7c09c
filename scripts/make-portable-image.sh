#!/usr/bin/env bash
# Makes the portable player image: the launcher, the bundle header, then the bundle that
# gather-portable.sh makes (make-launcher-image.sh writes the image).
#   make-portable-image.sh PLAYER FLUIDSYNTH_LIBRARY LAUNCHER WORK_DIR OUTPUT
set -euo pipefail

player=$1 fluidsynth=$2 launcher=$3 work=$4 output=$5
bundle="$work.tar.zst"
"$(dirname "$0")/gather-portable.sh" "$player" "$fluidsynth" "$work" "$bundle"
"$(dirname "$0")/make-launcher-image.sh" BUNDLE "$bundle" "$launcher" "$output"
