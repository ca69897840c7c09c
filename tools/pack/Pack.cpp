#include "Pack.h"

#include "PictureConversion.h"
#include "Version.h"
#include "package/PackageCredits.h"
#include "package/PackageTrailer.h"
#include "package/Windows1252.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <optional>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitBadArguments = 2;

using Bytes = std::vector<std::uint8_t>;

struct BadArguments {
    std::string Message;
};

struct Options {
    std::string Player;
    std::string Picture;
    std::string Song;
    std::string Output;
    std::string Info;
    bool Help = false;
    bool Version = false;
    PackageTrailer Trailer;
    PictureSettings Picturing;
    PackageCredits Credits;
};

const char* const Usage =
    "usage: tavrin-pack [--player FILE] --picture FILE [--song FILE] [--type N] [--arrange N]\n"
    "                   [--zoom N] [--color 0xBBGGRR] [--message TEXT]\n"
    "                   [--keep-orientation] [--lossless] [--quality N] [--max-size WxH]\n"
    "                   [--title TEXT] [--picture-credit TEXT] [--picture-link URL]\n"
    "                   [--music-credit TEXT] [--music-link URL] -o OUTPUT\n"
    "       tavrin-pack --info FILE\n"
    "       tavrin-pack --help | --version\n";

const char* const OptionHelp =
    "\n"
    "Makes a self-contained jigsaw puzzle: a copy of the Tavrin player with a picture and a\n"
    "song appended.\n"
    "\n"
    "  --player FILE          the player to copy (default: the tavrin beside this tool)\n"
    "  --picture FILE         JPEG or BMP, packed as it is; PNG, GIF, WebP, TIFF and other\n"
    "                         formats Qt reads are converted (a bitmap up to 2 megapixels,\n"
    "                         else a JPEG)\n"
    "  --song FILE            a standard MIDI file, played in a loop\n"
    "  --type N               piece size: 1 = 96, 2 = 80, 3 = 64, 4 = 48 pixels (default 1)\n"
    "  --arrange N            1 lays the pieces out in rows; otherwise they are scattered\n"
    "  --zoom N               scale of the picture in percent (default 100)\n"
    "  --color 0xBBGGRR       board colour (default 0x00808000)\n"
    "  --message TEXT         shown once at start, at most 254 characters of Windows-1252\n"
    "  --keep-orientation     pack a JPEG as stored, ignoring its Exif orientation\n"
    "  --lossless             convert other formats to a bitmap whatever their size\n"
    "  --quality N            quality of the JPEGs this tool writes, 1 to 100 (default 95)\n"
    "  --max-size WxH         scale a larger picture down to fit in W x H pixels\n"
    "  --title TEXT           the loading window's title line\n"
    "  --picture-credit TEXT  who made the picture\n"
    "  --picture-link URL     the picture credit's web page (http or https)\n"
    "  --music-credit TEXT    who made the music\n"
    "  --music-link URL       the music credit's web page (http or https)\n"
    "  -o, --output OUTPUT    the puzzle to write\n"
    "  --info FILE            print a puzzle's settings, credits and layout\n"
    "  --help                 print this help and exit\n"
    "  --version              print the version and exit\n"
    "\n"
    "Credit lines are plain UTF-8 text of at most 120 characters each.\n";

std::optional<Bytes> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

Bytes RequireFile(const std::string& what, const std::string& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) {
        throw BadArguments{"cannot read the " + what + " \"" + path + "\""};
    }
    return *bytes;
}

std::int64_t ParseInteger(const std::string& option, const std::string& text, std::int64_t low,
                          std::int64_t high) {
    std::int64_t value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (text.empty() || error != std::errc() || end != last || value < low || value > high) {
        throw BadArguments{option + " takes a whole number from " + std::to_string(low) + " to " +
                           std::to_string(high) + ", not \"" + text + "\""};
    }
    return value;
}

std::string EncodeMessage(const std::string& text) {
    const auto encoded = Utf8ToWindows1252(text);
    if (!encoded) {
        throw BadArguments{"--message holds a character that Windows-1252 cannot store"};
    }
    if (encoded->size() > PackageTrailer::MaxMessageLength) {
        throw BadArguments{"--message is " + std::to_string(encoded->size()) +
                           " characters long; at most " +
                           std::to_string(PackageTrailer::MaxMessageLength) + " fit"};
    }
    return *encoded;
}

// "WxH" with both sides from 1 to the player's largest side.
std::pair<int, int> ParseMaxSize(const std::string& text) {
    const auto x = text.find_first_of("xX");
    const std::string problem =
        "--max-size takes WIDTHxHEIGHT, each from 1 to 16384, not \"" + text + "\"";
    if (x == std::string::npos) {
        throw BadArguments{problem};
    }
    try {
        return {static_cast<int>(ParseInteger("--max-size", text.substr(0, x), 1, 16384)),
                static_cast<int>(ParseInteger("--max-size", text.substr(x + 1), 1, 16384))};
    } catch (const BadArguments&) {
        throw BadArguments{problem};
    }
}

// Options that take no value; false when `option` is not one of them.
bool ParseFlag(const std::string& option, Options& o) {
    if (option == "--help" || option == "-h") {
        o.Help = true;
    } else if (option == "--version") {
        o.Version = true;
    } else if (option == "--keep-orientation") {
        o.Picturing.KeepOrientation = true;
    } else if (option == "--lossless") {
        o.Picturing.Lossless = true;
    } else {
        return false;
    }
    return true;
}

Options ParseOptions(const std::vector<std::string>& args, const std::string& defaultPlayer) {
    Options o;
    o.Player = defaultPlayer;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (ParseFlag(option, o)) {
            continue;
        }
        if (i + 1 >= args.size()) {
            throw BadArguments{option.rfind("-", 0) == 0 ? option + " needs a value"
                                                         : "unexpected \"" + option + "\""};
        }
        const std::string& value = args[++i];
        if (option == "--player") {
            o.Player = value;
        } else if (option == "--picture") {
            o.Picture = value;
        } else if (option == "--song") {
            o.Song = value;
        } else if (option == "--type") {
            o.Trailer.PuzzleType = static_cast<std::int8_t>(
                static_cast<std::uint8_t>(ParseInteger(option, value, -128, 255)));
        } else if (option == "--arrange") {
            o.Trailer.ArrangeMode =
                static_cast<std::int32_t>(ParseInteger(option, value, INT32_MIN, INT32_MAX));
        } else if (option == "--zoom") {
            o.Trailer.ZoomPercent =
                static_cast<std::int32_t>(ParseInteger(option, value, INT32_MIN, INT32_MAX));
        } else if (option == "--color") {
            o.Trailer.BoardColor = static_cast<TColor>(ParseInteger(option, value, 0, 0xFFFFFFFF));
        } else if (option == "--message") {
            o.Trailer.StartMessage = EncodeMessage(value);
        } else if (option == "-o" || option == "--output") {
            o.Output = value;
        } else if (option == "--info") {
            o.Info = value;
        } else if (option == "--quality") {
            o.Picturing.Quality = static_cast<int>(ParseInteger(option, value, 1, 100));
        } else if (option == "--max-size") {
            const auto [width, height] = ParseMaxSize(value);
            o.Picturing.MaxWidth = width;
            o.Picturing.MaxHeight = height;
        } else if (o.Credits.SetByOption(option, value)) {
        } else {
            throw BadArguments{"unknown option \"" + option + "\""};
        }
    }
    if (o.Help || o.Version) {
        return o;
    }
    if (o.Info.empty() && (o.Picture.empty() || o.Output.empty())) {
        throw BadArguments{"--picture and -o are required"};
    }
    if (std::string problem = o.Credits.Problem(); !problem.empty()) {
        throw BadArguments{problem};
    }
    return o;
}

void CheckSong(const Bytes& song, const std::string& path) {
    if (!StartsWith(song, {'M', 'T', 'h', 'd'})) {
        throw BadArguments{"the song \"" + path + "\" is not a standard MIDI file (no \"MThd\")"};
    }
}

std::int32_t PayloadSize(const Bytes& payload, const std::string& what) {
    if (payload.size() > static_cast<std::size_t>(INT32_MAX)) {
        throw BadArguments{"the " + what + " is larger than a package can hold"};
    }
    return static_cast<std::int32_t>(payload.size());
}

// Writes beside the output and renames, so a failed write never leaves half a package behind.
// The credit block, when there is one, ends where the song begins: the player finds the song and
// the picture from the end of the file, so they lie where they would without it.
bool WritePackage(const Options& o, const Bytes& player, const Bytes& song, const Bytes& picture,
                  std::ostream& err) {
    const std::string temporary = o.Output + ".tavrin-pack.tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const auto trailer = o.Trailer.Encode();
        const Bytes credits = o.Credits.IsEmpty() ? Bytes{} : o.Credits.EncodeBlock();
        for (const Bytes* part : {&player, &credits, &song, &picture}) {
            out.write(reinterpret_cast<const char*>(part->data()),
                      static_cast<std::streamsize>(part->size()));
        }
        out.write(reinterpret_cast<const char*>(trailer.data()), trailer.size());
        out.close();
        if (!out) {
            err << "tavrin-pack: cannot write \"" << temporary << "\"\n";
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (chmod(temporary.c_str(), 0755) != 0 ||
        std::rename(temporary.c_str(), o.Output.c_str()) != 0) {
        err << "tavrin-pack: cannot create \"" << o.Output << "\"\n";
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

PackedPicture ConvertPicture(const Options& o, const Bytes& file) {
    try {
        return PreparePicture(file, o.Picture, o.Picturing);
    } catch (const PictureRefused& refused) {
        throw BadArguments{refused.Message};
    }
}

int Pack(const Options& given, std::ostream& out, std::ostream& err) {
    Options o = given;
    const Bytes file = RequireFile("picture", o.Picture);
    const Bytes song = o.Song.empty() ? Bytes{} : RequireFile("song", o.Song);
    const Bytes player = RequireFile("player", o.Player);
    if (!o.Song.empty()) {
        CheckSong(song, o.Song);
    }
    const PackedPicture packed = ConvertPicture(o, file);
    const Bytes& picture = packed.File;
    o.Trailer.PictureIsBitmap = packed.IsBitmap ? 1 : 0;
    if (!packed.Note.empty()) {
        out << "tavrin-pack: picture " << packed.Note << "\n";
    }
    o.Trailer.PictureSize = PayloadSize(picture, "picture");
    o.Trailer.SongSize = PayloadSize(song, "song");
    return WritePackage(o, player, song, picture, err) ? 0 : ExitFailed;
}

std::string Hex(std::uint32_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << value;
    return text.str();
}

std::optional<PackageCredits> CreditsBefore(const Bytes& bytes, std::int64_t songOffset) {
    if (songOffset < 0 || songOffset > static_cast<std::int64_t>(bytes.size())) {
        return std::nullopt;
    }
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

int Info(const std::string& path, std::ostream& out, std::ostream& err) {
    const auto bytes = ReadWholeFile(path);
    if (!bytes) {
        throw BadArguments{"cannot read the package \"" + path + "\""};
    }
    const auto length = static_cast<std::int64_t>(bytes->size());
    if (length < static_cast<std::int64_t>(PackageTrailer::Size)) {
        err << "tavrin-pack: \"" << path << "\" is shorter than a package trailer\n";
        return ExitFailed;
    }
    const auto t = PackageTrailer::Decode(std::span<const std::uint8_t, PackageTrailer::Size>(
        bytes->data() + length - PackageTrailer::Size, PackageTrailer::Size));
    const std::int64_t pictureOffset = length - PackageTrailer::Size - std::int64_t{t.PictureSize};
    const std::int64_t songOffset = pictureOffset - std::int64_t{t.SongSize};
    out << "file-size: " << length << "\n"
        << "start-message: " << Windows1252ToUtf8(t.StartMessage) << "\n"
        << "puzzle-type: " << int{t.PuzzleType} << "\n"
        << "picture-size: " << t.PictureSize << "\n"
        << "picture-offset: " << pictureOffset << "\n"
        << "picture-is-bitmap: " << t.PictureIsBitmap << "\n"
        << "song-size: " << t.SongSize << "\n"
        << "song-offset: " << songOffset << "\n"
        << "arrange-mode: " << t.ArrangeMode << "\n"
        << "zoom-percent: " << t.ZoomPercent << "\n"
        << "reserved: " << t.Reserved << "\n"
        << "board-color: " << Hex(t.BoardColor) << "\n"
        << "player-size: " << songOffset - CreditsBlockSize(*bytes, songOffset) << "\n";
    if (t.PictureSize < 0 || t.SongSize < 0 || songOffset < 0) {
        err << "tavrin-pack: \"" << path << "\" is damaged: its payloads do not fit in the file\n";
        return ExitFailed;
    }
    PrintCredits(*bytes, songOffset, out);
    return 0;
}

} // namespace

int RunPack(const std::vector<std::string>& args, const std::string& defaultPlayer,
            std::ostream& out, std::ostream& err) {
    try {
        const Options o = ParseOptions(args, defaultPlayer);
        if (o.Help) {
            out << Usage << OptionHelp;
            return 0;
        }
        if (o.Version) {
            out << "tavrin-pack (Tavrin) " << TavrinVersion << "\n";
            return 0;
        }
        return o.Info.empty() ? Pack(o, out, err) : Info(o.Info, out, err);
    } catch (const BadArguments& bad) {
        err << "tavrin-pack: " << bad.Message << "\n" << Usage;
        return ExitBadArguments;
    }
}
