#include "package/PackageCredits.h"

#include "base/LittleEndian.h"
#include "package/Crc32.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <string_view>

namespace {

constexpr std::array<char, 8> Magic = {'T', 'a', 'v', 'r', 'C', 'r', 'e', 'd'};

struct Field {
    const char* Option;
    std::string PackageCredits::*Member;
    bool IsLink;
};

constexpr std::array<Field, 5> Fields = {{
    {"--title", &PackageCredits::Title, false},
    {"--picture-credit", &PackageCredits::PictureCredit, false},
    {"--picture-link", &PackageCredits::PictureLink, true},
    {"--music-credit", &PackageCredits::MusicCredit, false},
    {"--music-link", &PackageCredits::MusicLink, true},
}};

// The number of characters in strict UTF-8 text (no overlong forms, no surrogates, nothing past
// U+10FFFF) without control characters; empty when the text breaks any of that.
std::optional<std::size_t> PlainTextLength(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        const auto lead = static_cast<std::uint8_t>(text[i++]);
        if (lead < 0x80) {
            if (lead < 0x20 || lead == 0x7F) {
                return std::nullopt;
            }
            continue;
        }
        const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        if (extra < 0 || lead > 0xF4 || i + static_cast<std::size_t>(extra) > text.size()) {
            return std::nullopt;
        }
        char32_t c = lead & (0x3F >> extra);
        for (int k = 0; k < extra; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i++]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            c = (c << 6) | (next & 0x3F);
        }
        constexpr std::array<char32_t, 4> Smallest = {0, 0x80, 0x800, 0x10000};
        if (c < Smallest[static_cast<std::size_t>(extra)] || c > 0x10FFFF ||
            (c >= 0xD800 && c <= 0xDFFF) || (c >= 0x80 && c < 0xA0)) {
            return std::nullopt;
        }
    }
    return characters;
}

bool IsWebAddress(std::string_view text) {
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (text.size() > scheme.size() &&
            std::equal(scheme.begin(), scheme.end(), text.begin(), [](char a, char b) {
                return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
            })) {
            return text.find(' ') == std::string_view::npos;
        }
    }
    return false;
}

std::string FieldProblem(const Field& field, const std::string& value) {
    const std::string name = field.Option;
    const auto length = PlainTextLength(value);
    if (!length) {
        return name + " must be valid UTF-8 text on one line, without control characters";
    }
    if (*length > PackageCredits::MaxLineLength) {
        return name + " is " + std::to_string(*length) + " characters long; at most " +
               std::to_string(PackageCredits::MaxLineLength) + " fit";
    }
    if (field.IsLink && !value.empty() && !IsWebAddress(value)) {
        return name + " must be an http:// or https:// address without spaces";
    }
    return {};
}

void AppendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

std::optional<PackageCredits> ParsePayload(std::string_view payload) {
    PackageCredits credits;
    for (const Field& field : Fields) {
        const auto end = payload.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        credits.*field.Member = std::string(payload.substr(0, end));
        payload.remove_prefix(end + 1);
    }
    if (!payload.empty() || !credits.Problem().empty()) {
        return std::nullopt;
    }
    return credits;
}

} // namespace

bool PackageCredits::SetByOption(std::string_view option, std::string value) {
    for (const Field& field : Fields) {
        if (option == field.Option) {
            this->*field.Member = std::move(value);
            return true;
        }
    }
    return false;
}

bool PackageCredits::IsEmpty() const {
    return std::all_of(Fields.begin(), Fields.end(),
                       [this](const Field& f) { return (this->*f.Member).empty(); });
}

std::string PackageCredits::Problem() const {
    for (const Field& field : Fields) {
        if (std::string problem = FieldProblem(field, this->*field.Member); !problem.empty()) {
            return problem;
        }
    }
    return {};
}

std::vector<std::uint8_t> PackageCredits::EncodeBlock() const {
    assert(Problem().empty());
    std::vector<std::uint8_t> block;
    for (const Field& field : Fields) {
        const std::string& value = this->*field.Member;
        block.insert(block.end(), value.begin(), value.end());
        block.push_back('\n');
    }
    const std::size_t payloadSize = block.size();
    assert(payloadSize <= MaxPayloadSize);
    AppendLittleEndian(block, static_cast<std::uint32_t>(payloadSize), 4);
    AppendLittleEndian(block, Crc32({block.data(), payloadSize}), 4);
    AppendLittleEndian(block, Version, 2);
    AppendLittleEndian(block, 0, 2);
    block.insert(block.end(), Magic.begin(), Magic.end());
    return block;
}

std::optional<PackageCredits> PackageCredits::DecodeBlock(std::span<const std::uint8_t> before) {
    if (before.size() < FooterSize) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> footer = before.last(FooterSize);
    if (std::memcmp(footer.data() + 12, Magic.data(), Magic.size()) != 0 ||
        LittleEndian16At(footer, 8) != Version || LittleEndian16At(footer, 10) != 0) {
        return std::nullopt;
    }
    const std::size_t payloadSize = LittleEndian32At(footer, 0);
    if (payloadSize > MaxPayloadSize || payloadSize > before.size() - FooterSize) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> payload(footer.data() - payloadSize, payloadSize);
    if (Crc32(payload) != LittleEndian32At(footer, 4)) {
        return std::nullopt;
    }
    return ParsePayload({reinterpret_cast<const char*>(payload.data()), payload.size()});
}
