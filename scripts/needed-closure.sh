#!/usr/bin/env bash
# Prints the names of the libraries in LIBRARY_DIR that the given objects need, directly or
# through one another (their DT_NEEDED entries), one a line.
#   needed-closure.sh LIBRARY_DIR OBJECT...
set -euo pipefail

dir=$1
shift
needed_by() {
    readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
}
declare -A seen=()
queue=()
for object in "$@"; do
    mapfile -t -O "${#queue[@]}" queue < <(needed_by "$object")
done
while [ ${#queue[@]} -gt 0 ]; do
    name=${queue[0]}
    queue=("${queue[@]:1}")
    [ -n "${seen[$name]:-}" ] && continue
    seen[$name]=1
    [ -e "$dir/$name" ] || continue
    echo "$name"
    mapfile -t -O "${#queue[@]}" queue < <(needed_by "$dir/$name")
done
