#pragma once

#include "platform/core/CString.h"

#include <cstdint>
#include <vector>

// One line of the printed parameter report: a row of cells, each an attribute and a text.
class ResPrtLine {
  public:
    struct Cell {
        std::int32_t attr;
        CString text;
    };

    // The attributes of label cells (21) and value cells (36).
    static int m_nLabelAttr;
    static int m_nValueAttr;

    ResPrtLine() = default;
    // A label cell followed by a value cell.
    ResPrtLine(const CString &label, const CString &value);

    void AddCell(int attr, const CString &text);
    const std::vector<Cell> &GetCells() const { return m_cells; }

  private:
    std::vector<Cell> m_cells;
};
