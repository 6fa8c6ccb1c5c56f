#include "config/PreviewDialog.h"

#include "images/ImageFile.h"
#include "images/tvFolder.h"

#include <cstdint>

namespace {

// a * b / c without overflow; the operands are picture and area sizes, all positive.
int Scale(int a, int b, int c) {
    return static_cast<int>(static_cast<std::int64_t>(a) * b / c);
}

} // namespace

CPreviewDialog::CPreviewDialog(std::string folder, int screenWidth)
    : m_Folder(std::move(folder)), m_ScreenWidth(screenWidth) {
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
    // The saver's own rule (a picture wider than the screen decodes smaller), so both take
    // and refuse the same pictures; pixels as a bitmap holds them.
    m_pImage = DecodeImageFile(m_Folder + "/" + name, true, m_ScreenWidth);
    if (!m_pImage->IsValid()) {
        m_Status = LoadFailedText;
        return;
    }
    m_Status = "Size " + std::to_string(m_pImage->SourceWidth()) + " x " +
               std::to_string(m_pImage->SourceHeight());
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
