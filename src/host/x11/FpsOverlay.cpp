#include "host/x11/FpsOverlay.h"

#include "app/SaverApp.h"
#include "core/ClassName.h"
#include "core/RegSettings.h"
#include "motion/Mover.h"
#include "scene/Saver.h"
#include "scene/SceneWnd.h"
#include "shapes/Shape.h"

#include <GL/gl.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <typeinfo>
#include <vector>

namespace {

constexpr int kFirstChar = 32;
constexpr int kCharCount = 96;
constexpr int kMargin = 8;  // from the window's corner to the box
constexpr int kPadding = 4; // from the box's edge to the text

} // namespace

std::string FpsOverlay::SceneText(const Saver* scene) {
    if (scene == nullptr || scene->Shapes().empty())
        return std::string();
    const Shape& prototype = *scene->Shapes().front();
    std::string text = ClassName(typeid(prototype));
    if (const Mover* mover = prototype.GetMover())
        text += ", " + ClassName(typeid(*mover));
    return text + " x " + std::to_string(scene->Shapes().size());
}

std::string FpsOverlay::BudgetText(int budget, bool fixed, int scenePolygons) {
    std::string text = std::to_string(budget) + (fixed ? " polygons (fixed)" : " polygons");
    if (scenePolygons > 0)
        text += ", scene " + std::to_string(scenePolygons);
    return text;
}

namespace {

// The glyph's metrics; a font without per-character ones gives every glyph its largest.
XCharStruct Glyph(const XFontStruct& font, unsigned c) {
    if (font.per_char == nullptr)
        return font.max_bounds;
    if (font.min_byte1 != 0 || c < font.min_char_or_byte2 || c > font.max_char_or_byte2)
        return XCharStruct{};
    return font.per_char[c - font.min_char_or_byte2];
}

// One display list per character, each a bitmap of the glyph drawn by the server into a
// one-bit pixmap, read back and turned bottom-up as glBitmap wants it.
void CompileGlyphs(Display* display, const XFontStruct& font, GLuint base) {
    const int cellWidth = std::max(font.max_bounds.rbearing - font.min_bounds.lbearing, 1);
    const int cellHeight = std::max(font.max_bounds.ascent + font.max_bounds.descent, 1);
    const Pixmap pixmap =
        XCreatePixmap(display, DefaultRootWindow(display), static_cast<unsigned>(cellWidth),
                      static_cast<unsigned>(cellHeight), 1);
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XSetFont(display, gc, font.fid);
    std::vector<GLubyte> bits;
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    for (int i = 0; i < kCharCount; ++i) {
        const auto c = static_cast<unsigned>(kFirstChar + i);
        const XCharStruct glyph = Glyph(font, c);
        const int width = std::min(glyph.rbearing - glyph.lbearing, cellWidth);
        const int height = std::min(glyph.ascent + glyph.descent, cellHeight);
        glNewList(base + static_cast<GLuint>(i), GL_COMPILE);
        if (width > 0 && height > 0) {
            XSetForeground(display, gc, 0);
            XFillRectangle(display, pixmap, gc, 0, 0, static_cast<unsigned>(cellWidth),
                           static_cast<unsigned>(cellHeight));
            XSetForeground(display, gc, 1);
            const char text = static_cast<char>(c);
            XDrawString(display, pixmap, gc, -glyph.lbearing, glyph.ascent, &text, 1);
            XImage* image = XGetImage(display, pixmap, 0, 0, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 1, XYPixmap);
            const int rowBytes = (width + 7) / 8;
            bits.assign(static_cast<std::size_t>(rowBytes * height), 0);
            for (int y = 0; image != nullptr && y < height; ++y) {
                GLubyte* row = bits.data() + static_cast<std::ptrdiff_t>(height - 1 - y) * rowBytes;
                for (int x = 0; x < width; ++x)
                    if (XGetPixel(image, x, y) != 0)
                        row[x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
            }
            if (image != nullptr)
                XDestroyImage(image);
            glBitmap(width, height, static_cast<GLfloat>(-glyph.lbearing),
                     static_cast<GLfloat>(glyph.descent), glyph.width, 0.0f, bits.data());
        } else {
            glBitmap(0, 0, 0.0f, 0.0f, glyph.width, 0.0f, nullptr);
        }
        glEndList();
    }
    glPopClientAttrib();
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
}

} // namespace

bool FpsOverlay::LoadFont(Display* display) {
    m_bFontTried = true;
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    if (font == nullptr)
        return false;
    const GLuint base = glGenLists(kCharCount);
    if (base != 0) {
        CompileGlyphs(display, *font, base);
        m_FontBase = base;
        m_LineHeight = std::max(font->ascent + font->descent, 1);
        m_CharWidth = std::max<int>(font->max_bounds.width, 1);
        m_Descent = std::max(font->descent, 0);
    }
    XFreeFont(display, font);
    return m_FontBase != 0;
}

// The rate once a second; the budget and scene lines when a new scene starts (the only
// time they change, so frames in between allocate nothing).
void FpsOverlay::UpdateText() {
    const auto now = std::chrono::steady_clock::now();
    if (m_Frames == 0 && m_Rate[0] == '\0')
        m_Since = now;
    ++m_Frames;
    const std::chrono::duration<double> span = now - m_Since;
    if (span.count() >= 1.0) {
        std::snprintf(m_Rate, sizeof m_Rate, "%.1f fps", (m_Frames - 1) / span.count());
        m_Frames = 1;
        m_Since = now;
    }
    const Saver* scene = m_pWnd != nullptr ? m_pWnd->Scene() : nullptr;
    const long long start = scene != nullptr ? scene->StartClockMs() : -1;
    if (scene == m_pScene && start == m_SceneStart)
        return;
    m_pScene = scene;
    m_SceneStart = start;
    m_Scene = SceneText(scene);
    const RegSettings* settings = gApp.pSettings();
    m_Budget = settings != nullptr ? BudgetText(settings->Polygons(), settings->PolygonsFixed(),
                                                scene != nullptr ? scene->Polygons() : 0)
                                   : std::string();
}

void FpsOverlay::DrawBox(int lines, int columns) const {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.65f);
    glRecti(kMargin, kMargin, kMargin + 2 * kPadding + columns * m_CharWidth,
            kMargin + 2 * kPadding + lines * m_LineHeight);
    glDisable(GL_BLEND);
}

// Some servers' fonts give the blank no advance, so blanks move the raster position here.
void FpsOverlay::DrawLine(const char* line) const {
    for (; *line != '\0'; ++line) {
        const auto c = static_cast<unsigned char>(*line);
        if (c == ' ' || c < kFirstChar || c >= kFirstChar + kCharCount)
            glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(m_CharWidth), 0.0f, nullptr);
        else
            glCallList(m_FontBase + c - kFirstChar);
    }
}

void FpsOverlay::Draw(Display* display, int width, int height) {
    UpdateText();
    if (m_Rate[0] == '\0' || width <= 0 || height <= 0)
        return;
    if (m_FontBase == 0 && (m_bFontTried || !LoadFont(display)))
        return;

    // Bottom line first: the scene, the budget, then the rate on top.
    const char* lines[3] = {m_Scene.c_str(), m_Budget.c_str(), m_Rate};
    int count = 0;
    int columns = 0;
    for (const char* line : lines) {
        if (*line == '\0')
            continue;
        ++count;
        columns = std::max(columns, static_cast<int>(std::strlen(line)));
    }

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (const GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D, GL_FOG,
                             GL_BLEND, GL_CULL_FACE, GL_COLOR_MATERIAL})
        glDisable(cap);
    DrawBox(count, columns);
    glColor3f(1.0f, 1.0f, 0.0f);
    int row = 0;
    for (const char* line : lines) {
        if (*line == '\0')
            continue;
        // The baseline sits a descent's worth above the line's bottom.
        glRasterPos2i(kMargin + kPadding, kMargin + kPadding + row * m_LineHeight + m_Descent);
        DrawLine(line);
        ++row;
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void FpsOverlay::Release() {
    if (m_FontBase != 0)
        glDeleteLists(m_FontBase, kCharCount);
    m_FontBase = 0;
    m_bFontTried = false;
}
