#include "config/PreviewDialog.h"

#include "images/ImageBMP.h"
#include "images/ImageJPEG.h"
#include "images/ImagePNG.h"
#include "images/tvFolder.h"

#include <cctype>
#include <cstdint>

namespace {

std::string LowerExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

std::unique_ptr<Image> Load(const std::string& path, const std::string& extension) {
    if (extension == "bmp")
        return std::make_unique<ImageBMP>(path);
    if (extension == "png")
        return std::make_unique<ImagePNG>(path);
    // Full size, pixels as a bitmap holds them: no scene to fit.
    return std::make_unique<ImageJPEG>(path, 1, true, 0);
}

// a * b / c without overflow; the operands are picture and area sizes, all positive.
int Scale(int a, int b, int c) {
    return static_cast<int>(static_cast<std::int64_t>(a) * b / c);
}

} // namespace

CPreviewDialog::CPreviewDialog(std::string folder) : m_Folder(std::move(folder)) {
    tvFolder listing(m_Folder);
    listing.AddFiles(Patterns);
    listing.ListFiles(m_Files, true, true);
}

CPreviewDialog::~CPreviewDialog() = default;

void CPreviewDialog::Select(int index) {
    m_pImage.reset();
    if (index < 0 || index >= static_cast<int>(m_Files.size())) {
        m_Status = ReadyText;
        return;
    }
    const std::string& name = m_Files[static_cast<std::size_t>(index)];
    m_pImage = Load(m_Folder + "/" + name, LowerExtension(name));
    if (m_pImage->IsValid())
        m_Status = "Size " + std::to_string(m_pImage->Width()) + " x " +
                   std::to_string(m_pImage->Height());
    else
        m_Status = LoadFailedText;
}

const Image* CPreviewDialog::Current() const {
    return m_pImage && m_pImage->IsValid() ? m_pImage.get() : nullptr;
}

CPreviewDialog::Size CPreviewDialog::FitSize(int w, int h, int areaWidth, int areaHeight) {
    if (w <= 0 || h <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return {};
    if (w <= areaWidth && h <= areaHeight)
        return {w, h};
    Size size;
    if (h >= w) {
        size = {Scale(w, areaHeight, h), areaHeight};
        if (size.width > areaWidth)
            size = {areaWidth, Scale(h, areaWidth, w)};
    } else {
        size = {areaWidth, Scale(h, areaWidth, w)};
        if (size.height > areaHeight)
            size = {Scale(w, areaHeight, h), areaHeight};
    }
    return size;
}

CPreviewDialog::Rect CPreviewDialog::PreviewArea(const Rect& dialog, const Rect& list,
                                                 const Rect& status) {
    const int left = list.right - dialog.left + 4;
    const int top = list.top - dialog.top - 20;
    const int width = dialog.right - list.right - 8;
    const int height = status.top - list.top - 4;
    return {left, top, left + width, top + height};
}
