#pragma once

#include "pallomir/grid/core/CCellID.h"

// A rectangle of cells, both ends included: minimum row, minimum column, maximum row, maximum
// column. Valid when all four are not negative and no maximum lies below its minimum.
class CCellRange {
  public:
    constexpr CCellRange(int nMinRow = -1, int nMinCol = -1, int nMaxRow = -1, int nMaxCol = -1)
        : m_nMinRow(nMinRow), m_nMinCol(nMinCol), m_nMaxRow(nMaxRow), m_nMaxCol(nMaxCol) {}

    void Set(int nMinRow = -1, int nMinCol = -1, int nMaxRow = -1, int nMaxCol = -1);

    int GetMinRow() const { return m_nMinRow; }
    void SetMinRow(int row) { m_nMinRow = row; }
    int GetMinCol() const { return m_nMinCol; }
    void SetMinCol(int col) { m_nMinCol = col; }
    int GetMaxRow() const { return m_nMaxRow; }
    void SetMaxRow(int row) { m_nMaxRow = row; }
    int GetMaxCol() const { return m_nMaxCol; }
    void SetMaxCol(int col) { m_nMaxCol = col; }

    int GetRowSpan() const { return m_nMaxRow - m_nMinRow + 1; }
    int GetColSpan() const { return m_nMaxCol - m_nMinCol + 1; }
    int Count() const { return GetRowSpan() * GetColSpan(); }

    bool IsValid() const;
    bool InRange(int row, int col) const;
    bool InRange(const CCellID &cell) const { return InRange(cell.row, cell.col); }
    CCellID GetTopLeft() const { return CCellID(m_nMinRow, m_nMinCol); }
    // The larger minima and the smaller maxima of the two; the result may be invalid.
    CCellRange Intersect(const CCellRange &other) const;

    friend constexpr bool operator==(const CCellRange &, const CCellRange &) = default;

  private:
    int m_nMinRow;
    int m_nMinCol;
    int m_nMaxRow;
    int m_nMaxCol;
};
