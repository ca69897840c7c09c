#!/usr/bin/env bash
# Makes a small library that stands in for an optional library the player never reaches, such as
# FluidSynth's SDL2 and JACK drivers and its readline shell, libsndfile's FLAC, Opus and MP3
# codecs, D-Bus's and PulseAudio's systemd hooks. The objects that need it keep loading, as the
# loader insists on every needed library, and every function they take from it reports that
# nothing is there: it returns zero (no device, no client, not initialised, no sockets passed, a
# null pointer); a data object they take from it is zero-filled at its real size. The symbol
# versions of the real library are kept, so the loader checks them as usual.
#   make-absent-library.sh REAL_LIBRARY OUTPUT_LIBRARY WORK_DIR CONSUMER...
# REAL_LIBRARY names the library's SONAME and the symbols it offers; the consumers name the ones
# taken.
set -euo pipefail

real=$1 output=$2 work=$3
shift 3
rm -rf "$work"
mkdir -p "$work"

soname=$(readelf -d "$real" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
# Every symbol the real library defines: name, version (empty when unversioned), type, size.
nm -D --defined-only -S -t d "$real" | awk '
    NF == 4 { symbol = $4; type = $3; size = $2 }
    NF == 3 { symbol = $3; type = $2; size = "0" }
    NF >= 3 {
        version = ""
        if (split(symbol, part, "@+") > 1) { version = part[2] }
        print part[1], (version == "" ? "-" : version), type, size
    }' | sort -u > "$work/offered"
# The names the consumers take from anywhere.
for consumer in "$@"; do
    nm -D --undefined-only "$consumer" | awk '{ sub(/@.*/, "", $2); print $2 }'
done | sort -u > "$work/wanted"
awk 'NR == FNR { wanted[$1] = 1; next } $1 in wanted' "$work/wanted" "$work/offered" > "$work/taken"
if [ ! -s "$work/taken" ]; then
    echo "make-absent-library.sh: nothing takes a symbol from $real" >&2
    exit 1
fi

# Functions clear the integer and the floating-point return registers; data is zero-filled.
# systemd's sd_* calls answer -ENOSYS instead, since 0 is their success and callers would read
# results that were never written.
awk '
    $3 ~ /^[TtWiu]$/ {
        printf ".text\n.globl %s\n.type %s, @function\n%s:\n", $1, $1, $1
        if ($1 ~ /^sd_/) {
            printf "    movq $-38, %%rax\n    xorl %%edx, %%edx\n    pxor %%xmm0, %%xmm0\n    ret\n"
        } else {
            printf "    xorl %%eax, %%eax\n    xorl %%edx, %%edx\n    pxor %%xmm0, %%xmm0\n    ret\n"
        }
        next
    }
    {
        size = $4 + 0
        if (size == 0) { size = 8 }
        printf ".bss\n.globl %s\n.type %s, @object\n.size %s, %d\n.balign 16\n%s:\n    .zero %d\n",
               $1, $1, $1, size, $1, size
    }' "$work/taken" > "$work/absent.S"
printf '.section .note.GNU-stack,"",@progbits\n' >> "$work/absent.S"

# One version node for each version the taken symbols carry; unversioned ones stay unversioned.
awk '
    $2 != "-" { nodes[$2] = nodes[$2] "    " $1 ";\n" }
    END { for (node in nodes) { printf "%s {\n  global:\n%s};\n", node, nodes[node] } }
' "$work/taken" > "$work/versions"
version_script=()
[ -s "$work/versions" ] && version_script=(-Wl,--version-script="$work/versions")
gcc -shared -nostdlib -Wl,-soname,"$soname" -Wl,-z,noexecstack -Wl,-z,now "${version_script[@]}" \
    -o "$output" "$work/absent.S"
