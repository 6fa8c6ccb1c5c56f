#include "images/ImageList.h"

#include "core/Random.h"
#include "core/RegSettings.h"
#include "core/StopRequest.h"
#include "images/ImageFile.h"
#include "images/tvFolder.h"

#include <algorithm>
#include <cstdint>

std::vector<std::string> ImageList::List(const std::vector<std::string>& folders) {
    std::vector<std::string> images;
    for (const std::string& path : folders) {
        tvFolder folder(path);
        for (const char* pattern : ImagePatterns)
            folder.AddFiles(pattern);
        folder.AppendTo(images);
        // A part of the list would pick another picture than the whole: an ending run
        // gets none.
        if (StopRequest::Poll())
            return {};
    }
    std::sort(images.begin(), images.end());
    return images;
}

std::string ImageList::NextImagePath(Random& rand, RegSettings& settings,
                                     const std::vector<std::string>& images) {
    if (images.empty())
        return std::string();
    const int n = static_cast<int>(images.size());
    int index = std::min(settings.ImageNext(), n - 1);
    if (settings.ImageOrder() == 0)
        index = rand.below(n);
    // A stored value below zero (a hand-edited file) starts from the first image.
    index = std::max(index, 0);
    const std::string& path = images[static_cast<std::size_t>(index)];
    if (settings.ImageOrder() == 1) {
        settings.SetImageNext(static_cast<int>((std::int64_t{settings.ImageNext()} + 1) % n));
        settings.SaveImageNext();
    }
    return path;
}
