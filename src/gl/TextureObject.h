#pragma once

#include <GL/gl.h>

// One OpenGL texture object name, deleted with the object. It belongs to the context that
// was current when it was made, which must be current again when it is destroyed. Making
// and filling one runs at once: never while a display list is being compiled, where the
// bind would be recorded into the list instead of done.
class TextureObject {
public:
    TextureObject() = default;
    ~TextureObject() { Reset(); }

    TextureObject(const TextureObject&) = delete;
    TextureObject& operator=(const TextureObject&) = delete;
    TextureObject(TextureObject&& other) noexcept : m_Id(other.m_Id) { other.m_Id = 0; }
    TextureObject& operator=(TextureObject&& other) noexcept {
        if (this != &other) {
            Reset();
            m_Id = other.m_Id;
            other.m_Id = 0;
        }
        return *this;
    }

    // A new name, not yet bound (invalid when GL gave none).
    static TextureObject Generate() {
        TextureObject texture;
        glGenTextures(1, &texture.m_Id);
        return texture;
    }

    bool IsValid() const { return m_Id != 0; }
    GLuint Id() const { return m_Id; }

    // Binds it to GL_TEXTURE_2D (recorded when a list is being compiled).
    void Bind() const { glBindTexture(GL_TEXTURE_2D, m_Id); }

    void Reset() {
        if (m_Id != 0)
            glDeleteTextures(1, &m_Id);
        m_Id = 0;
    }

private:
    GLuint m_Id = 0;
};
