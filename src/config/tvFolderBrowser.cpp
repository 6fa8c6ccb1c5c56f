#include "config/tvFolderBrowser.h"

bool tvFolderBrowser::Browse(const std::string& title) {
    std::string path;
    const bool chosen =
        Pick(title.empty() ? "Choose a folder containing your files:" : title, path) &&
        !path.empty();
    if (chosen)
        m_Path = path;
    return chosen;
}
