// A large photo made into the board's picture: decoded whole and fitted, against decoded at the
// smallest DCT scale that still covers the fit, then fitted, as the player does.
#include "game/PictureFit.h"
#include "game/ScreenLayout.h"
#include "picture/PictureFile.h"

#include <QBuffer>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

// Debian's mate-backgrounds photo (installed by scripts/bench.sh), else a generated one of the
// same size; TAVRIN_BENCH_PHOTO names another.
const std::vector<std::uint8_t>& Photo() {
    static const std::vector<std::uint8_t> bytes = [] {
        const char* named = std::getenv("TAVRIN_BENCH_PHOTO");
        const std::string path =
            named != nullptr ? named
                             : "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg";
        if (std::filesystem::exists(path)) {
            if (auto file = ReadPictureFile(path)) {
                return std::move(*file);
            }
        }
        QImage image(5640, 3172, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
            }
        }
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 90);
        return std::vector<std::uint8_t>(jpeg.begin(), jpeg.end());
    }();
    return bytes;
}

// The board of a full screen of the given size at a zoom of 100, as the player fits it.
LeastSize FitOnScreen(int width, int height) {
    const BoardSize board = BoardOnScreen({width, height});
    return [board](PictureSize full) {
        const PictureFit fit = FitToBoard(full.Width, full.Height, board.Width, board.Height, 100);
        return PictureSize{fit.Width, fit.Height};
    };
}

Bitmap Fitted(const DecodedPicture& decoded, PictureSize fit) {
    const Bitmap& pixels = decoded.Pixels;
    return pixels.Width() == fit.Width && pixels.Height() == fit.Height
               ? pixels
               : StretchNearest(pixels, fit.Width, fit.Height);
}

// The mean difference per colour channel between two pictures of the same size, 0 to 255.
double MeanDifference(const Bitmap& a, const Bitmap& b) {
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const Pixel p = a.At(x, y);
            const Pixel q = b.At(x, y);
            for (const int shift : {0, 8, 16}) {
                sum += std::abs(static_cast<int>(p >> shift & 0xFF) -
                                static_cast<int>(q >> shift & 0xFF));
            }
        }
    }
    return sum / (3.0 * a.Width() * a.Height());
}

void BM_DecodeAndFit(benchmark::State& state) {
    const LeastSize fitOnBoard =
        state.range(0) == 1080 ? FitOnScreen(1920, 1080) : FitOnScreen(3840, 2160);
    const bool scaled = state.range(1) != 0;
    const std::vector<std::uint8_t>& photo = Photo();
    PictureSize fit;
    PictureSize decodedSize;
    for (auto _ : state) {
        const std::optional<DecodedPicture> decoded =
            DecodePictureFile(photo, "photo.jpg", scaled ? fitOnBoard : LeastSize());
        if (!decoded) {
            state.SkipWithError("the photo cannot be decoded");
            return;
        }
        fit = fitOnBoard(decoded->Full);
        decodedSize = {decoded->Pixels.Width(), decoded->Pixels.Height()};
        benchmark::DoNotOptimize(Fitted(*decoded, fit));
    }
    state.counters["decodedMP"] = decodedSize.Width * double(decodedSize.Height) / 1e6;
    state.counters["fitW"] = fit.Width;
    if (scaled) {
        const auto whole = DecodePictureFile(photo, "photo.jpg", LeastSize());
        const auto reduced = DecodePictureFile(photo, "photo.jpg", fitOnBoard);
        state.counters["meanDiff"] = MeanDifference(Fitted(*whole, fit), Fitted(*reduced, fit));
    }
}
BENCHMARK(BM_DecodeAndFit)
    ->ArgsProduct({{1080, 2160}, {0, 1}})
    ->ArgNames({"board", "scaled"})
    ->Unit(benchmark::kMillisecond);

} // namespace
