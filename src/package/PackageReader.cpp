#include "package/PackageReader.h"

#include "package/TempFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path)
        : Fd(path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~ReadOnlyFile() {
        if (Fd >= 0) {
            close(Fd);
        }
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return Fd >= 0; }

    std::int64_t Length() const {
        struct stat info {};
        return fstat(Fd, &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : -1;
    }

    // Reads up to `size` bytes at `offset`; a file that ends early gives fewer. Empty on an error.
    std::optional<std::vector<std::uint8_t>> ReadAt(std::int64_t offset, std::size_t size) const {
        std::vector<std::uint8_t> bytes(size);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = pread(Fd, bytes.data() + done, size - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return std::nullopt;
            }
            if (n == 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);
        return bytes;
    }

private:
    int Fd;
};

constexpr std::int64_t TrailerSize = PackageTrailer::Size;

// Where a payload of `size` bytes starts when `before` bytes lie between its end and the end of
// the file; empty when the size is negative or the payload would start before the file does.
std::optional<std::int64_t> PayloadOffset(std::int64_t fileLength, std::int64_t before,
                                          std::int32_t size) {
    const std::int64_t start = fileLength - before - size;
    if (size < 0 || start < 0) {
        return std::nullopt;
    }
    return start;
}

// Reads one payload, or sets the failure when its place lies outside the file or it cannot be
// read.
std::vector<std::uint8_t> ReadPayload(const ReadOnlyFile& file, std::optional<std::int64_t> offset,
                                      std::int32_t size, PackageFailure readFailure,
                                      PackagePayloads& result) {
    auto bytes = offset ? file.ReadAt(*offset, static_cast<std::size_t>(size)) : std::nullopt;
    if (!bytes) {
        result.Failure = readFailure;
        return {};
    }
    return std::move(*bytes);
}

// Writes one payload to `name` in `folder`; sets the failure and returns an empty path when it
// cannot.
std::string WritePayload(const std::vector<std::uint8_t>& bytes, const std::string& folder,
                         std::string_view name, ExtractedPackage& result) {
    const std::string path = TempFilePath(folder, name);
    if (std::string error = WritePrivateFile(path, bytes); !error.empty()) {
        result.Failure = PackageFailure::TempFileFailed;
        result.FailureDetail = std::move(error);
        return {};
    }
    return path;
}

std::optional<PackageTrailer> ReadTrailer(const ReadOnlyFile& file, std::int64_t length) {
    if (length < TrailerSize) {
        return std::nullopt;
    }
    const auto bytes = file.ReadAt(length - TrailerSize, PackageTrailer::Size);
    if (!bytes || bytes->size() != PackageTrailer::Size) {
        return std::nullopt;
    }
    return PackageTrailer::Decode(std::span<const std::uint8_t, PackageTrailer::Size>(*bytes));
}

// The credit block, and the message block before it, end where the song begins; a package
// without one, or with a damaged one, simply has no credits.
std::optional<PackageCredits> ReadCredits(const ReadOnlyFile& file, std::int64_t length,
                                          const PackageTrailer& trailer) {
    if (trailer.PictureSize < 0 || trailer.SongSize < 0) {
        return std::nullopt;
    }
    const std::int64_t songStart = length - TrailerSize - trailer.PictureSize - trailer.SongSize;
    const auto span = std::min<std::int64_t>(songStart, PackageCredits::MaxBlocksSize);
    if (span < static_cast<std::int64_t>(PackageCredits::FooterSize)) {
        return std::nullopt;
    }
    const auto bytes = file.ReadAt(songStart - span, static_cast<std::size_t>(span));
    return bytes ? PackageCredits::DecodeBlock(*bytes) : std::nullopt;
}

} // namespace

PackagePayloads ReadPackageFile(const std::string& executablePath) {
    PackagePayloads result;
    const ReadOnlyFile file(executablePath);
    const std::int64_t length = file.IsOpen() ? file.Length() : -1;
    if (length < 0) {
        result.Failure = PackageFailure::CannotOpen;
        return result;
    }
    result.Trailer = ReadTrailer(file, length);
    if (!result.Trailer) {
        result.Failure = PackageFailure::PictureUnreadable;
        return result;
    }
    const PackageTrailer& trailer = *result.Trailer;
    result.Credits = ReadCredits(file, length, trailer);
    result.Picture = ReadPayload(file, PayloadOffset(length, TrailerSize, trailer.PictureSize),
                                 trailer.PictureSize, PackageFailure::PictureUnreadable, result);
    if (result.Failure != PackageFailure::None || trailer.SongSize == 0) {
        return result;
    }
    const auto songOffset =
        trailer.PictureSize < 0
            ? std::nullopt
            : PayloadOffset(length, TrailerSize + trailer.PictureSize, trailer.SongSize);
    result.Song =
        ReadPayload(file, songOffset, trailer.SongSize, PackageFailure::SongUnreadable, result);
    return result;
}

ExtractedPackage WritePayloads(const PackagePayloads& read, const std::string& folder) {
    ExtractedPackage result{read.Trailer, read.Credits, {}, {}, read.Failure, {}};
    if (!read.PictureRead()) {
        return result;
    }
    result.Failure = PackageFailure::None;
    result.PicturePath =
        WritePayload(read.Picture, folder,
                     read.IsBitmap() ? TempPictureBitmapName : TempPictureJpegName, result);
    if (!result.Ok()) {
        return result;
    }
    if (read.Failure == PackageFailure::SongUnreadable) {
        result.Failure = read.Failure;
    } else if (read.Trailer->SongSize != 0) {
        result.SongPath = WritePayload(read.Song, folder, TempSongName, result);
    }
    return result;
}

ExtractedPackage ExtractPackage(const std::string& executablePath, const std::string& folder) {
    return WritePayloads(ReadPackageFile(executablePath), folder);
}

std::string FailureMessage(PackageFailure failure) {
    switch (failure) {
    case PackageFailure::CannotOpen:
        return "Cannot read the image. Please contact your vendor.";
    case PackageFailure::PictureUnreadable:
        return "Cannot read the image because the exe file could be corrupted.";
    case PackageFailure::SongUnreadable:
        return "Cannot read the image because the midi file could be corrupted.";
    case PackageFailure::None:
    case PackageFailure::TempFileFailed:
        break;
    }
    return {};
}
