#include "images/ImageWebP.h"

#ifdef KINETORA_NO_WEBP

// Built without the WebP library: every picture reads as not valid.
ImageWebP::ImageWebP(const std::string&, int, bool, int) {}
ImageWebP::ImageWebP(std::FILE*, int, bool, int) {}

#else

#include "core/StopRequest.h"
#include "images/ExifOrientation.h"
#include "images/ScaleDenominator.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace {

// Bytes handed to the decoder between two questions whether to go on.
constexpr std::size_t kPiece = 64 * 1024;

struct DemuxDeleter {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};
struct DecoderDeleter {
    void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};

// The first frame's bitstream and the orientation of the file's EXIF chunk.
struct Frame {
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    int orientation = 1;
};

bool FirstFrame(const WebPDemuxer* demux, Frame& frame) {
    WebPIterator it;
    if (!WebPDemuxGetFrame(demux, 1, &it))
        return false;
    frame.bytes = it.fragment.bytes;
    frame.size = it.fragment.size;
    WebPDemuxReleaseIterator(&it);
    WebPChunkIterator chunk;
    if (WebPDemuxGetChunk(demux, "EXIF", 1, &chunk)) {
        frame.orientation = ExifOrientation({chunk.chunk.bytes, chunk.chunk.size});
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    return frame.bytes != nullptr && frame.size > 0;
}

// Feeds the bitstream in pieces; false on a decoder error, a truncated stream or a stop.
bool DecodeInPieces(const Frame& frame, WebPDecoderConfig& config) {
    const std::unique_ptr<WebPIDecoder, DecoderDeleter> decoder(WebPIDecode(nullptr, 0, &config));
    if (!decoder)
        return false;
    for (std::size_t done = 0; done < frame.size; done += kPiece) {
        if (StopRequest::Poll())
            return false;
        const std::size_t n = std::min(kPiece, frame.size - done);
        const VP8StatusCode status = WebPIAppend(decoder.get(), frame.bytes + done, n);
        if (status == VP8_STATUS_OK)
            return true;
        if (status != VP8_STATUS_SUSPENDED)
            return false;
    }
    return false;
}

} // namespace

ImageWebP::ImageWebP(const std::string& path, int divisor, bool swap, int sceneWidth) {
    const FileHandle file = OpenForReading(path);
    if (file)
        Decode(file.get(), divisor, swap, sceneWidth);
}

ImageWebP::ImageWebP(std::FILE* file, int divisor, bool swap, int sceneWidth) {
    if (file)
        Decode(file, divisor, swap, sceneWidth);
}

void ImageWebP::Decode(std::FILE* file, int divisor, bool swap, int sceneWidth) {
    m_bSwap = swap;
    std::vector<std::uint8_t> bytes;
    if (!ReadRest(file, MaxFileBytes, bytes))
        return;
    const WebPData data{bytes.data(), bytes.size()};
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    Frame frame;
    WebPDecoderConfig config;
    if (!demux || !FirstFrame(demux.get(), frame) || !WebPInitDecoderConfig(&config) ||
        WebPGetFeatures(frame.bytes, frame.size, &config.input) != VP8_STATUS_OK)
        return;
    const std::int64_t width = config.input.width, height = config.input.height;
    if (width <= 0 || height <= 0 || width * height > MaxPixelsPerByte * std::ssize(bytes))
        return;
    const int denominator =
        ScaleDenominator(static_cast<long>(width), static_cast<long>(height), divisor, sceneWidth);
    const int outWidth = static_cast<int>((width + denominator - 1) / denominator);
    const int outHeight = static_cast<int>((height + denominator - 1) / denominator);
    if (!Allocate24(outWidth, outHeight))
        return;
    if (denominator > 1) {
        config.options.use_scaling = 1;
        config.options.scaled_width = outWidth;
        config.options.scaled_height = outHeight;
    }
    // Opaque pictures are decoded straight into the bitmap's rows, top row first; those
    // with alpha into a buffer of their own, then blended.
    const bool alpha = config.input.has_alpha != 0;
    std::vector<std::uint8_t> rgba;
    WebPDecBuffer& out = config.output;
    out.is_external_memory = 1;
    try {
        if (alpha)
            rgba.resize(static_cast<std::size_t>(outWidth) * static_cast<std::size_t>(outHeight) *
                        4);
    } catch (const std::bad_alloc&) {
        Clear();
        return;
    }
    out.colorspace = alpha ? MODE_RGBA : (swap ? MODE_BGR : MODE_RGB);
    out.u.RGBA.rgba = alpha ? rgba.data() : MutableBits();
    out.u.RGBA.stride = alpha ? outWidth * 4 : static_cast<int>(Stride());
    out.u.RGBA.size = alpha ? rgba.size() : static_cast<std::size_t>(Stride()) * outHeight;
    const bool decoded = DecodeInPieces(frame, config);
    WebPFreeDecBuffer(&out);
    if (!decoded) {
        Clear();
        return;
    }
    if (alpha) {
        const std::uint8_t* from = rgba.data();
        for (int y = 0; y < outHeight; ++y) {
            std::uint8_t* to = Row(y);
            for (int x = 0; x < outWidth; ++x, from += 4, to += 3)
                Blend(from, to, swap);
        }
    }
    FlipRows();
    if (!Orient(frame.orientation)) {
        Clear();
        return;
    }
    const bool quarter = frame.orientation >= 5 && frame.orientation <= 8;
    SetSourceSize(static_cast<int>(quarter ? height : width),
                  static_cast<int>(quarter ? width : height));
    m_bValid = true;
}

#endif // KINETORA_NO_WEBP
