#include "host/x11/FpsOverlay.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kFirstChar = 32;
constexpr int kCharCount = 96;

} // namespace

bool FpsOverlay::LoadFont(Display* display) {
    m_bFontTried = true;
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    if (font == nullptr)
        return false;
    const GLuint base = glGenLists(kCharCount);
    if (base != 0) {
        glXUseXFont(font->fid, kFirstChar, kCharCount, static_cast<int>(base));
        m_FontBase = base;
    }
    XFreeFont(display, font);
    return m_FontBase != 0;
}

void FpsOverlay::Draw(Display* display, int width, int height) {
    const auto now = std::chrono::steady_clock::now();
    if (m_Frames == 0 && m_Text[0] == '\0')
        m_Since = now;
    ++m_Frames;
    const std::chrono::duration<double> span = now - m_Since;
    if (span.count() >= 1.0) {
        std::snprintf(m_Text, sizeof m_Text, "%.1f fps", (m_Frames - 1) / span.count());
        m_Frames = 1;
        m_Since = now;
    }
    if (m_Text[0] == '\0' || width <= 0 || height <= 0)
        return;
    if (m_FontBase == 0 && (m_bFontTried || !LoadFont(display)))
        return;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (const GLenum cap :
         {GL_LIGHTING, GL_DEPTH_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D, GL_FOG, GL_BLEND, GL_CULL_FACE})
        glDisable(cap);
    glColor3f(1.0f, 1.0f, 0.0f);
    glRasterPos2i(8, 8);
    glListBase(m_FontBase - kFirstChar);
    glCallLists(static_cast<GLsizei>(std::strlen(m_Text)), GL_UNSIGNED_BYTE, m_Text);
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
