#include "images/ExifOrientation.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int orientation = ExifOrientation({data, size});
    if (orientation < 1 || orientation > 8)
        std::abort();
    return 0;
}
