#include "images/ExifOrientation.h"

#include <cstring>

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kEntryBytes = 12;

struct Reader {
    std::span<const std::uint8_t> tiff;
    bool bigEndian = false;

    std::uint16_t U16(std::size_t at) const {
        const std::uint8_t* p = tiff.data() + at;
        return bigEndian ? static_cast<std::uint16_t>(p[0] << 8 | p[1])
                         : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
    }
    std::uint32_t U32(std::size_t at) const {
        const std::uint32_t high = U16(at), low = U16(at + 2);
        return bigEndian ? high << 16 | low : low << 16 | high;
    }
};

} // namespace

int ExifOrientation(std::span<const std::uint8_t> exif) {
    static constexpr std::uint8_t kPrefix[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (exif.size() >= sizeof kPrefix && std::memcmp(exif.data(), kPrefix, sizeof kPrefix) == 0)
        exif = exif.subspan(sizeof kPrefix);
    if (exif.size() < 8)
        return 1;
    Reader in{exif};
    if (exif[0] == 'M' && exif[1] == 'M')
        in.bigEndian = true;
    else if (exif[0] != 'I' || exif[1] != 'I')
        return 1;
    if (in.U16(2) != 42)
        return 1;
    const std::uint32_t ifd = in.U32(4);
    if (ifd > exif.size() || exif.size() - ifd < 2)
        return 1;
    const std::size_t count = in.U16(ifd);
    const std::size_t first = ifd + 2;
    // Entries past the end of the block are not there: read only those that are.
    const std::size_t whole = (exif.size() - first) / kEntryBytes;
    for (std::size_t i = 0; i < count && i < whole; ++i) {
        const std::size_t entry = first + i * kEntryBytes;
        if (in.U16(entry) != kOrientationTag)
            continue;
        // A short held in the entry's own value field, in its first two bytes.
        if (in.U16(entry + 2) != kTypeShort || in.U32(entry + 4) != 1)
            return 1;
        const int value = in.U16(entry + 8);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}
