#pragma once

#include "package/PackageTrailer.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return Folder; }
    std::string File(const std::string& name) const { return Folder + "/" + name; }

private:
    std::string Folder;
};

// Sets an environment variable for the life of the object (unset when `value` is null).
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string Name;
    bool HadValue;
    std::string OldValue;
};

// The folder of test corpora made by others: the build's TAVRIN_CORPUS_DIR, else the
// environment variable of that name; empty when neither is set.
std::string CorpusFolder();

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);

// The file `name` in the folder of the one player running with `userFolder` as its temporary
// folder; a path that does not exist when there is no such folder.
std::string PlayerFile(const std::string& userFolder, std::string_view name);

// `size` bytes starting with `prefix`, the rest a repeating pattern.
Bytes PayloadOf(std::size_t size, const Bytes& prefix);

struct CommandResult {
    int ExitCode;
    std::string Out;
    std::string Err;
};

// Runs tavrin-pack with the arguments and collects its output.
CommandResult RunPackTool(const std::vector<std::string>& args);

// The "name: value" lines that `tavrin-pack --info` prints for a package.
std::map<std::string, std::string> InfoFields(const std::string& package);

// Writes player, song and picture files into `folder` and packs them with tavrin-pack; returns
// the package's path. Extra arguments go to tavrin-pack as they are.
std::string MakePackage(const ScratchFolder& folder, const Bytes& player, const Bytes& picture,
                        const Bytes& song, const std::vector<std::string>& extra = {});

// A package written by hand as the player reads it (player, song, picture, trailer with the
// sizes filled in), for packages tavrin-pack refuses to make: a type or song the player cannot
// use, to test how the player copes. Returns its path.
std::string AssemblePackage(const ScratchFolder& folder, const Bytes& player, const Bytes& picture,
                            const Bytes& song, PackageTrailer trailer);

// A standard MIDI file of exactly `size` bytes (34, or 38 and more) that the player plays: one
// note, then text events filling the rest.
Bytes MidiSongOf(std::size_t size);

// A picture every recipient can play, which the tool packs as it is: the demo's 800 x 600 JPEG
// of 96883 bytes.
Bytes PlayablePicture();

// A 24-bit Windows bitmap of width x height pixels in stripes of grey.
Bytes BitmapOf(int width, int height);

// A small valid baseline JPEG header start and a BMP start, for payload tests.
inline const Bytes JpegStart = {0xFF, 0xD8, 0xFF, 0xE0};
inline const Bytes MidiStart = {'M', 'T', 'h', 'd'};
inline const Bytes BitmapStart = {'B', 'M'};
