#include "MakerSession.h"

#include "Pack.h"
#include "PlayGate.h"

#include <algorithm>
#include <cstdio>

MakerSession::MakerSession(DefaultPlayers players)
    : Screens(CommonScreens())
    , Players(std::move(players)) {}

std::string MakerSession::ScreenName(int width, int height, double scale) {
    char factor[16];
    std::snprintf(factor, sizeof factor, "%g", scale);
    return std::to_string(width) + " × " + std::to_string(height) + ", scale " + factor;
}

std::vector<MakerScreen> MakerSession::CommonScreens() {
    const RecipientScreen common[] = {{1366, 768, 1.0},
                                      {1920, 1080, 1.0},
                                      {2560, 1440, 1.0},
                                      {2560, 1600, 2.0},
                                      {3840, 2160, 2.0}};
    std::vector<MakerScreen> screens;
    for (const RecipientScreen& s : common) {
        screens.push_back({ScreenName(s.Width, s.Height, s.Scale), {s.Width, s.Height, s.Scale}});
    }
    return screens;
}

void MakerSession::ChooseSong(const std::string& path) {
    Choices.Song = path;
    Choices.SongRefused.reset();
    if (path.empty()) {
        return;
    }
    if (const ArgumentsCheck checked = CheckSongFile(path); !checked) {
        Choices.SongRefused = checked.Error().Problem.value_or(
            PackProblem{PackFault::Unreadable, PackInput::Song, path});
    }
}

std::vector<FieldProblem> MakerSession::Problems() const {
    std::vector<FieldProblem> problems;
    if (Choices.PhotoRefused) {
        problems.push_back({MakerField::Photo, *Choices.PhotoRefused, true});
    } else if (Choices.PhotoWidth > 0 && Choices.PhotoHeight > 0) {
        PackageTrailer trailer;
        trailer.PuzzleType = static_cast<std::int8_t>(Choices.Type);
        if (auto small = TooSmallOnScreens(Choices.PhotoWidth, Choices.PhotoHeight, trailer)) {
            const bool blocks = small->OnEveryScreen;
            problems.push_back(
                {MakerField::Photo, ::ProblemOf(*small, Choices.Photo, Choices.Song), blocks});
        }
    }
    if (Choices.SongRefused) {
        problems.push_back({MakerField::Song, *Choices.SongRefused, true});
    }
    if (const auto message = EncodeMessage(Choices.Message); !message) {
        const PackProblem notText{PackFault::MessageNotText, PackInput::Message};
        problems.push_back({MakerField::Message, message.Error().Problem.value_or(notText), true});
    }
    if (const Result<void> checked = Choices.Credits.Check(); !checked) {
        const std::string& text = checked.Error().What;
        PackProblem credit{PackFault::CreditRefused, PackInput::Credits};
        credit.Detail = text.substr(0, text.find(' '));
        problems.push_back({MakerField::Credits, credit, true});
    }
    return problems;
}

std::optional<FieldProblem> MakerSession::ProblemOf(MakerField field) const {
    std::optional<FieldProblem> found;
    for (const FieldProblem& p : Problems()) {
        if (p.Field == field && (!found || (p.Blocks && !found->Blocks))) {
            found = p;
        }
    }
    return found;
}

bool MakerSession::CanWrite() const {
    if (Choices.Photo.empty() || Choices.PhotoWidth <= 0) {
        return false;
    }
    const auto problems = Problems();
    return std::none_of(problems.begin(), problems.end(),
                        [](const FieldProblem& p) { return p.Blocks; });
}

const MakerScreen* MakerSession::ChosenScreen() const {
    return Screen < Screens.size() ? &Screens[Screen] : nullptr;
}

PuzzleLayout MakerSession::Layout() const {
    const MakerScreen* screen = ChosenScreen();
    if (screen == nullptr || Choices.PhotoRefused || Choices.PhotoWidth <= 0) {
        return {};
    }
    return LayOutOnScreen(Choices.PhotoWidth, Choices.PhotoHeight, screen->View,
                          PuzzleShape::ForType(Choices.Type), 100);
}

Result<PackOptions, BadArguments> MakerSession::WriteOptions(const std::string& output) const {
    PackOptions o;
    o.Lean = Choices.Lean;
    o.Player = o.Lean ? Players.Lean : Players.Portable;
    o.Picture = Choices.Photo;
    o.Song = Choices.Song;
    o.Output = output;
    o.Trailer.PuzzleType = static_cast<std::int8_t>(Choices.Type);
    o.Trailer.ArrangeMode = Choices.Arrange;
    o.Trailer.BoardColor = Choices.BoardColor;
    o.Credits = Choices.Credits;
    if (const ArgumentsCheck set = SetStartMessage(o, Choices.Message); !set) {
        return set.Error();
    }
    return o;
}
