#!/usr/bin/env bash
# Gathers everything the player loads into one compressed archive, for the portable player
# image: the player, the libraries it and FluidSynth need (found with ldd), the dynamic loader,
# Qt's xcb and offscreen platform plugins, one font with a fonts.conf, a General MIDI SoundFont,
# ALSA's configuration, and the copyright file of every Debian package these come from.
#   gather-portable.sh PLAYER FLUIDSYNTH_LIBRARY STAGING_DIR OUTPUT.tar.zst
# ICU's data is trimmed to what the player reaches (trim-icu-data.sh).
set -euo pipefail

player=$1 fluidsynth=$2 stage=$3 output=$4
multiarch=/usr/lib/x86_64-linux-gnu
qt_plugins=$multiarch/qt6/plugins
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
soundfont=/usr/share/sounds/sf2/TimGM6mb.sf2
loader=/lib64/ld-linux-x86-64.so.2

rm -rf "$stage"
mkdir -p "$stage"/lib "$stage"/plugins/platforms "$stage"/fonts "$stage"/share "$stage"/licences
sources=()

# Copies a file (its target, when it is a link) and remembers where it came from.
take() {
    cp -L "$1" "$2"
    sources+=("$1")
}

cp "$player" "$stage/tavrin"
take "$loader" "$stage/ld-linux-x86-64.so.2"
take "$qt_plugins/platforms/libqxcb.so" "$stage/plugins/platforms/"
take "$qt_plugins/platforms/libqoffscreen.so" "$stage/plugins/platforms/"
for object in "$player" "$stage"/plugins/platforms/*.so "$fluidsynth"; do
    ldd "$object" | awk '/=> \// { print $3 }'
done | sort -u | while read -r library; do
    [ -e "$stage/lib/$(basename "$library")" ] || { cp -L "$library" "$stage/lib/"; echo "$library"; }
done > "$stage/.libraries"
# The player opens FluidSynth by its SONAME when a song first plays.
fluidsynth_soname=$(readelf -d "$fluidsynth" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
cp -L "$fluidsynth" "$stage/lib/$fluidsynth_soname"
echo "$fluidsynth" >> "$stage/.libraries"
mapfile -t libraries < "$stage/.libraries"
rm "$stage/.libraries"
sources+=("${libraries[@]}")
for icudata in "$stage"/lib/libicudata.so.*; do
    "$(dirname "$0")/trim-icu-data.sh" "$icudata" "$stage/icudata.so" "$stage.icu"
    mv "$stage/icudata.so" "$icudata"
    rm -rf "$stage.icu"
done
take "$font" "$stage/fonts/"
take "$soundfont" "$stage/default-GM.sf2"
# ALSA's configuration without the sound cards' use-case and topology profiles.
cp -rL /usr/share/alsa "$stage/share/alsa"
rm -rf "$stage"/share/alsa/{ucm,ucm2,topology}
sources+=(/usr/share/alsa/alsa.conf)

# Fontconfig reads the machine's own configuration when there is one, and always knows the
# bundled font; its cache goes to the user's cache folder.
cat > "$stage/fonts.conf" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <dir prefix="relative">fonts</dir>
  <cachedir prefix="xdg">fontconfig</cachedir>
</fontconfig>
CONF
# Qt finds its plugins beside the loader, which is the program the kernel runs.
printf '[Paths]\nPrefix=.\nPlugins=plugins\n' > "$stage/qt.conf"

# The copyright file of the package each bundled file comes from.
package_of() {
    local path=$1 real
    real=$(readlink -f "$path")
    for candidate in "$path" "$real" "${real#/usr}" "/usr$real"; do
        dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1 && return 0
    done
    echo "no Debian package owns $path" >&2
    return 1
}
for source in "${sources[@]}"; do
    package_of "$source"
done | sort -u | while read -r package; do
    cp "/usr/share/doc/$package/copyright" "$stage/licences/$package.copyright"
done
ls "$stage/licences" | sed 's/\.copyright$//' > "$stage/licences/PACKAGES"

strip --strip-unneeded "$stage"/lib/*.so* "$stage"/plugins/platforms/*.so 2>/dev/null || true
# Sorted names and fixed owners and times: the same inputs give the same archive, and its hash
# names the cache folder.
tar --format=ustar --sort=name --owner=0 --group=0 --numeric-owner --mtime=@0 \
    -C "$stage" -cf - . | zstd -q -19 --long=27 -T2 -f -o "$output"
