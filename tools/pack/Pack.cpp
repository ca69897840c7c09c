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

PackProblem InputProblem(PackFault fault, PackInput input, const std::string& path) {
    PackProblem problem;
    problem.Fault = fault;
    problem.Input = input;
    problem.Path = path;
    return problem;
}

Bytes RequireFile(const std::string& what, PackInput input, const std::string& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) {
        throw BadArguments{"cannot read the " + what + " \"" + path + "\"",
                           InputProblem(PackFault::Unreadable, input, path)};
    }
    return *bytes;
}

Bytes RequirePlayer(const PackOptions& o) {
    auto bytes = ReadWholeFile(o.Player);
    if (!bytes) {
        throw BadArguments{"cannot read the player \"" + o.Player + "\"" +
                               (o.Lean ? "" : "; --lean packs the player alone"),
                           InputProblem(PackFault::Unreadable, PackInput::Player, o.Player)};
    }
    return *bytes;
}

// The puzzle replaces whatever -o names, so it must name none of the files it is made of.
void RefuseOutputOverAnInput(const PackOptions& o) {
    const auto output = IdentityOf(o.Output);
    if (!output) {
        return;
    }
    const std::tuple<const char*, PackInput, const std::string*> inputs[] = {
        {"picture", PackInput::Picture, &o.Picture},
        {"song", PackInput::Song, &o.Song},
        {"player", PackInput::Player, &o.Player}};
    for (const auto& [what, input, path] : inputs) {
        if (!path->empty() && IdentityOf(*path) == output) {
            throw BadArguments{"-o \"" + o.Output + "\" is the " + what + " \"" + *path +
                                   "\"; the puzzle would replace it: choose another name",
                               InputProblem(PackFault::OutputIsAnInput, input, o.Output)};
        }
    }
}

// The player cleans a song before playing it and says "Cannot open the song" when nothing is
// left: such a song is refused here, by the player's own check, before any picture work.
void CheckSong(const Bytes& song, const std::string& path) {
    if (const auto fault = SongFault(song)) {
        PlayProblem problem;
        problem.Fault = *fault;
        throw BadArguments{PlayProblemText(problem, {}, path), ProblemOf(problem, {}, path)};
    }
}

// The gate on the parts as they will be packed: what fails for every recipient is refused, what
// fails on some screens is a warning.
void CheckPlayableForEveryone(const PackOptions& o, const Bytes& picture, const Bytes& song,
                              PackOutcome& outcome) {
    outcome.Problems = CheckPlayable({picture, song, o.Trailer});
    for (const PlayProblem& problem : outcome.Problems) {
        const std::string text = PlayProblemText(problem, o.Picture, o.Song);
        if (problem.OnEveryScreen) {
            throw BadArguments{text, ProblemOf(problem, o.Picture, o.Song)};
        }
        outcome.Warnings.push_back(text);
        outcome.Remarks.push_back(ProblemOf(problem, o.Picture, o.Song));
    }
}

// Lines the loading window would cut: a warning with what it shows.
void WarnOfLongCredits(const PackageCredits& credits, PackOutcome& outcome) {
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
            outcome.Warnings.push_back(std::string("warning: ") + option +
                                       " is too long for the loading window, which shows only \"" +
                                       visible + "\"");
            PackProblem cut = InputProblem(PackFault::CreditCut, PackInput::Credits, {});
            cut.Detail = option;
            cut.Shown = visible;
            outcome.Remarks.push_back(cut);
        }
    }
}

std::int32_t PayloadSize(const Bytes& payload, const std::string& what) {
    if (payload.size() > static_cast<std::size_t>(INT32_MAX)) {
        throw BadArguments{"the " + what + " is larger than a package can hold",
                           InputProblem(PackFault::TooLargeForPackage, PackInput::Nothing, {})};
    }
    return static_cast<std::int32_t>(payload.size());
}

PackedPicture ConvertPicture(const PackOptions& o, const Bytes& file) {
    PictureResult<PackedPicture> packed = PreparePicture(file, o.Picture, o.Picturing);
    if (!packed) {
        throw BadArguments{packed.Error().Message, packed.Error().Problem};
    }
    return std::move(*packed);
}

void ReportPicture(const PackedPicture& packed, const std::string& path, PackOutcome& outcome) {
    if (!packed.Note.empty()) {
        outcome.Notes.push_back("picture " + packed.Note);
    }
    if (!packed.RemovedMetadata.empty()) {
        PackProblem removed = InputProblem(PackFault::MetadataRemoved, PackInput::Picture, path);
        removed.Names = packed.RemovedMetadata;
        outcome.Remarks.push_back(removed);
        outcome.Notes.push_back("removed from the picture: " + JoinedNames(packed.RemovedMetadata) +
                                " (--keep-metadata keeps them)");
    }
}

// The credit block, when there is one, ends where the song begins: the player finds the song and
// the picture from the end of the file, so they lie where they would without it.
void Pack(const PackOptions& given, PackOutcome& outcome) {
    PackOptions o = given;
    if (o.Picture.empty() || o.Output.empty()) {
        throw BadArguments{"--picture and -o are required"};
    }
    if (std::string problem = o.Credits.Problem(); !problem.empty()) {
        PackProblem refused = InputProblem(PackFault::CreditRefused, PackInput::Credits, {});
        refused.Detail = problem.substr(0, problem.find(' '));
        throw BadArguments{problem, refused};
    }
    RefuseOutputOverAnInput(o);
    const Bytes file = RequireFile("picture", PackInput::Picture, o.Picture);
    const Bytes song = o.Song.empty() ? Bytes{} : RequireFile("song", PackInput::Song, o.Song);
    const Bytes player = RequirePlayer(o);
    if (!o.Song.empty()) {
        CheckSong(song, o.Song);
    }
    WarnOfLongCredits(o.Credits, outcome);
    const PackedPicture packed = ConvertPicture(o, file);
    ReportPicture(packed, o.Picture, outcome);
    o.Trailer.PictureIsBitmap = packed.IsBitmap ? 1 : 0;
    o.Trailer.PictureSize = PayloadSize(packed.File, "picture");
    o.Trailer.SongSize = PayloadSize(song, "song");
    CheckPlayableForEveryone(o, packed.File, song, outcome);
    const auto trailer = o.Trailer.Encode();
    const Bytes credits = o.Credits.IsEmpty() ? Bytes{} : o.Credits.EncodeBlock();
    const Result<void> written =
        ReplaceWithExecutable(o.Output, {player, credits, song, packed.File, trailer});
    if (!written) {
        outcome.Failure = written.Error().What;
    }
}

int PackAndSay(const PackOptions& o, std::ostream& out, std::ostream& err) {
    const PackOutcome outcome = WritePuzzle(o);
    for (const std::string& warning : outcome.Warnings) {
        err << "tavrin-pack: " << warning << "\n";
    }
    for (const std::string& note : outcome.Notes) {
        out << "tavrin-pack: " << note << "\n";
    }
    if (!outcome.Refusal.empty()) {
        throw BadArguments{outcome.Refusal};
    }
    if (!outcome.Failure.empty()) {
        err << "tavrin-pack: " << outcome.Failure << "\n";
        return ExitFailed;
    }
    return 0;
}

} // namespace

std::optional<BadArguments> SongProblem(const std::string& path) {
    try {
        CheckSong(RequireFile("song", PackInput::Song, path), path);
    } catch (const BadArguments& bad) {
        return bad;
    }
    return std::nullopt;
}

std::optional<BadArguments> PictureProblem(const std::string& path,
                                           const PictureSettings& settings) {
    try {
        PackOptions o;
        o.Picture = path;
        o.Picturing = settings;
        ConvertPicture(o, RequireFile("picture", PackInput::Picture, path));
    } catch (const BadArguments& bad) {
        return bad;
    } catch (const std::bad_alloc&) {
        return BadArguments{"there is not enough memory to convert the picture \"" + path + "\"",
                            InputProblem(PackFault::OutOfMemory, PackInput::Picture, path)};
    }
    return std::nullopt;
}

PackOutcome WritePuzzle(const PackOptions& choices) {
    PackOutcome outcome;
    try {
        Pack(choices, outcome);
    } catch (const BadArguments& bad) {
        outcome.Refusal = bad.Message;
        outcome.Refused = bad.Problem;
    } catch (const std::bad_alloc&) {
        outcome.Failure = "there is not enough memory to make the puzzle";
        outcome.Refused = InputProblem(PackFault::OutOfMemory, PackInput::Nothing, {});
    }
    return outcome;
}

int RunPack(const std::vector<std::string>& args, const DefaultPlayers& defaults, std::ostream& out,
            std::ostream& err) {
    try {
        const PackOptions o = ParsePackOptions(args, defaults);
        if (o.Help) {
            out << PackHelpText();
            return 0;
        }
        if (o.Version) {
            out << "tavrin-pack (Tavrin) " << TavrinVersion << "\n";
            return 0;
        }
        return o.Info.empty() ? PackAndSay(o, out, err) : PrintPackageInfo(o.Info, out, err);
    } catch (const BadArguments& bad) {
        err << "tavrin-pack: " << bad.Message << "\n"
            << "See \"tavrin-pack --help\" for the options.\n";
        return ExitBadArguments;
    }
}
