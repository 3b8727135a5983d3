#include "exchange/Pomtrek/DivisionString.h"

#include "platform/core/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// An optional sign, then decimal digits (a real also one "."), at least one digit.
bool isNumberText(const char *s, bool real) {
    if (*s == '+' || *s == '-')
        ++s;
    bool digit = false;
    bool point = false;
    for (; *s; ++s) {
        if (*s >= '0' && *s <= '9')
            digit = true;
        else if (real && *s == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

constexpr unsigned kNumberMax = DivisionString::NUMBER_MAX;
constexpr unsigned kTextExMax = 255;

} // namespace

DivisionString::DivisionString(unsigned capacity, int mode)
    : m_buffer(static_cast<std::size_t>(capacity) + 1, '\0'), m_capacity(capacity), m_mode(mode) {}

int DivisionString::setString(const char *line) {
    if (!line || m_buffer.empty())
        return 0;
    const std::size_t length = std::strlen(line);
    if (length > m_capacity)
        return 0;
    std::memcpy(m_buffer.data(), line, length + 1);
    m_length = static_cast<unsigned>(length);
    m_position = 0;
    return 1;
}

int DivisionString::removeString() {
    if (m_buffer.empty() || m_capacity == 0)
        return 0;
    std::fill(m_buffer.begin(), m_buffer.end(), '\0');
    m_length = 0;
    m_position = 0;
    return 1;
}

int DivisionString::isUsed() const {
    return !m_buffer.empty() && m_capacity != 0 && m_pauseCount > 0;
}

int DivisionString::isnotUsed() const { return !isUsed(); }

bool DivisionString::isPause(char c) const {
    return std::find(m_pauses, m_pauses + m_pauseCount, c) != m_pauses + m_pauseCount;
}

int DivisionString::addPause(char c) {
    if (isPause(c))
        return 1;
    if (m_pauseCount >= 4)
        return 0;
    m_pauses[m_pauseCount++] = c;
    return 1;
}

int DivisionString::susPause(char c) {
    char *const end = m_pauses + m_pauseCount;
    char *const found = std::find(m_pauses, end, c);
    if (found == end)
        return 0;
    std::copy(found + 1, end, found);
    m_pauses[--m_pauseCount] = '\0';
    return 1;
}

int DivisionString::removePause() {
    std::fill(m_pauses, m_pauses + 4, '\0');
    m_pauseCount = 0;
    return 1;
}

unsigned DivisionString::PaiseCount() const { return m_pauseCount; }

char DivisionString::getPause(unsigned index) const {
    return index < m_pauseCount ? m_pauses[index] : '\0';
}

int DivisionString::setSpaseSkip(int mode) {
    m_mode = mode;
    return 1;
}

int DivisionString::removeSpaseSkip() {
    m_mode = 0;
    return 1;
}

int DivisionString::getSpaceSkip() { return m_mode; }

unsigned DivisionString::charWidth(unsigned index) const {
    if (CString::IsLeadByte(static_cast<unsigned char>(m_buffer[index])) && index + 1 < m_length &&
        isTrailByte(static_cast<unsigned char>(m_buffer[index + 1])))
        return 2;
    return 1;
}

bool DivisionString::scanField(unsigned max, std::string &field, unsigned &end) const {
    unsigned pos = m_position;
    const auto ends = [this](char c) { return c == '\n' || c == '\0' || isPause(c); };
    if (m_mode & 1)
        while (pos < m_length && !ends(m_buffer[pos]) && isBlank(m_buffer[pos]))
            ++pos;
    const unsigned start = pos;
    while (pos < m_length && !ends(m_buffer[pos])) {
        const unsigned width =
            static_cast<unsigned char>(m_buffer[pos]) < 0x80 ? 1 : charWidth(pos);
        if (pos - start + width > max)
            return false;
        pos += width;
    }
    field.assign(m_buffer.data() + start, pos - start);
    end = pos;
    return true;
}

void DivisionString::takeField(unsigned max, char *out, std::string &field, unsigned end) {
    if (m_mode & 2) {
        while (!field.empty() && isBlank(field.back()))
            field.pop_back();
    }
    std::memcpy(out, field.data(), std::min<std::size_t>(field.size(), max));
    out[field.size()] = '\0';
    m_fieldEnd = end;
    m_position = end < m_length ? end + 1 : end;
}

int DivisionString::readString(unsigned max, char *out) {
    if (isnotUsed() || !out)
        return 0;
    std::memset(out, 0, max);
    if (m_position >= m_length)
        return 0;
    std::string field;
    unsigned end = 0;
    if (!scanField(max, field, end))
        return 0;
    takeField(max, out, field, end);
    return 1;
}

int DivisionString::readNumberText(char *out) {
    const int saved = m_mode;
    m_mode = 3;
    const int result = readString(kNumberMax, out);
    m_mode = saved;
    return result;
}

int DivisionString::readInt(int *value) {
    char text[kNumberMax + 1];
    if (!readNumberText(text))
        return 0;
    if (value)
        *value = AtoiC(text);
    return 1;
}

int DivisionString::readDouble(double *value) {
    char text[kNumberMax + 1];
    if (!readNumberText(text))
        return 0;
    if (value)
        *value = AtofC(text);
    return 1;
}

DIV_ERROR DivisionString::readStringEx(CString *text) {
    char field[kTextExMax + 1];
    if (!readString(kTextExMax, field))
        return DIV_NOFIELD;
    if (text)
        *text = field;
    return field[0] == '\0' ? DIV_EMPTY : DIV_OK;
}

DIV_ERROR DivisionString::readIntEx(int *value) {
    char text[kNumberMax + 1];
    if (!readNumberText(text))
        return DIV_NOFIELD;
    if (text[0] == '\0')
        return DIV_EMPTY;
    int parsed = 0;
    if (!isNumberText(text, false) || !ParseInt(text, parsed))
        return DIV_NOTNUMBER;
    if (value)
        *value = parsed;
    return DIV_OK;
}

DIV_ERROR DivisionString::readDoubleEx(double *value) {
    char text[kNumberMax + 1];
    if (!readNumberText(text))
        return DIV_NOFIELD;
    if (text[0] == '\0')
        return DIV_EMPTY;
    double parsed = 0.0;
    if (!isNumberText(text, true) || !ParseDouble(text, parsed))
        return DIV_NOTNUMBER;
    if (value)
        *value = parsed;
    return DIV_OK;
}

int DivisionString::skip() {
    if (isnotUsed() || m_position >= m_length)
        return 0;
    unsigned pos = m_position;
    while (pos < m_length) {
        const char c = m_buffer[pos];
        if (c == '\n' || c == '\0' || isPause(c))
            break;
        pos += charWidth(pos);
    }
    m_fieldEnd = pos;
    m_position = pos < m_length ? pos + 1 : pos;
    return 1;
}

bool DivisionString::NumberFits(double v, int decimals) {
    if (!std::isfinite(v))
        return false;
    // The text "%.*f" makes, without making it: the same digits as printf's.
    char text[NUMBER_MAX]; // a longer text does not fit
    const auto [end, error] = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed,
                                            decimals < 0 ? 6 : decimals);
    return error == std::errc();
}

FIELD_FAULT DivisionString::readTextField(unsigned max, CString *text) {
    std::vector<char> field(static_cast<std::size_t>(max) + 1, '\0');
    if (readString(max, field.data())) {
        if (text)
            *text = field.data();
        return FIELD_OK;
    }
    // A field that is there but does not fit is passed over.
    return skip() ? FIELD_TOO_LONG : FIELD_MISSING;
}

FIELD_FAULT DivisionString::readIntField(int *value) {
    char text[kNumberMax + 1];
    if (!readNumberText(text))
        return skip() ? FIELD_TOO_LONG : FIELD_MISSING;
    if (text[0] == '\0')
        return FIELD_EMPTY;
    int parsed = 0;
    if (!isNumberText(text, false) || !ParseInt(text, parsed))
        return FIELD_NOT_NUMBER;
    if (value)
        *value = parsed;
    return FIELD_OK;
}

FIELD_FAULT DivisionString::readRealField(double *value, bool exponent) {
    char text[kNumberMax + 1];
    if (!readNumberText(text))
        return skip() ? FIELD_TOO_LONG : FIELD_MISSING;
    if (text[0] == '\0')
        return FIELD_EMPTY;
    double parsed = 0.0;
    if ((!exponent && !isNumberText(text, true)) || !ParseDouble(text, parsed))
        return FIELD_NOT_NUMBER;
    if (value)
        *value = parsed;
    return FIELD_OK;
}

int DivisionString::toTop() {
    if (isnotUsed())
        return 0;
    m_position = 0;
    return 1;
}

DivisionStringEx::DivisionStringEx(unsigned capacity, int mode, int stringMode)
    : DivisionString(capacity, mode), m_stringMode(stringMode) {}

int DivisionStringEx::isStringMode() const { return m_stringMode; }

int DivisionStringEx::setStringMode(int stringMode) {
    const int previous = m_stringMode;
    m_stringMode = stringMode;
    return previous;
}

int DivisionStringEx::readString(unsigned max, char *out) {
    if (isnotUsed() || !out)
        return 0;
    std::memset(out, 0, max);
    if (m_position >= m_length)
        return 0;
    unsigned pos = m_position;
    if (m_mode & 1) {
        while (pos < m_length && isBlank(m_buffer[pos]))
            ++pos;
    }
    if (pos >= m_length || m_buffer[pos] != '"')
        return DivisionString::readString(max, out);

    // A quoted field: delimiters are ordinary characters up to the closing quote.
    std::string field;
    ++pos;
    unsigned end = m_length;
    while (pos < m_length) {
        const char c = m_buffer[pos];
        if (c == '"') {
            const char next = pos + 1 < m_length ? m_buffer[pos + 1] : '\0';
            if (next == ',' || next == '\n' || next == '\0' || isPause(next)) {
                end = pos + 1;
                break;
            }
        } else if (c == '\n' && pos + 1 == m_length) {
            // The line's own line feed is no part of an unclosed field.
            end = pos;
            break;
        }
        const unsigned width = charWidth(pos);
        if (field.size() + width > max)
            return 0;
        field.append(&m_buffer[pos], width);
        pos += width;
    }
    takeField(max, out, field, end);
    return 1;
}
