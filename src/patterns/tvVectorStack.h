#pragma once

#include <cassert>
#include <vector>

// A value stack of fixed capacity over a vector allocated once, so the expression patterns
// run their programs per pixel without allocating. The caller keeps within the capacity
// (Push asserts it); Top needs a non-empty stack.
template <typename T> class tvVectorStack {
public:
    explicit tvVectorStack(int capacity) : m_Items(capacity > 0 ? capacity : 0) {}

    void Push(T value) {
        assert(m_Top + 1 < Capacity());
        m_Items[++m_Top] = value;
        if (m_Top + 1 > m_Peak)
            m_Peak = m_Top + 1;
    }
    void Pop() { --m_Top; }
    T& Top() { return m_Items[m_Top]; }
    const T& Top() const { return m_Items[m_Top]; }
    int Size() const { return m_Top + 1; }
    bool IsEmpty() const { return m_Top < 0; }
    void Clear() { m_Top = -1; }

    int Capacity() const { return static_cast<int>(m_Items.size()); }
    // The largest size reached since construction (Clear keeps it): tests read it to show
    // that no program outgrows the capacity.
    int Peak() const { return m_Peak; }

private:
    std::vector<T> m_Items;
    int m_Top = -1;
    int m_Peak = 0;
};
