#pragma once

// The address of a cell: row, then column. A negative row or column names no cell.
class CCellID {
  public:
    int row;
    int col;

    constexpr explicit CCellID(int nRow = -1, int nCol = -1) : row(nRow), col(nCol) {}

    constexpr bool IsValid() const { return row >= 0 && col >= 0; }
    friend constexpr bool operator==(const CCellID &, const CCellID &) = default;
};
