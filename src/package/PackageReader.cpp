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

using Bytes = std::vector<std::uint8_t>;

// Reads one payload; `failure` when its place lies outside the file or it cannot be read.
Result<Bytes> ReadPayload(const ReadOnlyFile& file, std::optional<std::int64_t> offset,
                          std::int32_t size, const char* failure) {
    auto bytes = offset ? file.ReadAt(*offset, static_cast<std::size_t>(size)) : std::nullopt;
    if (!bytes) {
        return Failure{failure};
    }
    return std::move(*bytes);
}

// Writes one payload to `name` in `folder`; the path written, or why it could not be.
Result<std::string> WritePayload(const Bytes& bytes, const std::string& folder,
                                 std::string_view name) {
    std::string path = TempFilePath(folder, name);
    if (Result<void> written = WritePrivateFile(path, bytes); !written) {
        return written.Error();
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
        return result;
    }
    result.Trailer = ReadTrailer(file, length);
    if (!result.Trailer) {
        result.Picture = Failure{PictureUnreadableText};
        return result;
    }
    const PackageTrailer& trailer = *result.Trailer;
    result.Credits = ReadCredits(file, length, trailer);
    result.Picture = ReadPayload(file, PayloadOffset(length, TrailerSize, trailer.PictureSize),
                                 trailer.PictureSize, PictureUnreadableText);
    if (!result.Picture || trailer.SongSize == 0) {
        return result;
    }
    const auto songOffset =
        trailer.PictureSize < 0
            ? std::nullopt
            : PayloadOffset(length, TrailerSize + trailer.PictureSize, trailer.SongSize);
    result.Song = ReadPayload(file, songOffset, trailer.SongSize, SongUnreadableText);
    return result;
}

Result<void> PackagePayloads::Status() const {
    if (!Picture) {
        return Picture.Error();
    }
    if (!Song) {
        return Song.Error();
    }
    return {};
}

ExtractedPackage WritePayloads(const PackagePayloads& read, const std::string& folder) {
    ExtractedPackage result{read.Trailer, read.Credits, {}, {}, read.Status()};
    if (!read.Picture) {
        return result;
    }
    Result<std::string> picture = WritePayload(
        *read.Picture, folder, read.IsBitmap() ? TempPictureBitmapName : TempPictureJpegName);
    if (!picture) {
        result.Status = picture.Error();
        return result;
    }
    result.PicturePath = std::move(*picture);
    if (!read.Song || read.Trailer->SongSize == 0) {
        return result;
    }
    Result<std::string> song = WritePayload(*read.Song, folder, TempSongName);
    if (!song) {
        result.Status = song.Error();
        return result;
    }
    result.SongPath = std::move(*song);
    return result;
}
