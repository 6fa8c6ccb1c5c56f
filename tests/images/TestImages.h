#pragma once

// Small pictures written in code for the decoder tests and the fuzzing seeds: bitmaps byte
// by byte, JPEG and PNG through the libraries' own encoders.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testimages {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

// A picture given pixel by pixel, (0, 0) at the top left.
using PixelFn = std::function<Rgb(int x, int y)>;

enum class BmpHeader { File, NoFile, Core };

// 24 bits a pixel.
Bytes Bmp24(int width, int height, const PixelFn& pixel, BmpHeader header = BmpHeader::File);
// 8 bits a pixel with the given palette; clrUsed 0 writes a full 256-entry table (the
// palette padded with black). The core header writes 3-byte entries.
Bytes Bmp8(int width, int height, const std::function<std::uint8_t(int, int)>& index,
           const std::vector<Rgb>& palette, bool writeClrUsed, BmpHeader header = BmpHeader::File);

// A JPEG of `components` bytes a pixel in the colour space `inSpace` (a J_COLOR_SPACE),
// stored as `storedSpace` (-1: the encoder's default for inSpace); `fill` writes row y.
using RowFn = std::function<void(Bytes& row, int y)>;
Bytes JpegRows(int width, int height, int components, int inSpace, int storedSpace,
               bool progressive, const RowFn& fill);
// components 1 (grey, from the red channel) or 3.
Bytes Jpeg(int width, int height, int components, const PixelFn& pixel, bool progressive = false);

// Channels as 16-bit values (0..65535 for 16-bit pictures, 0..255 for 8-bit ones):
// red, green, blue, alpha; grey pictures take red.
using Pixel16 = std::array<std::uint16_t, 4>;
Bytes Png(int width, int height, int colourType, int bitDepth, bool interlaced,
          const std::function<Pixel16(int, int)>& pixel);

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

// A fresh folder under the temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_Path; }
    // Writes bytes (default: none) to a file below the folder, making folders on the way.
    std::string Put(const std::string& relative, const Bytes& bytes = {}) const;

private:
    std::filesystem::path m_Path;
};

} // namespace testimages
