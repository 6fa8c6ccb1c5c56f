#pragma once

#include <cstddef>
#include <vector>

// Rows x columns of int, row-major: cell (r, c) is at c + r * columns.
class IntGrid {
public:
    IntGrid() = default;
    IntGrid(int rows, int columns) { Resize(rows, columns); }

    // Reallocates (cells zeroed) only when the size differs.
    void Resize(int rows, int columns) {
        if (rows == m_Rows && columns == m_Columns)
            return;
        m_Rows = rows > 0 ? rows : 0;
        m_Columns = columns > 0 ? columns : 0;
        m_Cells.assign(static_cast<std::size_t>(m_Rows) * static_cast<std::size_t>(m_Columns), 0);
    }

    int Rows() const { return m_Rows; }
    int Columns() const { return m_Columns; }
    bool Empty() const { return m_Cells.empty(); }

    int& operator()(int r, int c) { return m_Cells[Index(r, c)]; }
    int operator()(int r, int c) const { return m_Cells[Index(r, c)]; }

    int* Data() { return m_Cells.data(); }
    const int* Data() const { return m_Cells.data(); }

private:
    std::size_t Index(int r, int c) const {
        return static_cast<std::size_t>(c) +
               static_cast<std::size_t>(r) * static_cast<std::size_t>(m_Columns);
    }

    int m_Rows = 0;
    int m_Columns = 0;
    std::vector<int> m_Cells;
};
