#include "support/TestSupport.h"

#include "package/PlayerFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
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
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
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
