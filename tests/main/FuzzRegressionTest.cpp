// Every seed and every input a fuzzer once found a fault with goes through its target again.
#include "FuzzTargets.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::filesystem::path Fuzz = std::filesystem::path(TAVRIN_SOURCE_DIR) / "fuzz";

int RunAll(const char* target, void (*run)(const std::uint8_t*, std::size_t)) {
    int inputs = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        for (const auto& entry : std::filesystem::directory_iterator(Fuzz / kind / target)) {
            if (entry.path().filename().string().front() == '.') {
                continue;
            }
            const Bytes bytes = ReadBytes(entry.path().string());
            run(bytes.data(), bytes.size());
            ++inputs;
        }
    }
    return inputs;
}

} // namespace

TEST(FuzzRegressions, PackagesReadCleanly) {
    EXPECT_GT(RunAll("Package", FuzzPackage), 0);
}
TEST(FuzzRegressions, JpegsDecodeCleanly) {
    EXPECT_GT(RunAll("Jpeg", FuzzJpeg), 0);
}
TEST(FuzzRegressions, BitmapsDecodeCleanly) {
    EXPECT_GT(RunAll("Bmp", FuzzBmp), 0);
}
TEST(FuzzRegressions, EdgeStripsDecodeCleanly) {
    EXPECT_GT(RunAll("EdgeStrip", FuzzEdgeStrip), 0);
}
TEST(FuzzRegressions, ExifBlocksReadCleanly) {
    EXPECT_GT(RunAll("Exif", FuzzExif), 0);
}
