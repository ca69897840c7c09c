#include "PlayGate.h"

#include "music/MidiSong.h"
#include "package/TempFolder.h"
#include "picture/PictureFile.h"

#include <algorithm>
#include <string>

namespace {

// Common sizes, with 4K and 8K at the 200 % that desktops choose for them.
constexpr RecipientScreen Screens[] = {
    {1024, 600, 1.0},  {1280, 720, 1.0},  {1280, 800, 1.0},  {1366, 768, 1.0},
    {1440, 900, 1.0},  {1600, 900, 1.0},  {1920, 1080, 1.0}, {2560, 1440, 1.0},
    {3840, 2160, 1.0}, {3840, 2160, 2.0}, {7680, 4320, 2.0},
};

PlayProblem EverywhereProblem(PlayFault fault) {
    const auto all = RecipientScreens();
    return {fault, {all.begin(), all.end()}, true, 0, 0, {}, {}};
}

} // namespace

std::optional<PlayProblem> TooSmallOnScreens(int width, int height, const PackageTrailer& t) {
    PlayProblem problem{PlayFault::TooSmallToCut, {}, false, width, height, {}, {}};
    problem.Shape = PuzzleShape::ForType(t.PuzzleType);
    for (const RecipientScreen& screen : RecipientScreens()) {
        const PuzzleLayout layout =
            LayOutOnScreen(width, height, {screen.Width, screen.Height, screen.Scale},
                           problem.Shape, t.ZoomPercent);
        if (layout.PieceCount() == 0) {
            problem.Screens.push_back(screen);
            problem.Layout = layout;
        }
    }
    if (problem.Screens.empty()) {
        return std::nullopt;
    }
    problem.OnEveryScreen = problem.Screens.size() == RecipientScreens().size();
    return problem;
}

std::span<const RecipientScreen> RecipientScreens() {
    return Screens;
}

std::optional<PlayFault> SongFault(std::span<const std::uint8_t> song) {
    const std::uint8_t header[] = {'M', 'T', 'h', 'd'};
    if (song.size() < 4 || !std::equal(header, header + 4, song.begin())) {
        return PlayFault::SongNotMidi;
    }
    if (!PlayableMidiSong(song)) {
        return PlayFault::SongNotPlayable;
    }
    return std::nullopt;
}

std::vector<PlayProblem> CheckPlayable(const PuzzleParts& parts) {
    std::vector<PlayProblem> problems;
    if (!parts.Song.empty()) {
        if (const auto fault = SongFault(parts.Song)) {
            problems.push_back(EverywhereProblem(*fault));
        }
    }
    // The player names the picture it extracts by the trailer's kind, and decodes it by name.
    const std::string name(parts.Trailer.PictureIsBitmap != 0 ? TempPictureBitmapName
                                                              : TempPictureJpegName);
    const std::optional<Bitmap> picture = DecodePictureFile(parts.Picture, name);
    if (!picture) {
        problems.push_back(EverywhereProblem(PlayFault::PictureNotDecoded));
    } else if (auto small = TooSmallOnScreens(picture->Width(), picture->Height(), parts.Trailer)) {
        problems.push_back(std::move(*small));
    }
    return problems;
}

bool FailsForEveryone(const std::vector<PlayProblem>& problems) {
    return std::any_of(problems.begin(), problems.end(),
                       [](const PlayProblem& p) { return p.OnEveryScreen; });
}
