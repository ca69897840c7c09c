#!/usr/bin/env bash
# Gathers everything the player loads into one compressed archive, for the portable player
# image: the player, the libraries it and FluidSynth need (found with ldd), the dynamic loader,
# Qt's xcb and offscreen platform plugins, one font with a fonts.conf, a General MIDI SoundFont,
# ALSA's configuration, and the copyright file of every Debian package these come from.
#   gather-portable.sh PLAYER FLUIDSYNTH_LIBRARY STAGING_DIR OUTPUT.tar.zst
# ICU's data is trimmed to what the player reaches (trim-icu-data.sh); the optional libraries the
# player never reaches are replaced by small stand-ins (make-absent-library.sh); the SoundFont
# travels with its samples compressed (SF3, which FluidSynth reads through libsndfile).
set -euo pipefail

player=$1 fluidsynth=$2 stage=$3 output=$4
multiarch=/usr/lib/x86_64-linux-gnu
qt_plugins=$multiarch/qt6/plugins
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
soundfont=/usr/share/sounds/sf2/TimGM6mb.sf2
loader=/lib64/ld-linux-x86-64.so.2
scripts=$(dirname "$0")
# What FluidSynth and its libraries need but the player never calls: FluidSynth's SDL2 and JACK
# drivers (the player plays through PulseAudio or ALSA) and its readline shell, libsndfile's
# codecs other than Ogg Vorbis (the SoundFont's samples), and the systemd hooks of D-Bus (socket
# activation of a server) and PulseAudio (logging to the journal). With them go what only they
# need: libsamplerate, Berkeley DB, libgcrypt and others, 5 MB compressed. Qt calls ICU's i18n
# library only to sort by a locale's rules (QCollator) and to name time zones, which the player
# never does; ICU's code pages and case mapping, which it may reach, are in libicuuc. HarfBuzz
# shapes with Graphite only fonts that carry Graphite tables, and FreeType needs Brotli only for
# WOFF2 web fonts: without them such a font is shaped as OpenType, or not offered.
absent=(libSDL2-2.0.so.0 libjack.so.0 libreadline.so.8 libFLAC.so.12 libopus.so.0 libmpg123.so.0
        libmp3lame.so.0 libsystemd.so.0 'libicui18n.so.*' libgraphite2.so.3 libbrotlidec.so.1)

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
absent_names=()
for pattern in "${absent[@]}"; do
    library=$(compgen -G "$stage/lib/$pattern") || continue
    "$scripts/make-absent-library.sh" "$library" "$stage/absent.so" "$stage.absent" \
        "$stage/tavrin" "$stage"/lib/*.so* "$stage"/plugins/platforms/*.so
    mv "$stage/absent.so" "$library"
    rm -rf "$stage.absent"
    absent_names+=("$(basename "$library")")
done
# Only what the player, its plugins and FluidSynth still need, directly or through another.
{
    echo "$fluidsynth_soname"
    "$scripts/needed-closure.sh" "$stage/lib" "$stage/tavrin" "$stage"/plugins/platforms/*.so \
        "$stage/lib/$fluidsynth_soname"
} > "$stage/.needed"
for library in "$stage"/lib/*; do
    grep -qxF "$(basename "$library")" "$stage/.needed" || rm "$library"
done
mapfile -t libraries < <(while read -r library; do
    name=$(basename "$library")
    [ "$library" = "$fluidsynth" ] && name=$fluidsynth_soname
    case " ${absent_names[*]} " in *" $name "*) continue ;; esac
    [ -e "$stage/lib/$name" ] && echo "$library"
done < "$stage/.libraries")
rm "$stage/.libraries" "$stage/.needed"
sources+=("${libraries[@]}")
for icudata in "$stage"/lib/libicudata.so.*; do
    "$scripts/trim-icu-data.sh" "$icudata" "$stage/icudata.so" "$stage.icu"
    mv "$stage/icudata.so" "$icudata"
    rm -rf "$stage.icu"
done
take "$font" "$stage/fonts/"
# The launcher names the SoundFont default-GM.sf2 whatever its version; FluidSynth reads either.
sf3convert -z -q 0.5 "$soundfont" "$stage/default-GM.sf2" > "$stage.sf3convert.log" 2>&1 ||
    { cat "$stage.sf3convert.log" >&2; exit 1; }
rm "$stage.sf3convert.log"
sources+=("$soundfont")
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
    -C "$stage" -cf - . | zstd -q --ultra -22 --long=27 -T2 -f -o "$output"
