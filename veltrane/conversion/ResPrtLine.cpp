#include "veltrane/conversion/ResPrtLine.h"

int ResPrtLine::m_nLabelAttr = 21;
int ResPrtLine::m_nValueAttr = 36;

ResPrtLine::ResPrtLine(const CString &label, const CString &value) {
    AddCell(m_nLabelAttr, label);
    AddCell(m_nValueAttr, value);
}

void ResPrtLine::AddCell(int attr, const CString &text) {
    m_cells.push_back({static_cast<std::int32_t>(attr), text});
}
