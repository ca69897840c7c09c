#include "MakerWords.h"

#include "PackOptions.h"
#include "PlayProblemText.h"

#include <algorithm>

namespace {

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " × " + std::to_string(height);
}

// The form's name of a credit line, from the option the library names it by: "picture link".
std::string CreditName(const std::string& option) {
    std::string name = option.substr(std::min(option.find_first_not_of('-'), option.size()));
    std::replace(name.begin(), name.end(), '-', ' ');
    return name.empty() ? "credit" : name;
}

bool SmallerPiecesExist(const PlayProblem& play) {
    const auto shapes = CuttableShapes();
    return std::any_of(shapes.begin(), shapes.end(), [&](const PuzzleShape& shape) {
        return shape.PieceSize < play.Shape.PieceSize;
    });
}

std::string TooSmallWords(const PackProblem& p) {
    if (!p.Play) {
        return "This photo is too small to cut into pieces. Choose a larger photo.";
    }
    const PlayProblem& play = *p.Play;
    const std::string help = SmallerPiecesExist(play) ? "Choose a larger photo, or smaller pieces."
                                                      : "Choose a larger photo.";
    if (play.OnEveryScreen) {
        return "This photo (" + SizeText(play.PictureWidth, play.PictureHeight) +
               " pixels) is too small to cut into pieces on any screen. " + help;
    }
    return "Too small to cut on screens of " + ScreenList(play.Screens, " × ") +
           ": people with such screens would see an empty board. " + help;
}

std::string UnreadableWords(const PackProblem& p) {
    switch (p.Input) {
    case PackInput::Song:
        return "This song cannot be read: it may have been moved, or you may not open it.";
    case PackInput::Player:
        return "A part of the Puzzle Maker is missing: install Tavrin again.";
    default:
        return "This photo cannot be read: it may have been moved, or you may not open it.";
    }
}

std::string CreditWords(const PackProblem& p) {
    const std::string name = CreditName(p.Detail);
    if (name.find("link") != std::string::npos) {
        return "The " + name +
               " must be a web address starting with https:// or http://, "
               "without spaces.";
    }
    return "The " + name + " must be one line of text, at most " +
           std::to_string(PackageCredits::MaxLineLength) + " characters.";
}

std::string OutputWords(const PackProblem& p) {
    const std::string what = p.Input == PackInput::Song ? "song" : "photo";
    return "That name is the " + what +
           "'s own file, which the puzzle would replace. Choose another name.";
}

} // namespace

std::string MakerWords(const PackProblem& p) {
    switch (p.Fault) {
    case PackFault::Unreadable:
        return UnreadableWords(p);
    case PackFault::PictureUnknownFormat:
        return "This file is not a photo the maker can use. Choose a JPEG, PNG, BMP, GIF, WebP "
               "or TIFF picture.";
    case PackFault::PictureHeic:
        return "This is a HEIC photo, which puzzles cannot show. Open it in your photo app and "
               "save it as JPEG first, then choose that copy.";
    case PackFault::PictureDamaged:
        return "This photo is damaged or incomplete. Choose another copy of it.";
    case PackFault::PictureTooLarge:
        return "This photo (" + SizeText(p.Width, p.Height) +
               " pixels) is larger than a puzzle can hold, at most " + std::to_string(p.Limit) +
               " pixels a side. Make it smaller in your photo app, then choose that copy.";
    case PackFault::PictureNotEncoded:
        return "The photo could not be prepared for the puzzle. Try again, or choose another "
               "photo.";
    case PackFault::PictureNotDecoded:
        return "The puzzle could not show this photo. Open it in your photo app and save it as "
               "JPEG, then choose that copy.";
    case PackFault::PictureTooSmall:
        return TooSmallWords(p);
    case PackFault::SongNotMidi:
        return "This is not a MIDI song. Puzzles play MIDI songs only (.mid files); music such "
               "as MP3 cannot be used.";
    case PackFault::SongNotPlayable:
        return "This MIDI song is damaged or has no notes: the puzzle could not play it. Choose "
               "another song.";
    case PackFault::MessageNotText:
        return "The start message holds an invisible control character. Type it again, or "
               "paste it as plain text.";
    case PackFault::MessageTooLong:
        return "The start message is " + std::to_string(p.Value) + " characters long; at most " +
               std::to_string(p.Limit) + " fit.";
    case PackFault::CreditRefused:
        return CreditWords(p);
    case PackFault::CreditCut:
        return "The loading window shows only \"" + p.Shown + "\" of the " + CreditName(p.Detail) +
               ".";
    case PackFault::OutputIsAnInput:
        return OutputWords(p);
    case PackFault::TooLargeForPackage:
        return "The photo and song are too large for one puzzle. Choose smaller ones.";
    case PackFault::OutOfMemory:
        return "There is not enough memory to make the puzzle. Close other programs and try "
               "again.";
    case PackFault::MetadataRemoved:
        return "Hidden details of the photo, such as where and with which camera it was taken, "
               "are left out of the puzzle.";
    }
    return "The puzzle cannot be made.";
}
