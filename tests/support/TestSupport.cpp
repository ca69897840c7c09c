#include "support/TestSupport.h"

#include "base/WholeFile.h"
#include "package/PlayerFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder");
    }
    Folder = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
}

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value)
    : Name(name) {
    const char* old = std::getenv(name);
    HadValue = old != nullptr;
    OldValue = HadValue ? old : "";
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    if (HadValue) {
        setenv(Name.c_str(), OldValue.c_str(), 1);
    } else {
        unsetenv(Name.c_str());
    }
}

std::string CorpusFolder() {
    const std::string configured = TAVRIN_CORPUS_DIR;
    if (!configured.empty()) {
        return configured;
    }
    const char* fromEnvironment = std::getenv("TAVRIN_CORPUS_DIR");
    return fromEnvironment != nullptr ? fromEnvironment : "";
}

Bytes ReadBytes(const std::string& path) {
    Result<Bytes> read = ReadWholeFile(path);
    return read ? std::move(*read) : Bytes{};
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

std::string PlayerFile(const std::string& userFolder, std::string_view name) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(userFolder, ignored)) {
        if (entry.path().filename().string().starts_with(PlayerFolderPrefix)) {
            return (entry.path() / name).string();
        }
    }
    return (std::filesystem::path(userFolder) / "no-player-folder" / name).string();
}

Bytes PayloadOf(std::size_t size, const Bytes& prefix) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = i < prefix.size() ? prefix[i] : static_cast<std::uint8_t>(i * 7 + 3);
    }
    return bytes;
}

Bytes PlayablePicture() {
    return ReadBytes(TAVRIN_SOURCE_DIR "/resources/demo/winter-village.jpg");
}

Bytes BitmapOf(int width, int height) {
    const int row = (width * 3 + 3) / 4 * 4;
    Bytes bmp(54 + static_cast<std::size_t>(row * height), 0);
    const auto put = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, static_cast<std::uint32_t>(bmp.size()));
    put(10, 54);
    put(14, 40);
    put(18, static_cast<std::uint32_t>(width));
    put(22, static_cast<std::uint32_t>(height));
    put(26, 1 | 24 << 16); // one plane, 24 bits a pixel
    for (std::size_t at = 54; at < bmp.size(); ++at) {
        bmp[at] = static_cast<std::uint8_t>(at / 3 / 8 % 2 == 0 ? 0x60 : 0xC0);
    }
    return bmp;
}

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

} // namespace

CommandResult RunPackTool(const std::vector<std::string>& args) {
    const ScratchFolder output;
    std::string command = Quoted(TAVRIN_PACK);
    for (const std::string& a : args) {
        command += " " + Quoted(a);
    }
    command += " >" + Quoted(output.File("out")) + " 2>" + Quoted(output.File("err"));
    const int status = std::system(command.c_str());
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return {code, ReadText(output.File("out")), ReadText(output.File("err"))};
}

std::map<std::string, std::string> InfoFields(const std::string& package) {
    const CommandResult info = RunPackTool({"--info", package});
    EXPECT_EQ(info.ExitCode, 0) << info.Err;
    std::map<std::string, std::string> fields;
    std::istringstream lines(info.Out);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            fields[line.substr(0, colon)] = line.substr(colon + (colon + 1 < line.size() ? 2 : 1));
        }
    }
    return fields;
}

std::string MakePackage(const ScratchFolder& folder, const Bytes& player, const Bytes& picture,
                        const Bytes& song, const std::vector<std::string>& extra) {
    const bool bitmap = picture.size() >= 2 && picture[0] == 'B' && picture[1] == 'M';
    const std::string picturePath = folder.File(bitmap ? "picture.bmp" : "picture.jpg");
    WriteBytes(folder.File("player"), player);
    WriteBytes(picturePath, picture);
    std::vector<std::string> args = {"--player", folder.File("player"), "--picture", picturePath};
    if (!song.empty()) {
        WriteBytes(folder.File("song.mid"), song);
        args.insert(args.end(), {"--song", folder.File("song.mid")});
    }
    args.insert(args.end(), extra.begin(), extra.end());
    const std::string package = folder.File("package");
    args.insert(args.end(), {"-o", package});
    const CommandResult result = RunPackTool(args);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    return package;
}

std::string AssemblePackage(const ScratchFolder& folder, const Bytes& player, const Bytes& picture,
                            const Bytes& song, PackageTrailer trailer) {
    trailer.PictureSize = static_cast<std::int32_t>(picture.size());
    trailer.SongSize = static_cast<std::int32_t>(song.size());
    trailer.PictureIsBitmap = picture.size() >= 2 && picture[0] == 'B' && picture[1] == 'M';
    Bytes package = player;
    package.insert(package.end(), song.begin(), song.end());
    package.insert(package.end(), picture.begin(), picture.end());
    const auto encoded = trailer.Encode();
    package.insert(package.end(), encoded.begin(), encoded.end());
    const std::string path = folder.File("assembled");
    WriteBytes(path, package);
    std::filesystem::permissions(path, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    return path;
}

Bytes MidiSongOf(std::size_t size) {
    const Bytes note = {0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0};
    const Bytes end = {0x00, 0xFF, 0x2F, 0x00};
    constexpr std::size_t Fixed = 14 + 8;
    EXPECT_TRUE(size == Fixed + 12 || size >= Fixed + 12 + 4) << size;
    Bytes events = note;
    // Text events of 4 to 131 bytes (a one-byte length) fill what is left before the end.
    std::size_t left = size - Fixed - note.size() - end.size();
    while (left > 0) {
        const std::size_t take = left <= 131 ? left : std::min<std::size_t>(131, left - 4);
        events.insert(events.end(), {0x00, 0xFF, 0x01, static_cast<std::uint8_t>(take - 4)});
        events.insert(events.end(), take - 4, 't');
        left -= take;
    }
    events.insert(events.end(), end.begin(), end.end());
    Bytes song = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) {
        song.push_back(static_cast<std::uint8_t>(events.size() >> shift));
    }
    song.insert(song.end(), events.begin(), events.end());
    return song;
}
