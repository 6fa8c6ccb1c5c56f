#pragma once

#include "images/ImageFile.h"

#include <memory>
#include <string>
#include <vector>

class Image;

// The image preview's behaviour, without widgets: the image files of one folder, the
// picture chosen from them with its status text, and where and how large it is drawn.
class CPreviewDialog {
public:
    static constexpr const char* Caption = "Images";
    static constexpr const char* CloseLabel = "&Close";
    static constexpr const char* ReadyText = "Select an image to view";
    static constexpr const char* LoadFailedText =
        "Could not load the image. Perhaps it is 256 color format, rather than 24-bit.";
    static constexpr const char* Patterns =
        "*.jpg *.jpeg *.bmp *.png *.webp" KINETORA_HEIF_PATTERNS;

    struct Size {
        int width = 0;
        int height = 0;
        bool operator==(const Size&) const = default;
    };
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    // A screen as wide as this when the host does not say.
    static constexpr int DefaultScreenWidth = 1920;

    // Lists the folder's image files (a missing folder lists none). Pictures are decoded as
    // a full-screen saver on a screen screenWidth pixels wide decodes them (a large JPEG at
    // 1/2, 1/4 or 1/8 of its size), so the preview shows what the saver can show.
    explicit CPreviewDialog(std::string folder, int screenWidth = DefaultScreenWidth);
    ~CPreviewDialog();
    CPreviewDialog(const CPreviewDialog&) = delete;
    CPreviewDialog& operator=(const CPreviewDialog&) = delete;

    const std::string& Folder() const { return m_Folder; }
    // The file names, extensions kept, duplicates kept.
    const std::vector<std::string>& Files() const { return m_Files; }

    // Loads the file at index by its extension (FormatFor) and sets the status text, which
    // gives the file's own size; an index outside the list drops the picture.
    void Select(int index);
    const std::string& Status() const { return m_Status; }
    // The picture to draw, or null when none is loaded or it could not be read.
    const Image* Current() const;

    // The drawn size of a w x h picture in an areaWidth x areaHeight area: natural size when
    // it fits, else scaled to fit with its proportions kept, in integer arithmetic (the
    // longer side takes the area's extent first). Empty for an empty picture or area.
    static Size FitSize(int w, int h, int areaWidth, int areaHeight);

    // The drawing area right of the file list, from the window rectangles of the dialog,
    // the list and the status line (screen coordinates), in the dialog's coordinates. The
    // 20 pixels taken off the top stand for the dialog's caption.
    static Rect PreviewArea(const Rect& dialog, const Rect& list, const Rect& status);

private:
    std::string m_Folder;
    int m_ScreenWidth;
    std::vector<std::string> m_Files;
    std::string m_Status = ReadyText;
    std::unique_ptr<Image> m_pImage;
};
