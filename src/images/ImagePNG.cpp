#include "images/ImagePNG.h"

#include "core/StopRequest.h"
#include "images/ExifOrientation.h"

#ifdef KINETORA_NO_DECODERS

// Built without the PNG library: every picture reads as not valid.
ImagePNG::ImagePNG(const std::string&) {}
ImagePNG::ImagePNG(std::FILE*) {}

#else

#include <png.h>

namespace {

// Errors jump back to the decoder; neither errors nor warnings are shown.
[[noreturn]] void Fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void Ignore(png_structp, png_const_charp) {}

// Owns the library's structures, so they are destroyed on every way out.
struct Session {
    png_structp png = nullptr;
    png_infop info = nullptr;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

// Sets up the transformations to 8-bit RGB over the background; false for pictures we do
// not take. Returns the number of interlace passes through `passes`.
bool Prepare(Session& s, std::FILE* file, std::int64_t fileBytes, int& passes) {
    png_init_io(s.png, file);
    png_read_info(s.png, s.info);
    const std::int64_t width = png_get_image_width(s.png, s.info);
    const std::int64_t height = png_get_image_height(s.png, s.info);
    // The file's own rows, before any expansion, with their filter bytes.
    const std::int64_t rawBytes =
        (static_cast<std::int64_t>(png_get_rowbytes(s.png, s.info)) + 1) * height;
    if (width * height > Image::MaxPixels || rawBytes > ImagePNG::MaxBytesPerByte * fileBytes)
        return false;

    png_color_16 background{};
    background.red = Image::BackgroundRed;
    background.green = Image::BackgroundGreen;
    background.blue = Image::BackgroundBlue;
    png_set_background(s.png, &background, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    if (png_get_bit_depth(s.png, s.info) == 16)
        png_set_strip_16(s.png);
    // Grey (of any depth, with or without alpha) and palette pictures become RGB; the
    // background is given as RGB at the final depth, so it needs no expanding.
    const int colourType = png_get_color_type(s.png, s.info);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(s.png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_expand_gray_1_2_4_to_8(s.png);
        png_set_gray_to_rgb(s.png);
    }
    passes = png_get_interlace_type(s.png, s.info) != PNG_INTERLACE_NONE
                 ? png_set_interlace_handling(s.png)
                 : 1;
    png_read_update_info(s.png, s.info);
    // Rows are read straight into the bitmap: they must be exactly three bytes a pixel.
    return png_get_rowbytes(s.png, s.info) == static_cast<png_size_t>(width) * 3;
}

// The eXIf chunk, when it came before the pixels (read_info has seen it) or after them
// (read_end has).
int Orientation(const Session& s) {
#ifdef PNG_eXIf_SUPPORTED
    png_uint_32 bytes = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(s.png, s.info, &bytes, &exif) != 0 && exif != nullptr)
        return ExifOrientation({exif, bytes});
#else
    (void)s;
#endif
    return 1;
}

} // namespace

ImagePNG::ImagePNG(const std::string& path) {
    const FileHandle file = OpenForReading(path);
    if (file)
        Decode(file.get());
}

ImagePNG::ImagePNG(std::FILE* file) {
    if (file)
        Decode(file);
}

// The library's error exit jumps back here across its own frames and Prepare's: none of
// them may hold an object with a destructor. Session lives in this frame and outlives the jump.
void ImagePNG::Decode(std::FILE* file) {
    m_bSwap = true;
    const std::int64_t fileBytes = BytesLeft(file);
    Session s;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Ignore);
    if (!s.png)
        return;
    s.info = png_create_info_struct(s.png);
    if (!s.info)
        return;
#ifdef KINETORA_FUZZING
    // A mutated input nearly always breaks a chunk's checksum: let it reach the decoder.
    png_set_crc_action(s.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    if (setjmp(png_jmpbuf(s.png)) != 0) {
        Clear();
        return;
    }
    int passes = 1;
    if (!Prepare(s, file, fileBytes, passes) ||
        !Allocate24(static_cast<int>(png_get_image_width(s.png, s.info)),
                    static_cast<int>(png_get_image_height(s.png, s.info)))) {
        Clear();
        return;
    }
    // Later passes of an interlaced picture fill in the rows the earlier ones left.
    // An ending run gives the picture up.
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < m_Height; ++y) {
            if (StopRequest::Poll()) {
                Clear();
                return;
            }
            png_read_row(s.png, Row(m_Height - 1 - y), nullptr);
        }
    }
    png_read_end(s.png, s.info);
    SwapRedBlue();
    if (!Orient(Orientation(s))) {
        Clear();
        return;
    }
    m_bValid = true;
}

#endif // KINETORA_NO_DECODERS
