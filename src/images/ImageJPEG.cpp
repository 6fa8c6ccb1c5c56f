#include "images/ImageJPEG.h"

#include "core/StopRequest.h"
#include "images/ExifOrientation.h"
#include "images/ScaleDenominator.h"

#include <algorithm>
#include <span>

#ifdef KINETORA_NO_DECODERS

// Built without the JPEG library: every picture reads as not valid.
ImageJPEG::ImageJPEG(const std::string&, int, bool, int) {}
ImageJPEG::ImageJPEG(std::FILE*, int, bool, int) {}

#else

#include <csetjmp>
// The library's header needs FILE and size_t declared first.
#include <cstddef>
#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr cinfo) {
    // The error manager is the first member, so the library's pointer is ours.
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings are not shown. Running out of data (the file ends, or a marker comes before the
// scan is complete) is treated as an error: a truncated file would otherwise be padded out
// with grey, and a file that only claims a huge size would be decoded in full from nothing.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        ++cinfo->err->num_warnings;
        const int code = cinfo->err->msg_code;
        if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)
            Fail(cinfo);
    }
}

// A progressive file may hold any number of scans, each decoded over all blocks of its
// components: each new scan is counted before any of its rows is decoded.
struct ScanBudget {
    jpeg_progress_mgr pub; // first, so the library's pointer is ours
    std::int64_t blocksLeft = 0;
    int scan = 0;
};

void LimitScans(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor)
        return;
    // Called every few rows of every pass: an ending run gives the picture up.
    if (StopRequest::Poll())
        Fail(cinfo);
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* budget = reinterpret_cast<ScanBudget*>(cinfo->progress);
    if (d->input_scan_number == budget->scan)
        return;
    budget->scan = d->input_scan_number;
    if (budget->scan > ImageJPEG::MaxScans)
        Fail(cinfo);
    for (int i = 0; i < d->comps_in_scan; ++i) {
        const jpeg_component_info* c = d->cur_comp_info[i];
        budget->blocksLeft -= std::int64_t{c->width_in_blocks} * c->height_in_blocks;
    }
    if (budget->blocksLeft < 0)
        Fail(cinfo);
}

// Owns the decompressor, so it is destroyed on every way out, including the error exit.
struct Session {
    jpeg_decompress_struct cinfo{};
    ErrorManager error{};
    ScanBudget progress{};
    bool created = false;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

} // namespace

ImageJPEG::ImageJPEG(const std::string& path, int divisor, bool swap, int sceneWidth) {
    const FileHandle file = OpenForReading(path);
    if (file)
        Decode(file.get(), divisor, swap, sceneWidth);
}

ImageJPEG::ImageJPEG(std::FILE* file, int divisor, bool swap, int sceneWidth) {
    if (file)
        Decode(file, divisor, swap, sceneWidth);
}

namespace {

// Runs the library up to the point where the output size is known, and checks that the
// picture is one we decode. Returns false on any refusal; library errors jump out.
bool ReadHeader(Session& s, std::FILE* file, int divisor, int sceneWidth) {
    const std::int64_t fileBytes = BytesLeft(file);
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    s.cinfo.mem->max_memory_to_use = ImageJPEG::MaxDecoderMemory;
    s.progress.pub.progress_monitor = LimitScans;
    s.progress.blocksLeft = ImageJPEG::MaxScanBlocksPerByte * fileBytes;
    s.cinfo.progress = &s.progress.pub;
    jpeg_stdio_src(&s.cinfo, file);
    // The Exif block, for the orientation: APP1 segments are kept (each at most 64 KB).
    jpeg_save_markers(&s.cinfo, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&s.cinfo, TRUE) != JPEG_HEADER_OK ||
        std::int64_t{s.cinfo.image_width} * s.cinfo.image_height >
            ImageJPEG::MaxPixelsPerByte * fileBytes)
        return false;
    // Grey and colour pictures come out as RGB; CMYK (and YCCK) as CMYK, converted by hand.
    switch (s.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        s.cinfo.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        s.cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        return false;
    }
    s.cinfo.scale_num = 1;
    s.cinfo.scale_denom = static_cast<unsigned>(
        ScaleDenominator(static_cast<long>(s.cinfo.image_width),
                         static_cast<long>(s.cinfo.image_height), divisor, sceneWidth));
    jpeg_calc_output_dimensions(&s.cinfo);
    return std::int64_t{s.cinfo.output_width} * s.cinfo.output_height <= Image::MaxPixels;
}

} // namespace

// The library's error exit jumps back here across its own frames and ReadHeader's: none of
// them may hold an object with a destructor. Session lives in this frame and outlives the jump.
void ImageJPEG::Decode(std::FILE* file, int divisor, bool swap, int sceneWidth) {
    m_bSwap = swap;
    Session s;
    s.cinfo.err = jpeg_std_error(&s.error.pub);
    s.error.pub.error_exit = Fail;
    s.error.pub.emit_message = EmitMessage;
    if (setjmp(s.error.jump) != 0) {
        Clear();
        return;
    }
    if (!ReadHeader(s, file, divisor, sceneWidth)) {
        Clear();
        return;
    }
    // Read now: the end of decompression frees the saved markers.
    const int orientation = Orientation(s.cinfo);
    if (!Allocate24(static_cast<int>(s.cinfo.output_width),
                    static_cast<int>(s.cinfo.output_height)) ||
        !jpeg_start_decompress(&s.cinfo) ||
        s.cinfo.output_components != (s.cinfo.out_color_space == JCS_CMYK ? 4 : 3) ||
        !ReadRows(&s.cinfo) || !jpeg_finish_decompress(&s.cinfo)) {
        Clear();
        return;
    }
    if (swap)
        SwapRedBlue();
    if (!Orient(orientation)) {
        Clear();
        return;
    }
    // The picture's own size, upright: orientations 5 to 8 turn it a quarter.
    const bool quarter = orientation >= 5 && orientation <= 8;
    SetSourceSize(static_cast<int>(quarter ? s.cinfo.image_height : s.cinfo.image_width),
                  static_cast<int>(quarter ? s.cinfo.image_width : s.cinfo.image_height));
    m_bValid = true;
}

int ImageJPEG::Orientation(const jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
        const std::span<const std::uint8_t> data(m->data, m->data_length);
        static constexpr std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
        if (m->marker == JPEG_APP0 + 1 && data.size() >= 6 && std::equal(kExif, kExif + 6, m->data))
            return ExifOrientation(data);
    }
    return 1;
}

namespace {

// CMYK as the library gives it. Adobe's files (nearly all) hold the inks inverted, 255 for
// none; others hold them plain.
void CmykToRgb(const JSAMPLE* cmyk, JDIMENSION width, bool inverted, std::uint8_t* out) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, out += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned ink = inverted ? cmyk[c] : 255u - cmyk[c];
            out[c] = static_cast<std::uint8_t>((ink * k + 127) / 255);
        }
    }
}

} // namespace

// The first scanline is the top of the picture: it goes to the last row of the block.
bool ImageJPEG::ReadRows(jpeg_decompress_struct* cinfo) {
    const bool cmyk = cinfo->out_color_space == JCS_CMYK;
    const JDIMENSION rowBytes = cinfo->output_width * 3;
    JSAMPARRAY buffer = (*cinfo->mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
        cinfo->output_width * static_cast<JDIMENSION>(cinfo->output_components), 1);
    for (int y = m_Height - 1; y >= 0; --y) {
        if (StopRequest::Poll() || jpeg_read_scanlines(cinfo, buffer, 1) != 1)
            return false;
        if (cmyk)
            CmykToRgb(buffer[0], cinfo->output_width, cinfo->saw_Adobe_marker, Row(y));
        else
            std::copy(buffer[0], buffer[0] + rowBytes, Row(y));
    }
    return true;
}

#endif // KINETORA_NO_DECODERS
