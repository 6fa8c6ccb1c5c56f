#include "images/HeifPicture.h"

#include "images/ImageHEIF.h"
#include "images/ScaleDenominator.h"

#include <libheif/heif.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct ContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageDeleter {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

} // namespace

bool HeifPicture::Make(const HeifRequest& request) {
    const std::uint8_t* const bytes = request.bytes;
    const std::size_t size = request.size;
    const std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    if (!context)
        return false;
    if (heif_context_read_from_memory_without_copy(context.get(), bytes, size, nullptr).code !=
        heif_error_Ok)
        return false;
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok)
        return false;
    const std::unique_ptr<heif_image_handle, HandleDeleter> handle(rawHandle);
    // The size after the container's rotation, as it will be decoded.
    const std::int64_t width = heif_image_handle_get_width(handle.get());
    const std::int64_t height = heif_image_handle_get_height(handle.get());
    if (width <= 0 || height <= 0 || width * height > MaxPixels ||
        width * height > ImageHEIF::MaxPixelsPerByte * static_cast<std::int64_t>(size))
        return false;
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(
        heif_decoding_options_alloc());
    if (!options || request.stopped())
        return false;
    heif_image* rawImage = nullptr;
    if (heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          options.get())
            .code != heif_error_Ok)
        return false;
    const std::unique_ptr<heif_image, ImageDeleter> image(rawImage);
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int h = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (plane == nullptr || w <= 0 || h <= 0 || std::int64_t{w} * h > MaxPixels ||
        heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8 ||
        stride < w * (alpha ? 4 : 3))
        return false;
    const int denominator = ScaleDenominator(w, h, request.divisor, request.sceneWidth);
    if (!Average(plane, stride, w, h, alpha, denominator, request))
        return false;
    SetSourceSize(w, h); // already upright: the library applied the container's turns
    return true;
}

// Each output pixel is the mean of the d x d input pixels it covers (fewer at the right and
// bottom edges); pixels with alpha are blended before they are averaged. Rows go bottom-up.
bool HeifPicture::Average(const std::uint8_t* plane, int stride, int width, int height, bool alpha,
                          int d, const HeifRequest& request) {
    const bool swap = request.swap;
    const int outWidth = (width + d - 1) / d;
    const int outHeight = (height + d - 1) / d;
    if (!Allocate24(outWidth, outHeight))
        return false;
    m_bSwap = swap;
    const int step = alpha ? 4 : 3;
    std::vector<unsigned> sums(static_cast<std::size_t>(outWidth) * 3);
    for (int oy = 0; oy < outHeight; ++oy) {
        // An ending run wants nothing of the picture any more.
        if (request.stopped())
            return false;
        std::fill(sums.begin(), sums.end(), 0u);
        const int y0 = oy * d, y1 = std::min(height, y0 + d);
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* p = plane + static_cast<std::ptrdiff_t>(y) * stride;
            for (int x = 0; x < width; ++x, p += step) {
                std::uint8_t rgb[3] = {p[0], p[1], p[2]};
                if (alpha)
                    Blend(p, rgb, false);
                unsigned* s = sums.data() + static_cast<std::size_t>(x / d) * 3;
                s[0] += rgb[0];
                s[1] += rgb[1];
                s[2] += rgb[2];
            }
        }
        std::uint8_t* out = Row(outHeight - 1 - oy);
        for (int ox = 0; ox < outWidth; ++ox, out += 3) {
            const unsigned n =
                static_cast<unsigned>((y1 - y0) * (std::min(width, ox * d + d) - ox * d));
            const unsigned* s = sums.data() + static_cast<std::size_t>(ox) * 3;
            const auto mean = [n](unsigned sum) {
                return static_cast<std::uint8_t>((sum + n / 2) / n);
            };
            out[swap ? 2 : 0] = mean(s[0]);
            out[1] = mean(s[1]);
            out[swap ? 0 : 2] = mean(s[2]);
        }
    }
    return true;
}

extern "C" __attribute__((visibility("default"))) bool
kinetora_heif_decode(const HeifRequest* request, HeifPicture* picture) {
    return request != nullptr && request->stopped != nullptr && picture != nullptr &&
           picture->Make(*request);
}
