#include "pallomir/grid/core/CCellRange.h"

#include <algorithm>

void CCellRange::Set(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol) {
    m_nMinRow = nMinRow;
    m_nMinCol = nMinCol;
    m_nMaxRow = nMaxRow;
    m_nMaxCol = nMaxCol;
}

bool CCellRange::IsValid() const {
    return m_nMinRow >= 0 && m_nMinCol >= 0 && m_nMaxRow >= 0 && m_nMaxCol >= 0 &&
           m_nMinRow <= m_nMaxRow && m_nMinCol <= m_nMaxCol;
}

bool CCellRange::InRange(int row, int col) const {
    return row >= m_nMinRow && row <= m_nMaxRow && col >= m_nMinCol && col <= m_nMaxCol;
}

CCellRange CCellRange::Intersect(const CCellRange &other) const {
    return CCellRange(std::max(m_nMinRow, other.m_nMinRow), std::max(m_nMinCol, other.m_nMinCol),
                      std::min(m_nMaxRow, other.m_nMaxRow), std::min(m_nMaxCol, other.m_nMaxCol));
}
