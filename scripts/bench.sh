#!/usr/bin/env bash
# Runs the benchmarks and measures the player's peak memory for the largest puzzle a
# 1920 x 1080 board gives at type 4; writes both to docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
out=docs/performance.md
mkdir -p docs

export QT_QPA_PLATFORM=offscreen
bench_output=$("$build/tavrin_bench" --benchmark_min_time=0.5 2>/dev/null)

# The player itself, under Xvfb with a 1920 x 1080 board below its menu bar.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$work/.asoundrc"
QT_QPA_PLATFORM=offscreen "$build/tavrin-demo-picture" "$work/picture.jpg" 1900 1060
"$build/tavrin-pack" --player "$build/tavrin" --picture "$work/picture.jpg" \
    --song resources/demo/silent-night.mid --type 4 -o "$work/package"
peak=$(HOME="$work" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1920x1120x24" sh -c '
        "$0" & pid=$!
        sleep 8
        grep VmHWM /proc/$pid/status
        kill $pid' "$work/package" | awk '{print $2 " " $3}')

{
    echo "# Performance"
    echo
    echo "Measured on $(date -u +%Y-%m-%d) on $(nproc) cores of"
    echo "\"$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')\" with"
    echo "$(free -g | awk '/Mem:/ {print $2}') GiB of memory, $(. /etc/os-release && echo "$PRETTY_NAME"),"
    echo "a RelWithDebInfo build. Regenerate with \`make bench\`."
    echo
    echo "## Benchmarks"
    echo
    echo "\`$build/tavrin_bench --benchmark_min_time=0.5\` (Google Benchmark; the board is"
    echo "1920 x 1080, Qt's offscreen platform; type 4 gives 1,296 pieces of 48 pixels):"
    echo
    echo '```'
    echo "$bench_output"
    echo '```'
    echo
    echo "- \`BM_StartGame\`: load, fit, cut every piece and scatter (one new game) by puzzle type."
    echo "- \`BM_CutPiece\` / \`BM_DrawPiece\`: one piece's mask, shade map and bevel / one stencil draw."
    echo "- \`BM_MoveGroup\`: one pointer movement: compose the drag region and copy it to the window,"
    echo "  for one piece and for a group of 300 pieces."
    echo "- \`BM_PickUp\`: one press that lifts a group out of the board and repairs it."
    echo "- \`BM_DropWithJoin\`: one release that snaps a piece to its neighbour and joins them."
    echo "- \`BM_RedrawBoard\`: a full redraw of all 1,296 pieces."
    echo
    echo "## Peak memory"
    echo
    echo "The player (\`tavrin\` with a 1900 x 1060 picture at type 4, under Xvfb with a 1920 x 1120"
    echo "screen, the song playing into ALSA's null device), read from VmHWM in /proc once the"
    echo "board was built: **$peak**."
} >"$out"
cat "$out"
