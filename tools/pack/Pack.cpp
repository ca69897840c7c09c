#include "Pack.h"

#include "CreditFit.h"
#include "FileIdentity.h"
#include "JpegMetadata.h"
#include "PackOptions.h"
#include "PackageInfo.h"
#include "PictureConversion.h"
#include "PlayGate.h"
#include "PlayProblemText.h"
#include "ReplaceFile.h"
#include "Version.h"
#include "base/WholeFile.h"

#include <cstdint>
#include <new>
#include <optional>
#include <tuple>

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitBadArguments = 2;

using Bytes = std::vector<std::uint8_t>;

// `hint`, when given, follows the words, for the command line.
Result<Bytes, BadArguments> RequireFile(const std::string& what, PackInput input,
                                        const std::string& path, const std::string& hint = {}) {
    Result<Bytes> bytes = ReadWholeFile(path);
    if (!bytes) {
        return BadArguments{"cannot read the " + what + " \"" + path + "\"" + hint,
                            PackProblem{PackFault::Unreadable, input, path}};
    }
    return std::move(*bytes);
}

// The puzzle replaces whatever -o names, so it must name none of the files it is made of.
ArgumentsCheck RefuseOutputOverAnInput(const PackOptions& o) {
    const auto output = IdentityOf(o.Output);
    if (!output) {
        return {};
    }
    const std::tuple<const char*, PackInput, const std::string*> inputs[] = {
        {"picture", PackInput::Picture, &o.Picture},
        {"song", PackInput::Song, &o.Song},
        {"player", PackInput::Player, &o.Player}};
    for (const auto& [what, input, path] : inputs) {
        if (!path->empty() && IdentityOf(*path) == output) {
            return BadArguments{"-o \"" + o.Output + "\" is the " + what + " \"" + *path +
                                    "\"; the puzzle would replace it: choose another name",
                                PackProblem{PackFault::OutputIsAnInput, input, o.Output}};
        }
    }
    return {};
}

// What the choices refuse before any file is read: missing names, credits that cannot be
// stored, an output that would replace an input.
ArgumentsCheck RefuseChoices(const PackOptions& o) {
    if (o.Picture.empty() || o.Output.empty()) {
        return BadArguments{"--picture and -o are required"};
    }
    if (const Result<void> credits = o.Credits.Check(); !credits) {
        const std::string& problem = credits.Error().What;
        PackProblem refused{PackFault::CreditRefused, PackInput::Credits};
        refused.Detail = problem.substr(0, problem.find(' '));
        return BadArguments{problem, refused};
    }
    return RefuseOutputOverAnInput(o);
}

// The player cleans a song before playing it and says "Cannot open the song" when nothing is
// left: such a song is refused here, by the player's own check, before any picture work.
ArgumentsCheck CheckSong(const Bytes& song, const std::string& path) {
    if (const auto fault = SongFault(song)) {
        PlayProblem problem;
        problem.Fault = *fault;
        return BadArguments{PlayProblemText(problem, {}, path), ProblemOf(problem, {}, path)};
    }
    return {};
}

// The files a puzzle is made of: as read, then with the picture as it is packed.
struct Parts {
    Bytes Picture;
    Bytes Song; // empty when there is none
    Bytes Player;
};

// Reads the picture, the song and the player, in that order, and checks the song.
Result<Parts, BadArguments> ReadParts(const PackOptions& o) {
    Result<Bytes, BadArguments> picture = RequireFile("picture", PackInput::Picture, o.Picture);
    Result<Bytes, BadArguments> song =
        o.Song.empty() ? Bytes{} : RequireFile("song", PackInput::Song, o.Song);
    if (!picture || !song) {
        return picture ? song.Error() : picture.Error();
    }
    Result<Bytes, BadArguments> player = RequireFile(
        "player", PackInput::Player, o.Player, o.Lean ? "" : "; --lean packs the player alone");
    if (!player) {
        return player.Error();
    }
    const ArgumentsCheck playable = o.Song.empty() ? ArgumentsCheck() : CheckSong(*song, o.Song);
    if (!playable) {
        return playable.Error();
    }
    return Parts{std::move(*picture), std::move(*song), std::move(*player)};
}

// The gate on the parts as they will be packed: what fails for every recipient is refused, what
// fails on some screens is a warning.
ArgumentsCheck CheckPlayableForEveryone(const PackOptions& o, const Parts& parts,
                                        PackReport& report) {
    report.Problems = CheckPlayable({parts.Picture, parts.Song, o.Trailer});
    for (const PlayProblem& problem : report.Problems) {
        const std::string text = PlayProblemText(problem, o.Picture, o.Song);
        if (problem.OnEveryScreen) {
            return BadArguments{text, ProblemOf(problem, o.Picture, o.Song)};
        }
        report.Warnings.push_back(text);
        report.Remarks.push_back(ProblemOf(problem, o.Picture, o.Song));
    }
    return {};
}

// Lines the loading window would cut: a warning with what it shows.
void WarnOfLongCredits(const PackageCredits& credits, PackReport& report) {
    const std::pair<const char*, const std::string*> lines[] = {
        {"--title", &credits.Title},
        {"--picture-credit", &credits.PictureCredit},
        {"--picture-link", &credits.PictureLink},
        {"--music-credit", &credits.MusicCredit},
        {"--music-link", &credits.MusicLink}};
    for (const auto& [option, text] : lines) {
        if (text->empty()) {
            continue;
        }
        const std::string visible = VisibleCreditLine(*text);
        if (visible != *text) {
            report.Warnings.push_back(std::string("warning: ") + option +
                                      " is too long for the loading window, which shows only \"" +
                                      visible + "\"");
            PackProblem cut{PackFault::CreditCut, PackInput::Credits};
            cut.Detail = option;
            cut.Shown = visible;
            report.Remarks.push_back(cut);
        }
    }
}

// Sets the payload sizes in the trailer; refuses a payload larger than a package can hold.
ArgumentsCheck SetPayloadSizes(PackageTrailer& trailer, const Bytes& picture, const Bytes& song) {
    const std::pair<const Bytes*, const char*> payloads[] = {{&picture, "picture"},
                                                             {&song, "song"}};
    for (const auto& [payload, what] : payloads) {
        if (payload->size() > static_cast<std::size_t>(INT32_MAX)) {
            return BadArguments{std::string("the ") + what + " is larger than a package can hold",
                                PackProblem{PackFault::TooLargeForPackage, PackInput::Nothing}};
        }
    }
    trailer.PictureSize = static_cast<std::int32_t>(picture.size());
    trailer.SongSize = static_cast<std::int32_t>(song.size());
    return {};
}

void ReportPicture(const PackedPicture& packed, const std::string& path, PackReport& report) {
    if (!packed.Note.empty()) {
        report.Notes.push_back("picture " + packed.Note);
    }
    if (!packed.RemovedMetadata.empty()) {
        PackProblem removed{PackFault::MetadataRemoved, PackInput::Picture, path};
        removed.Names = packed.RemovedMetadata;
        report.Remarks.push_back(removed);
        report.Notes.push_back("removed from the picture: " + JoinedNames(packed.RemovedMetadata) +
                               " (--keep-metadata keeps them)");
    }
}

// Everything before the write, refusing what the tool refuses in the order it says so: the
// parts read and checked, the picture converted, the trailer completed and the gate passed.
Result<Parts, BadArguments> PrepareParts(PackOptions& o, PackReport& report) {
    if (ArgumentsCheck refused = RefuseChoices(o); !refused) {
        return refused.Error();
    }
    Result<Parts, BadArguments> parts = ReadParts(o);
    if (!parts) {
        return parts;
    }
    WarnOfLongCredits(o.Credits, report);
    PictureResult<PackedPicture> packed = PreparePicture(parts->Picture, o.Picture, o.Picturing);
    if (!packed) {
        return packed.Error();
    }
    ReportPicture(*packed, o.Picture, report);
    o.Trailer.PictureIsBitmap = packed->IsBitmap ? 1 : 0;
    parts->Picture = std::move(packed->File);
    if (ArgumentsCheck sized = SetPayloadSizes(o.Trailer, parts->Picture, parts->Song); !sized) {
        return sized.Error();
    }
    if (ArgumentsCheck playable = CheckPlayableForEveryone(o, *parts, report); !playable) {
        return playable.Error();
    }
    return parts;
}

// The credit block, when there is one, ends where the song begins: the player finds the song and
// the picture from the end of the file, so they lie where they would without it.
Result<void> WriteParts(const PackOptions& o, const Parts& parts) {
    const Bytes credits = o.Credits.IsEmpty() ? Bytes{} : o.Credits.EncodeBlock();
    return ReplaceWithExecutable(
        o.Output, {parts.Player, credits, parts.Song, parts.Picture, o.Trailer.Encode()});
}

// The two lines of a refusal, and its exit status.
int SayBadArguments(const std::string& message, std::ostream& err) {
    err << "tavrin-pack: " << message << "\n"
        << "See \"tavrin-pack --help\" for the options.\n";
    return ExitBadArguments;
}

int PackAndSay(const PackOptions& o, std::ostream& out, std::ostream& err) {
    const PackResult written = WritePuzzle(o);
    const PackReport& report = written ? *written : written.Error().Report;
    for (const std::string& warning : report.Warnings) {
        err << "tavrin-pack: " << warning << "\n";
    }
    for (const std::string& note : report.Notes) {
        out << "tavrin-pack: " << note << "\n";
    }
    if (written) {
        return 0;
    }
    if (written.Error().Refused) {
        return SayBadArguments(written.Error().What, err);
    }
    err << "tavrin-pack: " << written.Error().What << "\n";
    return ExitFailed;
}

} // namespace

ArgumentsCheck CheckSongFile(const std::string& path) {
    const Result<Bytes, BadArguments> song = RequireFile("song", PackInput::Song, path);
    return song ? CheckSong(*song, path) : song.Error();
}

ArgumentsCheck CheckPictureFile(const std::string& path, const PictureSettings& settings) {
    try {
        const Result<Bytes, BadArguments> file = RequireFile("picture", PackInput::Picture, path);
        if (!file) {
            return file.Error();
        }
        const PictureResult<PackedPicture> packed = PreparePicture(*file, path, settings);
        return packed ? ArgumentsCheck() : packed.Error();
    } catch (const std::bad_alloc&) {
        return BadArguments{"there is not enough memory to convert the picture \"" + path + "\"",
                            PackProblem{PackFault::OutOfMemory, PackInput::Picture, path}};
    }
}

PackResult WritePuzzle(const PackOptions& choices) {
    PackStop stop; // its report gathers the notes and warnings as they come
    try {
        PackOptions o = choices;
        const Result<Parts, BadArguments> parts = PrepareParts(o, stop.Report);
        if (!parts) {
            stop.Refused = true;
            stop.What = parts.Error().Message;
            stop.Problem = parts.Error().Problem;
            return stop;
        }
        const Result<void> written = WriteParts(o, *parts);
        if (written) {
            return std::move(stop.Report);
        }
        stop.What = written.Error().What;
    } catch (const std::bad_alloc&) {
        stop.What = "there is not enough memory to make the puzzle";
        stop.Problem = PackProblem{PackFault::OutOfMemory, PackInput::Nothing};
    }
    return stop;
}

int RunPack(const std::vector<std::string>& args, const DefaultPlayers& defaults, std::ostream& out,
            std::ostream& err) {
    const Result<PackOptions, BadArguments> parsed = ParsePackOptions(args, defaults);
    if (!parsed) {
        return SayBadArguments(parsed.Error().Message, err);
    }
    const PackOptions& o = *parsed;
    if (o.Help) {
        out << PackHelpText();
        return 0;
    }
    if (o.Version) {
        out << "tavrin-pack (Tavrin) " << TavrinVersion << "\n";
        return 0;
    }
    if (o.Info.empty()) {
        return PackAndSay(o, out, err);
    }
    const Result<int, BadArguments> shown = PrintPackageInfo(o.Info, out, err);
    return shown ? *shown : SayBadArguments(shown.Error().Message, err);
}
