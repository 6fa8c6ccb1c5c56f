#include "TestPictures.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

#ifndef KINETORA_NO_WEBP
#include <webp/encode.h>
#include <webp/mux.h>
#endif
#ifndef KINETORA_NO_HEIF
#include <libheif/heif.h>
#endif

namespace testimages {
namespace {

void PutBE16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

} // namespace

Bytes ExifBlock(int orientation, bool bigEndian, bool prefix) {
    Bytes b;
    if (prefix)
        b = {'E', 'x', 'i', 'f', 0, 0};
    auto u16 = [&](unsigned v) {
        if (bigEndian) {
            PutBE16(b, v);
        } else {
            b.push_back(static_cast<std::uint8_t>(v));
            b.push_back(static_cast<std::uint8_t>(v >> 8));
        }
    };
    auto u32 = [&](std::uint32_t v) {
        u16(bigEndian ? v >> 16 : v & 0xFFFF);
        u16(bigEndian ? v & 0xFFFF : v >> 16);
    };
    b.push_back(bigEndian ? 'M' : 'I');
    b.push_back(bigEndian ? 'M' : 'I');
    u16(42);
    u32(8);
    // IFD0: an unrelated tag first (image width), then the orientation.
    u16(2);
    u16(0x0100), u16(4), u32(1), u32(640);
    u16(0x0112), u16(3), u32(1), u16(static_cast<unsigned>(orientation)), u16(0);
    u32(0); // no next IFD
    return b;
}

Bytes WithApp1(const Bytes& jpeg, const Bytes& exif) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.push_back(0xFF);
    out.push_back(0xE1);
    PutBE16(out, static_cast<unsigned>(exif.size() + 2));
    out.insert(out.end(), exif.begin(), exif.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Bytes JpegCmyk(int width, int height, const PixelFn& pixel, bool ycck) {
    return JpegRows(
        width, height, 4, JCS_CMYK, ycck ? JCS_YCCK : JCS_CMYK, false, [&](Bytes& row, int y) {
            for (int x = 0; x < width; ++x) {
                const Rgb p = pixel(x, y);
                // Black is what the brightest channel lacks; each ink what its
                // channel lacks of that brightest.
                const int max = std::max({p.r, p.g, p.b});
                const int k = 255 - max;
                const auto ink = [max](int v) { return max == 0 ? 0 : 255 - v * 255 / max; };
                const int inks[4] = {ink(p.r), ink(p.g), ink(p.b), k};
                for (int i = 0; i < 4; ++i)
                    row[static_cast<std::size_t>(x * 4 + i)] =
                        static_cast<std::uint8_t>(255 - inks[i]);
            }
        });
}

#ifndef KINETORA_NO_WEBP

namespace {

Bytes Rgba(int width, int height, const PixelFn& pixel, const AlphaFn& alpha) {
    Bytes rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb p = pixel(x, y);
            rgba.insert(rgba.end(), {p.r, p.g, p.b, alpha ? alpha(x, y) : std::uint8_t{255}});
        }
    return rgba;
}

} // namespace

Bytes WebP(int width, int height, const PixelFn& pixel, bool lossless, const Bytes& exif,
           const AlphaFn& alpha) {
    const Bytes rgba = Rgba(width, height, pixel, alpha);
    std::uint8_t* coded = nullptr;
    const int stride = width * 4;
    const std::size_t size =
        lossless ? WebPEncodeLosslessRGBA(rgba.data(), width, height, stride, &coded)
                 : WebPEncodeRGBA(rgba.data(), width, height, stride, 95, &coded);
    if (size == 0)
        throw std::runtime_error("WebP encoding failed");
    Bytes still(coded, coded + size);
    WebPFree(coded);
    if (exif.empty())
        return still;
    WebPMux* mux = WebPMuxNew();
    const WebPData image{still.data(), still.size()};
    const WebPData meta{exif.data(), exif.size()};
    WebPData out{};
    if (WebPMuxSetImage(mux, &image, 1) != WEBP_MUX_OK ||
        WebPMuxSetChunk(mux, "EXIF", &meta, 1) != WEBP_MUX_OK ||
        WebPMuxAssemble(mux, &out) != WEBP_MUX_OK)
        throw std::runtime_error("WebP muxing failed");
    Bytes result(out.bytes, out.bytes + out.size);
    WebPDataClear(&out);
    WebPMuxDelete(mux);
    return result;
}

Bytes WebPAnimated(int width, int height, const PixelFn& first, const PixelFn& second) {
    WebPAnimEncoderOptions options;
    WebPAnimEncoderOptionsInit(&options);
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(width, height, &options);
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = 1;
    int timestamp = 0;
    for (const PixelFn* frame : {&first, &second}) {
        const Bytes rgba = Rgba(width, height, *frame, nullptr);
        WebPPicture picture;
        WebPPictureInit(&picture);
        picture.use_argb = 1;
        picture.width = width;
        picture.height = height;
        WebPPictureImportRGBA(&picture, rgba.data(), width * 4);
        WebPAnimEncoderAdd(encoder, &picture, timestamp, &config);
        WebPPictureFree(&picture);
        timestamp += 100;
    }
    WebPAnimEncoderAdd(encoder, nullptr, timestamp, nullptr);
    WebPData out{};
    if (!WebPAnimEncoderAssemble(encoder, &out))
        throw std::runtime_error("WebP animation failed");
    Bytes result(out.bytes, out.bytes + out.size);
    WebPDataClear(&out);
    WebPAnimEncoderDelete(encoder);
    return result;
}

#endif // KINETORA_NO_WEBP

#ifndef KINETORA_NO_HEIF

namespace {

heif_error Append(heif_context*, const void* data, std::size_t size, void* userdata) {
    auto* out = static_cast<Bytes*>(userdata);
    const auto* p = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), p, p + size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

void Check(const heif_error& error) {
    if (error.code != heif_error_Ok)
        throw std::runtime_error(std::string("HEIF encoding failed: ") + error.message);
}

} // namespace

Bytes Heif(int width, int height, const PixelFn& pixel, bool avif, const Bytes& exif,
           const AlphaFn& alpha) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    Check(heif_context_get_encoder_for_format(
        context, avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder));
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image* image = nullptr;
    Check(heif_image_create(width, height, heif_colorspace_RGB,
                            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                            &image));
    Check(heif_image_add_plane(image, heif_channel_interleaved, width, height, 8));
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    const int step = alpha ? 4 : 3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb p = pixel(x, y);
            std::uint8_t* q = plane + y * stride + x * step;
            q[0] = p.r;
            q[1] = p.g;
            q[2] = p.b;
            if (alpha)
                q[3] = alpha(x, y);
        }
    heif_image_handle* handle = nullptr;
    Check(heif_context_encode_image(context, image, encoder, nullptr, &handle));
    if (!exif.empty())
        Check(heif_context_add_exif_metadata(context, handle, exif.data(),
                                             static_cast<int>(exif.size())));
    Bytes out;
    heif_writer writer{1, &Append};
    Check(heif_context_write(context, &writer, &out));
    heif_image_handle_release(handle);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return out;
}

#endif // KINETORA_NO_HEIF

bool ReplacePixi(Bytes& heif, const char (&type)[5], std::uint8_t value) {
    static constexpr std::uint8_t kPixi[8] = {0, 0, 0, 16, 'p', 'i', 'x', 'i'};
    for (std::size_t i = 0; i + 16 <= heif.size(); ++i) {
        if (std::memcmp(heif.data() + i, kPixi, sizeof kPixi) != 0)
            continue;
        // The same 16 bytes: the property's one byte, then padding a reader skips.
        std::memcpy(heif.data() + i + 4, type, 4);
        heif[i + 8] = value;
        std::memset(heif.data() + i + 9, 0, 7);
        return true;
    }
    return false;
}

} // namespace testimages
