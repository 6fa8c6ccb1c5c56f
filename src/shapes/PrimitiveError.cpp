#include "shapes/PrimitiveError.h"

#include "core/tvLibrary.h"

#include <cstdlib>

namespace {
bool gMessageBoxes = true;
}

namespace PrimitiveError {

void SetMessageBoxes(bool enabled) {
    gMessageBoxes = enabled;
}

bool MessageBoxes() {
    return gMessageBoxes;
}

void Report(const char* message) {
    if (gMessageBoxes)
        tvLibrary::Error(message);
    std::exit(1);
}

} // namespace PrimitiveError
