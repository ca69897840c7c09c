# Sourced by bench.sh where KDE's Palapeli is installed: gives Palapeli a puzzle of the photo the
# player is timed on, cut by Palapeli itself into the player's number of pieces, and times the
# two programs opening their puzzles in alternating rounds with tavrin_startup_bench --versus.
# Uses bench.sh's $build, $work, $palapeli and round counts; adds rows to $peer_table.
# shellcheck shell=bash disable=SC2154

# Palapeli's own folders under the work folder, so that a run neither reads nor leaves anything
# in the user's: its settings, its collection and cut puzzles, its saved games, its temporary
# unpacked puzzles. XDG_CONFIG_DIRS is empty so that the system's sample collection is not read.
# Sets $palapeli_command to Palapeli run with them.
palapeli_in() {
    local home=$1
    palapeli_command=(env "HOME=$home" "XDG_CONFIG_HOME=$home/config" "XDG_DATA_HOME=$home/data"
        "XDG_CACHE_HOME=$home/cache" "XDG_CONFIG_DIRS=$home/config-dirs"
        "XDG_RUNTIME_DIR=$home/runtime" "TMPDIR=$home/tmp" "$palapeli")
}

# The number of pieces a Palapeli puzzle archive holds, 0 while it is incomplete.
palapeli_pieces() {
    local archive=$1 entries
    entries=$(tar -tzf "$archive" 2>/dev/null | wc -l) || entries=0
    tar -xzOf "$archive" pala.desktop 2>/dev/null | awk -v entries="$entries" '
        /^\[/ { group = $0; next }
        group == "[PieceOffsets]" && /=/ { n++ }
        END { print (entries == n + 2) ? n + 0 : 0 }'
}

# Palapeli's copy of the photo: the player's crop, cut down losslessly at both sides to the
# grid's proportions. Palapeli's jigsaw slicer picks its grid from the piece count and the
# picture's proportions; with both matching it cuts exactly cols x rows pieces.
palapeli_photo() {
    local photo=$1 crop=$2 cols=$3 rows=$4 out=$5
    local width=${crop%%x*} rest=${crop#*x} height
    height=${rest%%+*}
    local w=$((width)) h=$((height))
    if ((width * rows > height * cols)); then
        w=$(((height * cols + rows / 2) / rows))
    else
        h=$(((width * rows + cols / 2) / cols))
    fi
    # Offsets on 16-pixel boundaries keep the size exact (jpegtran moves them to one).
    local x=$(((width - w) / 2 / 16 * 16)) y=$(((height - h) / 2 / 16 * 16))
    jpegtran -copy none -optimize -crop "${w}x${h}+${x}+${y}" "$photo" >"$out"
}

# Writes the puzzle's description into Palapeli's collection and lets Palapeli cut it: at start
# it turns every description without an archive into one (its pieces as images, their places
# and neighbours), which the timed runs then open. Two messages that would wait for a click
# are marked as seen (where KDE's framework integration lets Palapeli remember that).
cut_palapeli_puzzle() {
    local home=$1 screen=$2 crop=$3 cols=$4 rows=$5
    local collection=$home/data/palapeli/collection
    rm -rf "$home"
    mkdir -p "$collection" "$home/config" "$home/cache" "$home/config-dirs" "$home/tmp"
    mkdir -m 700 "$home/runtime"
    palapeli_photo "$work/photo-$screen.jpg" "$crop" "$cols" "$rows" "$collection/elephants.jpg"
    cat >"$collection/elephants.desktop" <<EOF
[Desktop Entry]
Name=Elephants
Comment=Tavrin benchmark, $cols x $rows pieces
Type=X-Palapeli-Puzzle

[Job]
Image=elephants.jpg
Slicer=palapeli_jigsawslicer
PieceCount=$((cols * rows))
PieceAspect=5
EOF
    printf '[Palapeli Collection][elephants]\nLocation=palapeli:///collection/elephants.puzzle\n' \
        >"$home/config/palapeli-collectionrc"
    printf '[Notification Messages]\nautosave-introduction=false\nlargepuzzle-introduction=false\n' \
        >"$home/config/palapelirc"
    palapeli_in "$home"
    # xvfb-run's shell passes no exported functions on, so the inner one is given its source.
    # shellcheck disable=SC2016 # expanded by the inner shell
    xvfb-run -a -s "-screen 0 ${screen}x24" bash -c "$(declare -f palapeli_pieces)"'
        archive=$1 expected=$2
        shift 2
        "$@" >/dev/null 2>&1 &
        for _ in $(seq 1 1200); do
            [ "$(palapeli_pieces "$archive")" = "$expected" ] && break
            sleep 0.5
        done
        kill $!
        wait' cut "$collection/elephants.puzzle" $((cols * rows)) \
        "${palapeli_command[@]}"
    local pieces
    pieces=$(palapeli_pieces "$collection/elephants.puzzle") || pieces=0
    if [ "$pieces" != $((cols * rows)) ]; then
        echo "Palapeli cut ${pieces:-no} pieces, not $((cols * rows)), for $screen" >&2
        return 1
    fi
}

# Times the player's lean puzzle without a song against Palapeli opening its cut puzzle at the
# screen's size, and adds the row to $peer_table.
versus() {
    local screen=$1 crop=$2 grid=$3 rounds=$4
    local cols=${grid%x*} rows=${grid#*x}
    local home=$work/palapeli-$screen result
    cut_palapeli_puzzle "$home" "$screen" "$crop" "$cols" "$rows" || return 0
    palapeli_in "$home"
    result=$(xvfb-run -a -s "-screen 0 ${screen}x24" \
        "$build/tavrin_startup_bench" --versus "$work/puzzle-$screen-none" "$rounds" -- \
        "${palapeli_command[@]}" -qwindowgeometry "${screen}+0+0" \
        "$home/data/palapeli/collection/elephants.puzzle") || {
        echo "$screen: timing against Palapeli failed" >&2
        return 0
    }
    echo "$screen, against Palapeli" >&2
    echo "$result" >&2
    # The ratios of the medians, then the table's row.
    local ratios row
    {
        read -r ratios
        read -r row
    } < <(awk -v screen="$screen" -v pieces=$((cols * rows)) '
        $1 == "min" || $1 == "median" { v[$1 "-" $2 "-stable"] = $3; v[$1 "-" $2 "-rss"] = $4 }
        END {
            speed = sprintf("%.1f ×", v["median-peer-stable"] / v["median-tavrin-stable"])
            memory = sprintf("%.1f ×", v["median-peer-rss"] / v["median-tavrin-rss"])
            printf "%s / %s\n", speed, memory
            printf "| %s | %d | %s / %s | %s / %s | %s | %s / %s | %s / %s | %s |\n",
                screen, pieces, v["min-tavrin-stable"], v["median-tavrin-stable"],
                v["min-peer-stable"], v["median-peer-stable"], speed,
                v["min-tavrin-rss"], v["median-tavrin-rss"], v["min-peer-rss"],
                v["median-peer-rss"], memory
        }' <<<"$result")
    peer_ratios[$screen]=$ratios
    peer_table+=$row$'\n'
}

peer_section() {
    local version
    version=$(dpkg-query -W -f='${Version}' palapeli 2>/dev/null || echo "(version unknown)")
    echo "## Side by side with Palapeli"
    echo
    echo "KDE's Palapeli $version and the player open a puzzle of the same photo with the same"
    echo "number of pieces, timed by \`$build/tavrin_startup_bench --versus\` on the same Xvfb"
    echo "screen in alternating rounds (player, then Palapeli) after one warm-up of each:"
    echo "$peer_rounds_hd rounds at 1080p, $peer_rounds_4k at 4K; minimum / median. Same machine"
    echo "as above; regenerate with \`make bench\` (rounds: \`BENCH_PEER_ROUNDS_HD\`,"
    echo "\`BENCH_PEER_ROUNDS_4K\`)."
    echo
    echo "| screen | pieces | Tavrin start (ms) | Palapeli start (ms) | start, Palapeli / Tavrin | Tavrin peak RSS (MiB) | Palapeli peak RSS (MiB) | memory, Palapeli / Tavrin |"
    echo "|---|---|---|---|---|---|---|---|"
    printf '%s' "$peer_table"
    echo
    echo "The ratios are of the medians."
    echo
    echo "- **start**: from the launch until the screen took the look it then kept for 1.5 s, read"
    echo "  as above. The player: its lean puzzle without a song, cut at type 4; the look kept is"
    echo "  the board with every piece, the loading window over it. Palapeli: \`palapeli"
    echo "  -qwindowgeometry SCREEN+0+0 FILE.puzzle\` (its window as large as the player's); the"
    echo "  look kept is its puzzle table with every piece (at the scale it picks to show them"
    echo "  all), its preview window and, over them, its \"Automatic saving\" notice, which it"
    echo "  shows on every opening where KDE's framework integration does not remember \"Do not"
    echo "  show this message again\"."
    echo "- **the puzzle**: Palapeli's own cut, made before the timing. Its collection holds a"
    echo "  description of the puzzle (jigsaw slicer, cols x rows pieces); Palapeli, started once,"
    echo "  cuts it into an archive of the pieces as images with their places and neighbours, and"
    echo "  the timed runs open that archive (unpack, load the pieces, lay them out). The warm-up"
    echo "  run shuffles the pieces and saves the layout; the timed runs restore it. Its copy of"
    echo "  the photo is the player's, cut down losslessly at both sides to the grid's proportions"
    echo "  (48 : 27 and 95 : 53), so that its slicer cuts exactly that grid."
    echo "- **peak RSS**: the sum of VmHWM over the launched process and its descendants once the"
    echo "  screen is stable; nothing is dragged, so the player's figure is below the one above."
    echo "- Palapeli runs with HOME, its XDG folders and TMPDIR in the work folder (no system"
    echo "  collection), removed afterwards; neither program has a window manager."
}
