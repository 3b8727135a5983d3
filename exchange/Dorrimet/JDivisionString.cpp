#include "exchange/Dorrimet/JDivisionString.h"

JDivisionString::JDivisionString(unsigned capacity, int mode) : DivisionString(capacity, mode) {}

int JDivisionString::setString(const char *line) {
    m_elmInfo.clear();
    return DivisionString::setString(line);
}

int JDivisionString::removeString() {
    m_elmInfo.clear();
    return DivisionString::removeString();
}

int JDivisionString::toTop() {
    const int result = DivisionString::toTop();
    if (result)
        m_elmInfo.clear();
    return result;
}

void JDivisionString::record(unsigned start) {
    if (m_elmInfoFlag)
        m_elmInfo.push_back(
            {static_cast<std::int32_t>(start), static_cast<std::int32_t>(m_fieldEnd - start)});
}

int JDivisionString::readString(unsigned max, char *out) {
    const unsigned start = m_position;
    const int result = DivisionString::readString(max, out);
    if (result)
        record(start);
    return result;
}

int JDivisionString::skip() {
    const unsigned start = m_position;
    const int result = DivisionString::skip();
    if (result)
        record(start);
    return result;
}

void JDivisionString::SetElmInfoFlag(bool on) { m_elmInfoFlag = on; }

const std::vector<JDivStrElmInfo> &JDivisionString::GetStrElmInfoVector() const {
    return m_elmInfo;
}

CString JDivisionString::GetBufferStr() const {
    return CString(m_buffer.data(), static_cast<int>(m_length));
}
