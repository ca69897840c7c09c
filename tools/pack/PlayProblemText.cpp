#include "PlayProblemText.h"

#include "PackOptions.h"
#include "PackProblem.h"

#include <algorithm>

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string SizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// "1 row", "2 rows".
std::string Counted(int count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// What the player made of the picture where it fails: the size it shows it at and the grid.
std::string FitText(const PlayProblem& p) {
    const PuzzleLayout& layout = p.Layout;
    return "the player shows the " + SizeText(p.PictureWidth, p.PictureHeight) + " picture at " +
           SizeText(layout.Fit.Width, layout.Fit.Height) + " pixels (zoom " +
           std::to_string(layout.Fit.ZoomPercent) + " %), a grid of " +
           Counted(std::max(layout.Cells.Cols, 0), "column") + " and " +
           Counted(std::max(layout.Cells.Rows, 0), "row") + " of " +
           std::to_string(p.Shape.PieceSize) + "-pixel pieces, too few to play";
}

// The settings that might give more pieces: a larger zoom when the package's is below 100,
// smaller pieces when there are any, a larger picture.
std::string Remedies(const PlayProblem& p) {
    std::vector<std::string> tries;
    if (!p.Layout.Fit.ZoomedOut && p.Layout.Fit.ZoomPercent < 100) {
        tries.push_back("a larger --zoom");
    }
    const auto shapes = CuttableShapes();
    if (std::any_of(shapes.begin(), shapes.end(),
                    [&](const PuzzleShape& s) { return s.PieceSize < p.Shape.PieceSize; })) {
        tries.push_back("a smaller --type");
    }
    tries.push_back("a larger picture");
    std::string text = "; try ";
    for (std::size_t i = 0; i < tries.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == tries.size() ? " or " : ", ") + tries[i];
    }
    return text;
}

const char* const TooSmallWords = "\"Cannot create puzzle because the image is too small.\"";

std::string TooSmallText(const PlayProblem& p, const std::string& picturePath) {
    const RecipientScreen& largest = p.Screens.back();
    if (p.OnEveryScreen) {
        return "the picture " + Quoted(picturePath) + " makes no puzzle on any screen: even on a " +
               SizeText(largest.Width, largest.Height) + " screen " + FitText(p) +
               "; every recipient would see " + TooSmallWords + Remedies(p);
    }
    return "warning: the picture " + Quoted(picturePath) + " makes no puzzle on screens of " +
           ScreenList(p.Screens) + ": on " + SizeText(largest.Width, largest.Height) + " " +
           FitText(p) + "; recipients with such screens would see " + TooSmallWords;
}

} // namespace

std::string PlayProblemText(const PlayProblem& problem, const std::string& picturePath,
                            const std::string& songPath) {
    switch (problem.Fault) {
    case PlayFault::PictureNotDecoded:
        return "the player cannot decode the picture " + Quoted(picturePath) +
               " as it would be packed: it is damaged, cut short or of a kind the player does "
               "not read; every recipient would see \"Unable to open ...\"";
    case PlayFault::SongNotMidi:
        return "the song " + Quoted(songPath) + " is not a standard MIDI file (no \"MThd\")";
    case PlayFault::SongNotPlayable:
        return "the song " + Quoted(songPath) +
               " cannot be played: its MIDI header or tracks are damaged, or it holds no note";
    case PlayFault::TooSmallToCut:
        return TooSmallText(problem, picturePath);
    }
    return {};
}

PackProblem ProblemOf(const PlayProblem& play, const std::string& picture,
                      const std::string& song) {
    PackProblem problem;
    const bool isSong =
        play.Fault == PlayFault::SongNotMidi || play.Fault == PlayFault::SongNotPlayable;
    problem.Input = isSong ? PackInput::Song : PackInput::Picture;
    problem.Path = isSong ? song : picture;
    switch (play.Fault) {
    case PlayFault::PictureNotDecoded:
        problem.Fault = PackFault::PictureNotDecoded;
        break;
    case PlayFault::SongNotMidi:
        problem.Fault = PackFault::SongNotMidi;
        break;
    case PlayFault::SongNotPlayable:
        problem.Fault = PackFault::SongNotPlayable;
        break;
    case PlayFault::TooSmallToCut:
        problem.Fault = PackFault::PictureTooSmall;
        problem.Width = play.PictureWidth;
        problem.Height = play.PictureHeight;
        break;
    }
    problem.Play = play;
    return problem;
}

std::string ScreenList(const std::vector<RecipientScreen>& screens, const std::string& times) {
    std::string list;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        list += i == 0 ? "" : i + 1 == screens.size() ? " and " : ", ";
        list += std::to_string(screens[i].Width) + times + std::to_string(screens[i].Height);
    }
    return list;
}
