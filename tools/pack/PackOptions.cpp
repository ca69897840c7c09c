#include "PackOptions.h"

#include "MessageRendering.h"
#include "package/Windows1252.h"
#include "puzzle/PuzzleShape.h"

#include <charconv>
#include <cstdint>

namespace {

const char* const Usage =
    "usage: tavrin-pack [--lean] [--player FILE] --picture FILE [--song FILE] [--type N] "
    "[--arrange N]\n"
    "                   [--zoom N] [--color #RRGGBB] [--message TEXT]\n"
    "                   [--keep-orientation] [--keep-metadata] [--lossless] [--quality N]\n"
    "                   [--max-size WxH|none] [--title TEXT] [--picture-credit TEXT]\n"
    "                   [--picture-link URL] [--music-credit TEXT] [--music-link URL] -o OUTPUT\n"
    "       tavrin-pack --info FILE\n"
    "       tavrin-pack --help | --version\n";

const char* const OptionHelp =
    "\n"
    "Makes a self-contained jigsaw puzzle: a copy of the Tavrin player with a picture and a\n"
    "song appended.\n"
    "\n"
    "  --lean                 copy the player alone: a small puzzle for machines that have\n"
    "                         Qt 6.4, libjpeg-turbo and FluidSynth installed (by default the\n"
    "                         puzzle carries everything it loads and runs on any x86-64 Linux\n"
    "                         with a display)\n"
    "  --player FILE          the player image to copy (default: the tavrin-portable beside\n"
    "                         this tool, or with --lean the tavrin-lean beside it)\n"
    "  --picture FILE         JPEG or BMP, packed as it is; PNG, GIF, WebP, TIFF and other\n"
    "                         formats Qt reads are converted (a bitmap up to 2 megapixels,\n"
    "                         else a JPEG)\n"
    "  --song FILE            a standard MIDI file, played in a loop\n"
    "  --type N               piece size: 1 = 96, 2 = 80, 3 = 64, 4 = 48 pixels (default 1)\n"
    "  --arrange N            1 lays the pieces out in rows; otherwise they are scattered\n"
    "  --zoom N               scale of the picture in percent, above 0 (default 100)\n"
    "  --color #RRGGBB        board colour, also as 0xBBGGRR (default #008080)\n"
    "  --message TEXT         shown once at start: at most 254 characters of any language\n"
    "                         (older players show letters beyond Western European ones as\n"
    "                         their base letter or \"?\")\n"
    "  --keep-orientation     pack a JPEG as stored, ignoring its Exif orientation\n"
    "  --keep-metadata        keep a photo's Exif (GPS position, camera, dates), XMP, IPTC\n"
    "                         and comments, which are removed by default\n"
    "  --lossless             convert other formats to a bitmap whatever their size\n"
    "  --quality N            quality of the JPEGs this tool writes, 1 to 100 (default 95)\n"
    "  --max-size WxH         scale a larger picture down to fit in W x H pixels (default\n"
    "                         3840x2160); none keeps its size\n"
    "  --title TEXT           the loading window's title line\n"
    "  --picture-credit TEXT  who made the picture\n"
    "  --picture-link URL     the picture credit's web page (http or https)\n"
    "  --music-credit TEXT    who made the music\n"
    "  --music-link URL       the music credit's web page (http or https)\n"
    "  -o, --output OUTPUT    the puzzle to write (never one of the files it is made of)\n"
    "  --info FILE            print a puzzle's settings, credits and layout\n"
    "  --help                 print this help and exit\n"
    "  --version              print the version and exit\n"
    "\n"
    "Credit lines are plain UTF-8 text of at most 120 characters each.\n";

Result<std::int64_t, BadArguments> ParseInteger(const std::string& option, const std::string& text,
                                                std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (text.empty() || error != std::errc() || end != last || value < low || value > high) {
        return BadArguments{option + " takes a whole number from " + std::to_string(low) + " to " +
                            std::to_string(high) + ", not \"" + text + "\""};
    }
    return value;
}

// The types whose pieces the player can cut: it has edge strips for levels 1 to 4 only.
bool CanBeCut(const PuzzleShape& shape) {
    return shape.EdgeLevel >= 1 && shape.EdgeLevel <= 4;
}

Result<std::int8_t, BadArguments> ParseType(const std::string& text) {
    std::string choices;
    for (const PuzzleShape& shape : AcceptedShapes()) {
        if (!CanBeCut(shape)) {
            continue;
        }
        if (text == std::to_string(shape.Type)) {
            return static_cast<std::int8_t>(shape.Type);
        }
        choices += (choices.empty() ? "" : ", ") + std::to_string(shape.Type) + " (" +
                   std::to_string(shape.PieceSize) + " pixels)";
    }
    return BadArguments{"--type takes a piece size the player has: " + choices + "; not \"" + text +
                        "\""};
}

// A percentage above 0, with the range of the trailer's field.
Result<std::int64_t, BadArguments> ParseZoom(const std::string& text) {
    const auto zoom = ParseInteger("--zoom", text, INT32_MIN, INT32_MAX);
    if (zoom && *zoom <= 0) {
        return BadArguments{"--zoom is a percentage above 0 (100 shows the picture as it is), "
                            "not \"" +
                            text + "\""};
    }
    return zoom;
}

// "#RRGGBB" as people write colours, or the stored 0xBBGGRR; the trailer holds 0x00BBGGRR.
Result<TColor, BadArguments> ParseColor(const std::string& text) {
    if (text.size() == 7 && text[0] == '#') {
        std::uint32_t rgb = 0;
        const auto [end, error] = std::from_chars(text.data() + 1, text.data() + 7, rgb, 16);
        if (error == std::errc() && end == text.data() + 7) {
            return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16;
        }
    }
    const auto color = ParseInteger("--color", text, 0, 0xFFFFFFFF);
    if (!color) {
        return BadArguments{"--color takes #RRGGBB (such as #008080) or 0xBBGGRR, not \"" + text +
                            "\""};
    }
    return static_cast<TColor>(*color);
}

// "WxH" with both sides from 1 to the player's largest side, or "none".
ArgumentsCheck ParseMaxSize(const std::string& text, PictureSettings& picturing) {
    if (text == "none") {
        picturing.MaxWidth.reset();
        picturing.MaxHeight.reset();
        return {};
    }
    const auto x = text.find_first_of("xX");
    const BadArguments problem{
        "--max-size takes WIDTHxHEIGHT, each from 1 to 16384, or none, not \"" + text + "\""};
    if (x == std::string::npos) {
        return problem;
    }
    const auto width = ParseInteger("--max-size", text.substr(0, x), 1, 16384);
    const auto height = ParseInteger("--max-size", text.substr(x + 1), 1, 16384);
    if (!width || !height) {
        return problem;
    }
    picturing.MaxWidth = static_cast<int>(*width);
    picturing.MaxHeight = static_cast<int>(*height);
    return {};
}

// Stores a parsed value in `field`, or passes on why it could not be parsed.
template <typename T, typename Parsed>
ArgumentsCheck Store(T& field, const Result<Parsed, BadArguments>& parsed) {
    if (!parsed) {
        return parsed.Error();
    }
    field = static_cast<T>(*parsed);
    return {};
}

// Options that take no value; false when `option` is not one of them.
bool ParseFlag(const std::string& option, PackOptions& o) {
    if (option == "--help" || option == "-h") {
        o.Help = true;
    } else if (option == "--version") {
        o.Version = true;
    } else if (option == "--keep-orientation") {
        o.Picturing.KeepOrientation = true;
    } else if (option == "--keep-metadata") {
        o.Picturing.KeepMetadata = true;
    } else if (option == "--lean") {
        o.Lean = true;
    } else if (option == "--lossless") {
        o.Picturing.Lossless = true;
    } else {
        return false;
    }
    return true;
}

// Options that take a value; fails for a value they do not take and for an unknown option.
ArgumentsCheck ParseValue(const std::string& option, const std::string& value, PackOptions& o) {
    if (option == "--player") {
        o.Player = value;
    } else if (option == "--picture") {
        o.Picture = value;
    } else if (option == "--song") {
        o.Song = value;
    } else if (option == "--type") {
        return Store(o.Trailer.PuzzleType, ParseType(value));
    } else if (option == "--arrange") {
        return Store(o.Trailer.ArrangeMode, ParseInteger(option, value, INT32_MIN, INT32_MAX));
    } else if (option == "--zoom") {
        return Store(o.Trailer.ZoomPercent, ParseZoom(value));
    } else if (option == "--color") {
        return Store(o.Trailer.BoardColor, ParseColor(value));
    } else if (option == "--message") {
        return SetStartMessage(o, value);
    } else if (option == "-o" || option == "--output") {
        o.Output = value;
    } else if (option == "--info") {
        o.Info = value;
    } else if (option == "--quality") {
        return Store(o.Picturing.Quality, ParseInteger(option, value, 1, 100));
    } else if (option == "--max-size") {
        return ParseMaxSize(value, o.Picturing);
    } else if (!o.Credits.SetByOption(option, value)) {
        return BadArguments{"unknown option \"" + option + "\""};
    }
    return {};
}

} // namespace

Result<std::string, BadArguments> EncodeMessage(const std::string& text) {
    if (const Result<void> fits = PackageCredits::CheckStartMessage(text); !fits) {
        const auto length = PackageCredits::MessageLength(text);
        PackProblem problem{length ? PackFault::MessageTooLong : PackFault::MessageNotText,
                            PackInput::Message};
        if (length) {
            problem.Value = static_cast<std::int64_t>(*length);
            problem.Limit = PackageCredits::MaxMessageLength;
        }
        return BadArguments{fits.Error().What, problem};
    }
    return Windows1252Rendering(text);
}

ArgumentsCheck SetStartMessage(PackOptions& o, const std::string& text) {
    const Result<std::string, BadArguments> encoded = EncodeMessage(text);
    if (!encoded) {
        return encoded.Error();
    }
    o.Trailer.StartMessage = *encoded;
    const bool exact = Windows1252ToUtf8(o.Trailer.StartMessage) == text;
    o.Credits.StartMessage = exact ? std::string() : text;
    return {};
}

std::vector<PuzzleShape> CuttableShapes() {
    std::vector<PuzzleShape> shapes;
    for (const PuzzleShape& shape : AcceptedShapes()) {
        if (CanBeCut(shape)) {
            shapes.push_back(shape);
        }
    }
    return shapes;
}

Result<PackOptions, BadArguments> ParsePackOptions(const std::vector<std::string>& args,
                                                   const DefaultPlayers& defaults) {
    PackOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (ParseFlag(option, o)) {
            continue;
        }
        if (option.rfind("-", 0) != 0) {
            return BadArguments{"unexpected \"" + option + "\""};
        }
        if (i + 1 >= args.size()) {
            return BadArguments{option + " needs a value"};
        }
        if (ArgumentsCheck parsed = ParseValue(option, args[++i], o); !parsed) {
            return parsed.Error();
        }
    }
    if (o.Player.empty()) {
        o.Player = o.Lean ? defaults.Lean : defaults.Portable;
    }
    if (o.Help || o.Version) {
        return o;
    }
    if (o.Info.empty() && (o.Picture.empty() || o.Output.empty())) {
        return BadArguments{"--picture and -o are required"};
    }
    if (const Result<void> checked = o.Credits.Check(); !checked) {
        return BadArguments{checked.Error().What};
    }
    return o;
}

std::string PackHelpText() {
    return std::string(Usage) + OptionHelp;
}
