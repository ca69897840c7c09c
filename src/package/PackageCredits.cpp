#include "package/PackageCredits.h"

#include "base/LittleEndian.h"
#include "package/Crc32.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <string_view>

namespace {

using Magic = std::array<char, 8>;
constexpr Magic CreditsMagic = {'T', 'a', 'v', 'r', 'C', 'r', 'e', 'd'};
constexpr Magic MessageMagic = {'T', 'a', 'v', 'r', 'M', 'e', 's', 'g'};

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
// U+10FFFF) without control characters (but "\n" when `lineBreaks`); empty when the text
// breaks any of that.
std::optional<std::size_t> PlainTextLength(std::string_view text, bool lineBreaks = false) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        const auto lead = static_cast<std::uint8_t>(text[i++]);
        if (lead < 0x80) {
            if ((lead < 0x20 && !(lineBreaks && lead == '\n')) || lead == 0x7F) {
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

Result<void> CheckField(const Field& field, const std::string& value) {
    const std::string name = field.Option;
    const auto length = PlainTextLength(value);
    if (!length) {
        return Failure{name + " must be valid UTF-8 text on one line, without control characters"};
    }
    if (*length > PackageCredits::MaxLineLength) {
        return Failure{name + " is " + std::to_string(*length) + " characters long; at most " +
                       std::to_string(PackageCredits::MaxLineLength) + " fit"};
    }
    if (field.IsLink && !value.empty() && !IsWebAddress(value)) {
        return Failure{name + " must be an http:// or https:// address without spaces"};
    }
    return {};
}

void AppendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// Appends the payload's frame: its length, CRC, version 1 and the magic.
void AppendFooter(std::vector<std::uint8_t>& block, std::size_t payloadStart, const Magic& magic) {
    const std::size_t payloadSize = block.size() - payloadStart;
    AppendLittleEndian(block, static_cast<std::uint32_t>(payloadSize), 4);
    AppendLittleEndian(block, Crc32({block.data() + payloadStart, payloadSize}), 4);
    AppendLittleEndian(block, PackageCredits::Version, 2);
    AppendLittleEndian(block, 0, 2);
    block.insert(block.end(), magic.begin(), magic.end());
}

// The payload of the intact block with `magic` that ends at the end of `before`, at most
// `maxSize` bytes; empty when there is none.
std::optional<std::string_view> FramedPayload(std::span<const std::uint8_t> before,
                                              const Magic& magic, std::size_t maxSize) {
    constexpr std::size_t FooterSize = PackageCredits::FooterSize;
    if (before.size() < FooterSize) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> footer = before.last(FooterSize);
    if (std::memcmp(footer.data() + 12, magic.data(), magic.size()) != 0 ||
        LittleEndian16At(footer, 8) != PackageCredits::Version ||
        LittleEndian16At(footer, 10) != 0) {
        return std::nullopt;
    }
    const std::size_t payloadSize = LittleEndian32At(footer, 0);
    if (payloadSize > maxSize || payloadSize > before.size() - FooterSize) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> payload(footer.data() - payloadSize, payloadSize);
    if (Crc32(payload) != LittleEndian32At(footer, 4)) {
        return std::nullopt;
    }
    return std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size());
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
    if (!payload.empty() || !credits.Check()) {
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
    return StartMessage.empty() &&
           std::all_of(Fields.begin(), Fields.end(),
                       [this](const Field& f) { return (this->*f.Member).empty(); });
}

Result<void> PackageCredits::Check() const {
    for (const Field& field : Fields) {
        if (Result<void> checked = CheckField(field, this->*field.Member); !checked) {
            return checked;
        }
    }
    return CheckStartMessage(StartMessage);
}

Result<void> PackageCredits::CheckStartMessage(const std::string& message) {
    const auto length = MessageLength(message);
    if (!length) {
        return Failure{"--message must be valid UTF-8 text without control characters other than "
                       "line breaks"};
    }
    if (*length > MaxMessageLength) {
        return Failure{"--message is " + std::to_string(*length) + " characters long; at most " +
                       std::to_string(MaxMessageLength) + " fit"};
    }
    return {};
}

std::optional<std::size_t> PackageCredits::MessageLength(const std::string& message) {
    return PlainTextLength(message, true);
}

std::vector<std::uint8_t> PackageCredits::EncodeBlock() const {
    assert(Check());
    std::vector<std::uint8_t> block(StartMessage.begin(), StartMessage.end());
    if (!StartMessage.empty()) {
        AppendFooter(block, 0, MessageMagic);
    }
    const std::size_t creditsStart = block.size();
    for (const Field& field : Fields) {
        const std::string& value = this->*field.Member;
        block.insert(block.end(), value.begin(), value.end());
        block.push_back('\n');
    }
    assert(block.size() - creditsStart <= MaxPayloadSize);
    AppendFooter(block, creditsStart, CreditsMagic);
    return block;
}

std::optional<PackageCredits> PackageCredits::DecodeBlock(std::span<const std::uint8_t> before) {
    const auto payload = FramedPayload(before, CreditsMagic, MaxPayloadSize);
    auto credits = payload ? ParsePayload(*payload) : std::nullopt;
    if (!credits) {
        return std::nullopt;
    }
    const auto message = FramedPayload(before.first(before.size() - FooterSize - payload->size()),
                                       MessageMagic, MaxMessageSize);
    if (message && !message->empty() && CheckStartMessage(std::string(*message))) {
        credits->StartMessage = *message;
    }
    return credits;
}
