#include "JpegMetadata.h"

#include "ExifOrientation.h"
#include "JpegSegments.h"
#include "TiffReader.h"

#include <algorithm>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t App0 = 0xE0;
constexpr std::uint8_t App1 = 0xE1;
constexpr std::uint8_t App2 = 0xE2;
constexpr std::uint8_t App13 = 0xED;
constexpr std::uint8_t App14 = 0xEE;
constexpr std::uint8_t App15 = 0xEF;
constexpr std::uint8_t Comment = 0xFE;

constexpr char Jfif[] = "JFIF";
constexpr char IccProfile[] = "ICC_PROFILE";
constexpr char Adobe[] = {'A', 'd', 'o', 'b', 'e'};
constexpr char Xmp[] = "http://ns.adobe.com/xap/1.0/";
constexpr char ExtendedXmp[] = "http://ns.adobe.com/xmp/extension/";
constexpr char Jfxx[] = "JFXX";
constexpr char Mpf[] = "MPF";

bool IsMetadata(std::span<const std::uint8_t> file, const JpegSegment& s) {
    if (s.Marker == Comment) {
        return true;
    }
    if (s.Marker < App0 || s.Marker > App15) {
        return false;
    }
    return !(s.Marker == App0 && SegmentSays(file, s, Jfif)) &&
           !(s.Marker == App2 && SegmentSays(file, s, IccProfile)) &&
           !(s.Marker == App14 && SegmentSays(file, s, Adobe));
}

// The personal facts an Exif block holds, by the tags of its first directories.
std::string ExifName(std::span<const std::uint8_t> body) {
    const TiffReader r(TiffOfExif(body));
    std::vector<std::string> facts;
    const std::size_t first = r.Valid() ? r.FirstDirectory() : 0;
    if (r.FindEntry(first, 0x8825) != 0) {
        facts.push_back("GPS position");
    }
    if (r.FindEntry(first, 0x010F) != 0 || r.FindEntry(first, 0x0110) != 0) {
        facts.push_back("camera");
    }
    const std::size_t exifEntry = r.FindEntry(first, 0x8769);
    const std::size_t exif = exifEntry != 0 ? r.Read(exifEntry + 8, 4) : 0;
    if (r.FindEntry(first, 0x0132) != 0 || r.FindEntry(exif, 0x9003) != 0) {
        facts.push_back("dates");
    }
    if (r.NextDirectory(first) != 0) {
        facts.push_back("thumbnail");
    }
    return facts.empty() ? "Exif" : "Exif (" + JoinedNames(facts) + ")";
}

std::string MetadataName(std::span<const std::uint8_t> file, const JpegSegment& s) {
    if (s.Marker == Comment) {
        return "a comment";
    }
    if (s.Marker == App1 && !TiffOfExif(s.Body(file)).empty()) {
        return ExifName(s.Body(file));
    }
    if (s.Marker == App1 && (SegmentSays(file, s, Xmp) || SegmentSays(file, s, ExtendedXmp))) {
        return "XMP";
    }
    if (s.Marker == App13) {
        return "IPTC";
    }
    if (s.Marker == App0 && SegmentSays(file, s, Jfxx)) {
        return "a thumbnail";
    }
    if (s.Marker == App2 && SegmentSays(file, s, Mpf)) {
        return "further pictures (MPF)";
    }
    return "APP" + std::to_string(s.Marker - App0) + " data";
}

// After the start-of-image marker and a JFIF header, where a JPEG's application data goes.
std::size_t ApplicationDataPlace(const JpegLayout& layout) {
    const auto& segments = layout.Segments;
    if (!segments.empty() && segments[0].Start == 2 && segments[0].Marker == App0) {
        return segments[0].Start + segments[0].Size;
    }
    return 2;
}

} // namespace

std::vector<std::string> JpegMetadataNames(std::span<const std::uint8_t> file) {
    const auto layout = ReadJpegLayout(file);
    if (!layout) {
        return {};
    }
    std::vector<std::string> names;
    for (const JpegSegment& s : layout->Segments) {
        const std::string name = IsMetadata(file, s) ? MetadataName(file, s) : "";
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
    if (layout->End < file.size()) {
        names.push_back(std::to_string(file.size() - layout->End) + " bytes after the picture");
    }
    return names;
}

std::optional<Bytes> JpegWithoutMetadata(std::span<const std::uint8_t> file) {
    const auto layout = ReadJpegLayout(file);
    if (!layout) {
        return std::nullopt;
    }
    Bytes out;
    out.reserve(layout->End);
    std::size_t copied = 0;
    for (const JpegSegment& s : layout->Segments) {
        if (IsMetadata(file, s)) {
            out.insert(out.end(), file.begin() + copied, file.begin() + s.Start);
            copied = s.Start + s.Size;
        }
    }
    out.insert(out.end(), file.begin() + copied, file.begin() + layout->End);
    return out;
}

Bytes WithMarkersOf(Bytes made, std::span<const std::uint8_t> source, bool keepMetadata) {
    const auto madeLayout = ReadJpegLayout(made);
    const auto sourceLayout = ReadJpegLayout(source);
    if (!madeLayout || !sourceLayout) {
        return made;
    }
    Bytes carried;
    for (const JpegSegment& s : sourceLayout->Segments) {
        const bool icc = s.Marker == App2 && SegmentSays(source, s, IccProfile);
        if (!icc && !(keepMetadata && IsMetadata(source, s))) {
            continue;
        }
        const std::size_t at = carried.size();
        carried.insert(carried.end(), source.begin() + s.Start, source.begin() + s.Start + s.Size);
        if (s.Marker == App1) {
            SetExifUpright(std::span(carried).subspan(at + 4, s.Size - 4));
        }
    }
    const auto place = static_cast<std::ptrdiff_t>(ApplicationDataPlace(*madeLayout));
    made.insert(made.begin() + place, carried.begin(), carried.end());
    return made;
}

std::string JoinedNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    return text;
}
