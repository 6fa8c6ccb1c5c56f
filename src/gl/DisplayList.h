#pragma once

#include <GL/gl.h>

// One OpenGL display list name, deleted with the object. Needs a current context to be made
// and (when valid) to be destroyed. A failed glGenLists leaves it invalid: callers then draw
// immediately instead of compiling.
class DisplayList {
public:
    DisplayList() = default;
    ~DisplayList() { Reset(); }

    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;
    DisplayList(DisplayList&& other) noexcept : m_Id(other.m_Id) { other.m_Id = 0; }
    DisplayList& operator=(DisplayList&& other) noexcept {
        if (this != &other) {
            Reset();
            m_Id = other.m_Id;
            other.m_Id = 0;
        }
        return *this;
    }

    static DisplayList Generate() {
        DisplayList list;
        list.m_Id = glGenLists(1);
        return list;
    }

    bool IsValid() const { return m_Id != 0; }
    GLuint Id() const { return m_Id; }

    void Call() const {
        if (m_Id != 0)
            glCallList(m_Id);
    }

    void Reset() {
        if (m_Id != 0)
            glDeleteLists(m_Id, 1);
        m_Id = 0;
    }

private:
    GLuint m_Id = 0;
};
