#pragma once

#include "PlayGate.h"
#include "base/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the packing library found wrong with, or did to, the author's inputs, as data: what, for
// which input, and the limit. tavrin-pack words it for a terminal (with its option names), the
// maker for people (MakerWords).

// The input a problem concerns.
enum class PackInput { Picture, Song, Message, Credits, Output, Player, Nothing };

enum class PackFault {
    Unreadable,           // the file cannot be read
    PictureUnknownFormat, // no reader for it
    PictureHeic,          // a HEIC/HEIF photo, which is not read
    PictureDamaged,       // the decoder gave up; Detail: its words
    PictureTooLarge,      // Width x Height over Limit pixels a side or LimitPixels in all
    PictureNotEncoded,    // the JPEG encoder failed
    PictureNotDecoded,    // the player's decoder gives nothing for the packed picture
    PictureTooSmall,      // too few pieces; Play: the screens and the grid
    SongNotMidi,          // no "MThd" at the start
    SongNotPlayable,      // nothing left to play after the player's check
    MessageNotText,       // control characters other than line breaks, or not UTF-8
    MessageTooLong,       // Value characters, Limit fit
    CreditRefused,        // Detail: the credit line's option; the tool's words say why
    CreditCut,            // a warning; Detail: the line's option, Shown: what the window shows
    OutputIsAnInput,      // the output would replace an input (Input says which)
    TooLargeForPackage,   // more than a package can hold
    OutOfMemory,          //
    MetadataRemoved,      // a note; Names: what the packed photo leaves out
};

struct PackProblem {
    PackProblem() = default;
    PackProblem(PackFault fault, PackInput input, std::string path = {})
        : Fault(fault)
        , Input(input)
        , Path(std::move(path)) {}

    PackFault Fault = PackFault::Unreadable;
    PackInput Input = PackInput::Nothing;
    std::string Path;
    std::string Detail;
    std::string Shown;
    std::int64_t Value = 0;
    std::int64_t Limit = 0;
    std::int64_t LimitPixels = 0;
    int Width = 0;
    int Height = 0;
    std::vector<std::string> Names;
    std::optional<PlayProblem> Play;
};

// The gate's problem as the library reports it.
PackProblem ProblemOf(const PlayProblem& play, const std::string& picture, const std::string& song);

// Arguments the tool cannot work with, or inputs it refuses (the tool's exit status 2); the
// message says why, for the user.
struct BadArguments {
    explicit BadArguments(std::string message)
        : Message(std::move(message)) {}
    BadArguments(std::string message, PackProblem problem)
        : Message(std::move(message))
        , Problem(std::move(problem)) {}

    std::string Message;
    // The same as data, for inputs refused (not for the command line's own mistakes).
    std::optional<PackProblem> Problem;
};

// A step of packing that gives nothing but may refuse the arguments.
using ArgumentsCheck = Result<void, BadArguments>;
