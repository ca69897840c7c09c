#include "BundleUnpack.h"

#include "Sha256.h"
#include "TarWriter.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>
#include <zstd.h>

namespace {

// The bundle is compressed with --long=27: its window is at most 128 MiB.
constexpr int WindowLogMax = 27;
constexpr std::size_t ReadSize = 1 << 20;

struct StreamDeleter {
    void operator()(ZSTD_DStream* stream) const { ZSTD_freeDStream(stream); }
};

// Decompresses one piece of input, handing every output to the archive writer.
Result<void> Inflate(ZSTD_DStream* stream, ZSTD_inBuffer& in, std::vector<std::uint8_t>& out,
                     TarWriter& writer) {
    while (in.pos < in.size) {
        ZSTD_outBuffer output{out.data(), out.size(), 0};
        const std::size_t result = ZSTD_decompressStream(stream, &output, &in);
        if (ZSTD_isError(result)) {
            return Failure{std::string("the bundle cannot be decompressed (") +
                           ZSTD_getErrorName(result) + "): the puzzle is damaged"};
        }
        if (Result<void> added = writer.Add({out.data(), output.pos}); !added) {
            return added;
        }
    }
    return {};
}

} // namespace

Result<std::vector<WrittenFile>> UnpackBundle(int fileFd, std::uint64_t offset,
                                              const BundleHeader& header, int folderFd) {
    const std::unique_ptr<ZSTD_DStream, StreamDeleter> stream(ZSTD_createDStream());
    if (!stream ||
        ZSTD_isError(ZSTD_DCtx_setParameter(stream.get(), ZSTD_d_windowLogMax, WindowLogMax))) {
        return Failure{"cannot start the decompressor"};
    }
    std::vector<std::uint8_t> input(ReadSize);
    std::vector<std::uint8_t> output(ZSTD_DStreamOutSize());
    TarWriter writer(folderFd);
    Sha256 hash;
    for (std::uint64_t done = 0; done < header.BundleSize;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(ReadSize, header.BundleSize - done));
        const ssize_t n = pread(fileFd, input.data(), want, static_cast<off_t>(offset + done));
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return Failure{"the puzzle ends inside its bundle: it is damaged"};
        }
        done += static_cast<std::uint64_t>(n);
        hash.Add({input.data(), static_cast<std::size_t>(n)});
        ZSTD_inBuffer in{input.data(), static_cast<std::size_t>(n), 0};
        if (Result<void> inflated = Inflate(stream.get(), in, output, writer); !inflated) {
            return inflated.Error();
        }
    }
    if (hash.HexDigest() != header.Sha256) {
        return Failure{"the puzzle's bundle does not match its checksum: the puzzle is damaged"};
    }
    if (!writer.Ended()) {
        return Failure{"the bundle ends early: the puzzle is damaged"};
    }
    return writer.Files();
}
