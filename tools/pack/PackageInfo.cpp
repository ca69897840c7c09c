#include "PackageInfo.h"

#include "JpegMetadata.h"
#include "base/WholeFile.h"
#include "package/PackageCredits.h"
#include "package/PackageTrailer.h"
#include "package/PortableImage.h"
#include "package/Windows1252.h"

#include <iomanip>
#include <optional>
#include <sstream>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Where a package's parts lie, counted from the end of the file as the player counts.
struct Layout {
    PackageTrailer Trailer;
    std::int64_t Length = 0;
    std::int64_t PictureOffset = 0;
    std::int64_t SongOffset = 0;
};

bool BeginsWith(const Bytes& bytes, std::int64_t at, std::string_view prefix) {
    return at >= 0 && static_cast<std::size_t>(at) + prefix.size() <= bytes.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin() + at,
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// A trailer whose sizes fit the file, with a picture of the kind it names where it says and a
// song (when there is one) that starts as a MIDI file does; empty otherwise.
std::optional<Layout> PartsLayout(const Bytes& bytes) {
    Layout l;
    l.Length = static_cast<std::int64_t>(bytes.size());
    if (l.Length < static_cast<std::int64_t>(PackageTrailer::Size)) {
        return std::nullopt;
    }
    l.Trailer = PackageTrailer::Decode(std::span<const std::uint8_t, PackageTrailer::Size>(
        bytes.data() + l.Length - PackageTrailer::Size, PackageTrailer::Size));
    const PackageTrailer& t = l.Trailer;
    l.PictureOffset = l.Length - PackageTrailer::Size - std::int64_t{t.PictureSize};
    l.SongOffset = l.PictureOffset - std::int64_t{t.SongSize};
    const bool picture = t.PictureIsBitmap != 0 ? BeginsWith(bytes, l.PictureOffset, "BM")
                                                : BeginsWith(bytes, l.PictureOffset, "\xFF\xD8");
    const bool song = t.SongSize == 0 || BeginsWith(bytes, l.SongOffset, "MThd");
    if (t.PictureSize <= 0 || t.SongSize < 0 || l.SongOffset < 0 || !picture || !song) {
        return std::nullopt;
    }
    return l;
}

std::string Hex(std::uint32_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << value;
    return text.str();
}

// A start message on one line of its own: its line breaks as "\n", so a backslash as "\\".
std::string OneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        line += c == '\n' ? "\\n" : c == '\\' ? "\\\\" : std::string(1, c);
    }
    return line;
}

std::optional<PackageCredits> CreditsBefore(const Bytes& bytes, std::int64_t songOffset) {
    return PackageCredits::DecodeBlock({bytes.data(), static_cast<std::size_t>(songOffset)});
}

std::int64_t CreditsBlockSize(const Bytes& bytes, std::int64_t songOffset) {
    const auto credits = CreditsBefore(bytes, songOffset);
    return credits ? static_cast<std::int64_t>(credits->EncodeBlock().size()) : 0;
}

void PrintCredits(const Bytes& bytes, std::int64_t songOffset, std::ostream& out) {
    const auto credits = CreditsBefore(bytes, songOffset);
    out << "credits: " << (credits ? "yes" : "none") << "\n";
    if (credits) {
        out << "title: " << credits->Title << "\n"
            << "picture-credit: " << credits->PictureCredit << "\n"
            << "picture-link: " << credits->PictureLink << "\n"
            << "music-credit: " << credits->MusicCredit << "\n"
            << "music-link: " << credits->MusicLink << "\n";
    }
}

// The metadata the packed picture carries: "none" unless it was packed with --keep-metadata.
std::string PictureMetadata(const Bytes& bytes, const Layout& l) {
    if (l.Trailer.PictureIsBitmap != 0) {
        return "none";
    }
    const auto names = JpegMetadataNames(
        std::span(bytes).subspan(static_cast<std::size_t>(l.PictureOffset),
                                 static_cast<std::size_t>(l.Trailer.PictureSize)));
    return names.empty() ? "none" : JoinedNames(names);
}

// A portable puzzle starts with the launcher and its bundle; a lean one with the launcher and
// the player, or (packed with --player) the player alone.
void PrintPlayerKind(const Bytes& bytes, std::ostream& out) {
    const auto bundle = PortableBundleOf(bytes);
    out << "player-kind: " << (bundle && !bundle->Lean ? "portable" : "lean") << "\n";
    if (bundle && !bundle->Lean) {
        out << "bundle-size: " << bundle->BundleSize << "\n"
            << "bundle-sha256: " << bundle->Sha256 << "\n";
    }
}

} // namespace

Result<int, BadArguments> PrintPackageInfo(const std::string& path, std::ostream& out,
                                           std::ostream& err) {
    const auto read = ReadWholeFile(path);
    if (!read) {
        return BadArguments{"cannot read \"" + path + "\""};
    }
    const Bytes& bytes = *read;
    const auto layout = PartsLayout(bytes);
    if (!layout) {
        err << "tavrin-pack: \"" << path << "\" is not a Tavrin puzzle, or it is damaged\n";
        return 1;
    }
    const PackageTrailer& t = layout->Trailer;
    const auto credits = CreditsBefore(bytes, layout->SongOffset);
    const std::string olderPlayersShow = OneLine(Windows1252ToUtf8(t.StartMessage));
    out << "file-size: " << layout->Length << "\n"
        << "start-message: "
        << (credits && !credits->StartMessage.empty() ? OneLine(credits->StartMessage)
                                                      : olderPlayersShow)
        << "\n"
        << "start-message-in-older-players: " << olderPlayersShow << "\n"
        << "puzzle-type: " << int{t.PuzzleType} << "\n"
        << "picture-size: " << t.PictureSize << "\n"
        << "picture-offset: " << layout->PictureOffset << "\n"
        << "picture-is-bitmap: " << t.PictureIsBitmap << "\n"
        << "picture-metadata: " << PictureMetadata(bytes, *layout) << "\n"
        << "song-size: " << t.SongSize << "\n"
        << "song-offset: " << layout->SongOffset << "\n"
        << "arrange-mode: " << t.ArrangeMode << "\n"
        << "zoom-percent: " << t.ZoomPercent << "\n"
        << "reserved: " << t.Reserved << "\n"
        << "board-color: " << Hex(t.BoardColor) << "\n"
        << "player-size: " << layout->SongOffset - CreditsBlockSize(bytes, layout->SongOffset)
        << "\n";
    PrintCredits(bytes, layout->SongOffset, out);
    PrintPlayerKind(bytes, out);
    return 0;
}
