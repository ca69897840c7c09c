#!/usr/bin/env bash
# Rebuilds ICU's data library with only what the player can reach: Qt draws text with its own
# tables, so ICU's collation, break dictionaries, transliteration, legacy code pages and the
# locales other than English (31 MB of the 75 MB the player loads) are left out. Qt calls ICU only
# for code pages, case mapping, time zones and collation, so character names, string preparation
# and IDNA profiles, spoof checks and the display names of currencies, units, languages and
# regions and spelled-out numbers go too; time zone rules and names stay.
#   trim-icu-data.sh LIBICUDATA OUTPUT_LIBRARY WORK_DIR
set -euo pipefail

library=$1 output=$2 work=$3
rm -rf "$work"
mkdir -p "$work/out"

# icupkg reads a list of items only from a file whose name ends in .txt.
# The data is one read-only symbol, icudtNN_dat; its bytes are ICU's common data file.
read -r address size name < <(nm -D --defined-only -S "$library" | awk '/_dat$/ { print $1, $2, $4 }')
version=${name%_dat}
offset=$(readelf -S -W "$library" | awk '$2 == ".rodata" { print $4, $5 }' | {
    read -r vaddr fileoff
    echo $(( 0x$address - 0x$vaddr + 0x$fileoff ))
})
data="$work/${version}l.dat"
dd if="$library" of="$data" bs=1M iflag=skip_bytes,count_bytes skip="$offset" count=$(( 0x$size )) status=none

icupkg -l "$data" > "$work/items"
{
    grep -E '\.cnv$|^(translit|brkitr|coll|curr|unit|lang|region|rbnf)/' "$work/items"
    grep -E '^unames\.icu$|\.spp$|\.cfu$|^(uts46|nfkc_cf)\.nrm$' "$work/items"
    grep -E '(^|/)[a-z]{2,3}(_[A-Za-z0-9_]*)?\.res$' "$work/items" |
        grep -vE '^(translit|brkitr|coll|curr|unit|lang|region|rbnf)/|(^|/)(root|en|en_[A-Za-z0-9_]*|res_index|pool)\.res$'
} > "$work/dropped.txt"
icupkg -r "$work/dropped.txt" "$data" "$work/out/${version}l.dat"
genccode -q -a gcc -e "$version" -d "$work" "$work/out/${version}l.dat"
soname=$(readelf -d "$library" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
gcc -shared -nostdlib -Wl,-soname,"$soname" -Wl,-z,noexecstack -o "$output" "$work/${version}l_dat.S"
