#include "TarWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t BlockSize = 512;

std::string Field(const std::uint8_t* block, std::size_t at, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(block + at);
    return std::string(text, strnlen(text, size));
}

std::uint64_t Octal(const std::uint8_t* block, std::size_t at, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = at; i < at + size && block[i] >= '0' && block[i] <= '7'; ++i) {
        value = value * 8 + (block[i] - '0');
    }
    return value;
}

// The entry's name without a leading "./", or empty when it would leave the folder.
std::string SafeName(const std::string& raw) {
    std::string name = raw.starts_with("./") ? raw.substr(2) : raw;
    while (name.ends_with("/")) {
        name.pop_back();
    }
    if (name.empty() || name.starts_with("/") || name == ".." || name.starts_with("../") ||
        name.find("/../") != std::string::npos || name.ends_with("/..")) {
        return {};
    }
    return name;
}

} // namespace

TarWriter::~TarWriter() {
    if (FileFd >= 0) {
        close(FileFd);
    }
}

Result<void> TarWriter::Header() {
    if (std::all_of(Block, Block + BlockSize, [](std::uint8_t b) { return b == 0; })) {
        End = true;
        return {};
    }
    const std::string prefix = Field(Block, 345, 155);
    const std::string raw = (prefix.empty() ? "" : prefix + "/") + Field(Block, 0, 100);
    const char type = static_cast<char>(Block[156]);
    const std::uint64_t size = Octal(Block, 124, 12);
    const std::string name = SafeName(raw);
    if (raw == "." || raw == "./") {
        return {};
    }
    if (name.empty()) {
        return Failure{"the bundle names a file outside its folder: " + raw};
    }
    if (type == '5') {
        return mkdirat(FolderFd, name.c_str(), 0700) == 0
                   ? Result<void>()
                   : Failure{"cannot make " + name + ": " + std::strerror(errno)};
    }
    if (type != '0' && type != '\0') {
        return Failure{"the bundle holds " + name + ", which is neither a file nor a folder"};
    }
    const mode_t mode = (Octal(Block, 100, 8) & 0100) != 0 ? 0700 : 0600;
    FileFd =
        openat(FolderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (FileFd < 0) {
        return Failure{"cannot write " + name + ": " + std::strerror(errno)};
    }
    FileLeft = size;
    PaddingLeft = (BlockSize - size % BlockSize) % BlockSize;
    Written.push_back({name, size});
    return FileLeft == 0 ? CloseFile() : Result<void>();
}

// A full disk or a failing device may first show when the file is closed. The file's writing to
// the disk starts now, so that syncing all files at the end waits little.
Result<void> TarWriter::CloseFile() {
    const int fd = FileFd;
    FileFd = -1;
    sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    return close(fd) == 0
               ? Result<void>()
               : Failure{"cannot write " + Written.back().Name + ": " + std::strerror(errno)};
}

// Writes what belongs to the current file from the start of `bytes`, and skips its padding.
Result<void> TarWriter::Body(std::span<const std::uint8_t>& bytes) {
    if (FileLeft > 0) {
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(FileLeft, bytes.size()));
        for (std::size_t done = 0; done < take;) {
            const ssize_t n = write(FileFd, bytes.data() + done, take - done);
            if (n < 0 && errno != EINTR) {
                return Failure{std::string("cannot write a file of the bundle: ") +
                               std::strerror(errno)};
            }
            done += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        bytes = bytes.subspan(take);
        FileLeft -= take;
        return FileLeft == 0 ? CloseFile() : Result<void>();
    }
    const std::size_t skip =
        static_cast<std::size_t>(std::min<std::uint64_t>(PaddingLeft, bytes.size()));
    bytes = bytes.subspan(skip);
    PaddingLeft -= skip;
    return {};
}

Result<void> TarWriter::Add(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty() && !End) {
        if (FileLeft > 0 || PaddingLeft > 0) {
            if (Result<void> body = Body(bytes); !body) {
                return body;
            }
            continue;
        }
        const std::size_t take = std::min(bytes.size(), BlockSize - BlockFill);
        std::memcpy(Block + BlockFill, bytes.data(), take);
        BlockFill += take;
        bytes = bytes.subspan(take);
        if (BlockFill == BlockSize) {
            BlockFill = 0;
            if (Result<void> header = Header(); !header) {
                return header;
            }
        }
    }
    return {};
}
