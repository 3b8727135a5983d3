#include "exchange/Pomtrek/DivisionString.h"

#include "platform/core/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
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
    : m_buffer(static_cast<std::size_t>(capacity) + 1, '\0'), m_capacity(capacity), m_mode(mode) {
    updateEnds();
}

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

void DivisionString::updateEnds() {
    m_ends.fill(false);
    m_ends[static_cast<unsigned char>('\n')] = true;
    m_ends[0] = true;
    for (unsigned i = 0; i < m_pauseCount; ++i)
        m_ends[static_cast<unsigned char>(m_pauses[i])] = true;
}

int DivisionString::addPause(char c) {
    if (isPause(c))
        return 1;
    if (m_pauseCount >= 4)
        return 0;
    m_pauses[m_pauseCount++] = c;
    updateEnds();
    return 1;
}

int DivisionString::susPause(char c) {
    char *const end = m_pauses + m_pauseCount;
    char *const found = std::find(m_pauses, end, c);
    if (found == end)
        return 0;
    std::copy(found + 1, end, found);
    m_pauses[--m_pauseCount] = '\0';
    updateEnds();
    return 1;
}

int DivisionString::removePause() {
    std::fill(m_pauses, m_pauses + 4, '\0');
    m_pauseCount = 0;
    updateEnds();
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

bool DivisionString::scanField(unsigned max, unsigned &start, unsigned &end) const {
    const char *const buffer = m_buffer.data();
    const unsigned length = m_length;
    unsigned pos = m_position;
    if (m_mode & 1)
        while (pos < length && !endsField(buffer[pos]) && isBlank(buffer[pos]))
            ++pos;
    start = pos;
    // The field may run to start + max.
    const std::uint64_t limit = static_cast<std::uint64_t>(start) + max;
    const auto plainEnd = static_cast<unsigned>(std::min<std::uint64_t>(length, limit));
    while (pos < length) {
        // A run of single-byte characters that end nothing, then one character looked at.
        while (pos < plainEnd && static_cast<unsigned char>(buffer[pos]) < 0x80 &&
               !endsField(buffer[pos]))
            ++pos;
        if (pos >= length)
            break;
        const auto c = static_cast<unsigned char>(buffer[pos]);
        if (m_ends[c])
            break;
        const unsigned width = c < 0x80 ? 1 : charWidth(pos);
        if (pos + width > limit)
            return false;
        pos += width;
    }
    end = pos;
    return true;
}

void DivisionString::takeField(char *out, unsigned start, unsigned length, unsigned end) {
    if (m_mode & 2) {
        while (length > 0 && isBlank(m_buffer[start + length - 1]))
            --length;
    }
    std::memcpy(out, m_buffer.data() + start, length);
    out[length] = '\0';
    m_fieldEnd = end;
    m_position = end < m_length ? end + 1 : end;
}

int DivisionString::readString(unsigned max, char *out) {
    if (isnotUsed() || !out)
        return 0;
    std::memset(out, 0, max);
    if (m_position >= m_length)
        return 0;
    unsigned start = 0;
    unsigned end = 0;
    if (!scanField(max, start, end))
        return 0;
    takeField(out, start, end - start, end);
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
        if (endsField(m_buffer[pos]))
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
    if (decimals < 0)
        decimals = 6;
    // "%.*f" is a sign, the integer digits and, with decimals, a point and
    // the decimals. Rounding adds at most half a unit of the last decimal, so
    // the magnitude answers except within a factor of two below the limit.
    static constexpr double kTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                       1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
    const int digits = decimals >= static_cast<int>(NUMBER_MAX)
                           ? 0
                           : static_cast<int>(NUMBER_MAX) - (std::signbit(v) ? 1 : 0) -
                                 (decimals > 0 ? decimals + 1 : 0);
    const double magnitude = std::fabs(v);
    if (digits >= 1) {
        if (magnitude >= kTens[digits])
            return false;
        if (magnitude < kTens[digits] / 2)
            return true;
    }
    // Near the limit: the text "%.*f" makes, without making it, with the
    // same digits as printf's.
    char text[NUMBER_MAX]; // a longer text does not fit
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
    return error == std::errc();
}

FIELD_FAULT DivisionString::readTextField(unsigned max, CString *text) {
    // A text of up to kTextExMax bytes is read on the stack.
    char local[kTextExMax + 1];
    std::vector<char> large;
    char *field = local;
    if (max > kTextExMax) {
        large.resize(static_cast<std::size_t>(max) + 1);
        field = large.data();
    }
    if (readString(max, field)) {
        if (text)
            *text = field;
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
    ++pos;
    const unsigned start = pos;
    unsigned end = m_length;
    while (pos < m_length) {
        const char c = m_buffer[pos];
        if (c == '"') {
            const char next = pos + 1 < m_length ? m_buffer[pos + 1] : '\0';
            if (next == ',' || endsField(next)) {
                end = pos + 1;
                break;
            }
        } else if (c == '\n' && pos + 1 == m_length) {
            // The line's own line feed is no part of an unclosed field.
            end = pos;
            break;
        }
        const unsigned width = charWidth(pos);
        if (pos - start + width > max)
            return 0;
        pos += width;
    }
    takeField(out, start, pos - start, end);
    return 1;
}
