#include "picture/JpegDecoder.h"

#include "picture/PictureLimits.h"

#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back here.
struct ErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->Jump, 1);
}

// A file that ends early is damaged; libjpeg would only warn and pad it with grey.
void FailOnTruncation(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        JumpOnError(info);
    }
}

void Silently(j_common_ptr) {}

bool IsCmyk(J_COLOR_SPACE space) {
    return space == JCS_CMYK || space == JCS_YCCK;
}

// CMYK as libjpeg gives it: Adobe's files store the inks inverted.
Pixel FromCmyk(const JSAMPLE* ink, bool inverted) {
    const auto channel = [&](int i) {
        const int c = inverted ? ink[i] : 255 - ink[i];
        const int k = inverted ? ink[3] : 255 - ink[3];
        return static_cast<std::uint8_t>(c * k / 255);
    };
    return MakePixel(channel(0), channel(1), channel(2));
}

void ReadRows(jpeg_decompress_struct& info, Bitmap& picture, std::vector<JSAMPLE>& row) {
    const bool cmyk = IsCmyk(info.out_color_space);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW target = cmyk ? row.data() : reinterpret_cast<JSAMPROW>(picture.Scanline(y));
        jpeg_read_scanlines(&info, &target, 1);
        if (cmyk) {
            Pixel* out = picture.Scanline(y);
            for (int x = 0; x < picture.Width(); ++x) {
                out[x] = FromCmyk(row.data() + 4 * x, info.saw_Adobe_marker);
            }
        }
    }
}

// The smallest scale in eighths whose output is at least `wanted` on both sides, set in `info`;
// the full scale is left as libjpeg set it, so that a full-size picture is decoded as before.
void ChooseScale(jpeg_decompress_struct& info, PictureSize wanted) {
    constexpr unsigned Eighths = 8;
    for (unsigned n = 1; n < Eighths; ++n) {
        info.scale_num = n;
        info.scale_denom = Eighths;
        jpeg_calc_output_dimensions(&info);
        if (static_cast<std::int64_t>(info.output_width) >= wanted.Width &&
            static_cast<std::int64_t>(info.output_height) >= wanted.Height) {
            return;
        }
    }
    info.scale_num = 1;
    info.scale_denom = 1;
}

// Everything libjpeg may jump out of happens in here; the objects it touches live in the
// caller, so a jump leaves nothing half-destroyed.
bool Decode(jpeg_decompress_struct& info, ErrorManager& errors, std::span<const std::uint8_t> file,
            const LeastSize& least, DecodedPicture& decoded, std::vector<JSAMPLE>& row) {
    if (setjmp(errors.Jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
        !IsAcceptablePictureSize(info.image_width, info.image_height)) {
        return false;
    }
    info.out_color_space = IsCmyk(info.jpeg_color_space) ? JCS_CMYK : JCS_EXT_BGRX;
    decoded.Full = {static_cast<int>(info.image_width), static_cast<int>(info.image_height)};
    if (least) {
        ChooseScale(info, least(decoded.Full));
    }
    jpeg_start_decompress(&info);
    Bitmap& picture = decoded.Pixels;
    picture = Bitmap(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    row.resize(static_cast<std::size_t>(info.output_width) * 4);
    ReadRows(info, picture, row);
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

std::optional<DecodedPicture> DecodeJpeg(std::span<const std::uint8_t> file,
                                         const LeastSize& least) {
    if (file.empty()) {
        return std::nullopt;
    }
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = JumpOnError;
    errors.Base.emit_message = FailOnTruncation;
    errors.Base.output_message = Silently;
    DecodedPicture decoded;
    std::vector<JSAMPLE> row;
    const bool ok = Decode(info, errors, file, least, decoded, row);
    jpeg_destroy_decompress(&info);
    if (!ok) {
        return std::nullopt;
    }
    // BGRX leaves the fourth byte as libjpeg likes; the board wants it opaque.
    Bitmap& picture = decoded.Pixels;
    for (int y = 0; y < picture.Height(); ++y) {
        Pixel* p = picture.Scanline(y);
        for (int x = 0; x < picture.Width(); ++x) {
            p[x] |= 0xFF000000u;
        }
    }
    return decoded;
}

std::optional<Bitmap> DecodeJpeg(std::span<const std::uint8_t> file) {
    std::optional<DecodedPicture> decoded = DecodeJpeg(file, LeastSize());
    if (!decoded) {
        return std::nullopt;
    }
    return std::move(decoded->Pixels);
}
