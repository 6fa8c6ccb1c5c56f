// The tests link the HEIF decoding unit instead of loading the program's module.
#ifndef KINETORA_NO_HEIF

#include "images/ImageHEIF.h"

namespace {
HeifDecodeFunction Linked() {
    return kinetora_heif_decode;
}
const bool gInstalled = (ImageHEIF::SetDecoderSource(Linked), true);
} // namespace

#endif
