#include "host/offscreen/OffscreenHost.h"

#include <GL/gl.h>

#include <cstring>

OffscreenHost::OffscreenHost(int width, int height, int frameLimit)
    : m_Width(width), m_Height(height), m_FrameLimit(frameLimit) {}

OffscreenHost::~OffscreenHost() {
    ReleaseGLContext();
}

void OffscreenHost::WaitForInput(int) {}

void OffscreenHost::SwapBuffers() {
    // Reading back waits for the frame. Without it, wait all the same: a pbuffer swap does
    // not, and a software rasteriser then falls behind by dozens of queued frames (a window's
    // swap bounds the queue the same way).
    if (m_bReadBack)
        ReadFrameInto(m_BottomUp, m_LastFrame);
    else
        glFinish();
    if (m_FrameSink && (m_FrameLimit == 0 || m_FramesSwapped < m_FrameLimit))
        m_FrameSink(m_LastFrame);
    SwapSurface();
    ++m_FramesSwapped;
}

std::vector<unsigned char> OffscreenHost::ReadFrame() const {
    std::vector<unsigned char> bottomUp;
    std::vector<unsigned char> topDown;
    ReadFrameInto(bottomUp, topDown);
    return topDown;
}

// Resizing to the size they already have, the buffers of a run are allocated once.
void OffscreenHost::ReadFrameInto(std::vector<unsigned char>& bottomUp,
                                  std::vector<unsigned char>& topDown) const {
    const size_t stride = static_cast<size_t>(m_Width) * 3;
    bottomUp.resize(stride * static_cast<size_t>(m_Height));
    topDown.resize(bottomUp.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_Width, m_Height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = 0; y < m_Height; ++y) {
        const auto* from = bottomUp.data() + static_cast<size_t>(m_Height - 1 - y) * stride;
        std::memcpy(topDown.data() + static_cast<size_t>(y) * stride, from, stride);
    }
}
