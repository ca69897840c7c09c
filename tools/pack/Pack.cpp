#include "Pack.h"

#include "main/PackageTrailer.h"
#include "main/Windows1252.h"

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
    PackageTrailer Trailer;
};

const char* const Usage =
    "usage: tavrin-pack [--player FILE] --picture FILE [--song FILE] [--type N] [--arrange N]\n"
    "                   [--zoom N] [--color 0xBBGGRR] [--message TEXT] -o OUTPUT\n"
    "       tavrin-pack --info FILE\n";

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

Options ParseOptions(const std::vector<std::string>& args, const std::string& defaultPlayer) {
    Options o;
    o.Player = defaultPlayer;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
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
        } else {
            throw BadArguments{"unknown option \"" + option + "\""};
        }
    }
    if (o.Info.empty() && (o.Picture.empty() || o.Output.empty())) {
        throw BadArguments{"--picture and -o are required"};
    }
    return o;
}

bool StartsWith(const Bytes& bytes, std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::int32_t PictureIsBitmap(const Bytes& picture, const std::string& path) {
    if (StartsWith(picture, {0xFF, 0xD8, 0xFF})) {
        return 0;
    }
    if (StartsWith(picture, {'B', 'M'})) {
        return 1;
    }
    throw BadArguments{"the picture \"" + path + "\" is neither a JPEG nor a BMP file"};
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
bool WritePackage(const Options& o, const Bytes& player, const Bytes& song, const Bytes& picture,
                  std::ostream& err) {
    const std::string temporary = o.Output + ".tavrin-pack.tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const auto trailer = o.Trailer.Encode();
        for (const Bytes* part : {&player, &song, &picture}) {
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

int Pack(const Options& given, std::ostream& err) {
    Options o = given;
    const Bytes picture = RequireFile("picture", o.Picture);
    const Bytes song = o.Song.empty() ? Bytes{} : RequireFile("song", o.Song);
    const Bytes player = RequireFile("player", o.Player);
    o.Trailer.PictureIsBitmap = PictureIsBitmap(picture, o.Picture);
    if (!o.Song.empty()) {
        CheckSong(song, o.Song);
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
        << "player-size: " << songOffset << "\n";
    if (t.PictureSize < 0 || t.SongSize < 0 || songOffset < 0) {
        err << "tavrin-pack: \"" << path << "\" is damaged: its payloads do not fit in the file\n";
        return ExitFailed;
    }
    return 0;
}

} // namespace

int RunPack(const std::vector<std::string>& args, const std::string& defaultPlayer,
            std::ostream& out, std::ostream& err) {
    try {
        const Options o = ParseOptions(args, defaultPlayer);
        return o.Info.empty() ? Pack(o, err) : Info(o.Info, out, err);
    } catch (const BadArguments& bad) {
        err << "tavrin-pack: " << bad.Message << "\n" << Usage;
        return ExitBadArguments;
    }
}
