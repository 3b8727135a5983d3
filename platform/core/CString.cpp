#include "platform/core/CString.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <stdexcept>

namespace {

// A C-locale object shared by every Format call; created once.
locale_t CLocale() {
    static const locale_t loc = [] {
        locale_t l = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        if (l == static_cast<locale_t>(0)) {
            throw std::runtime_error("CString: cannot create the C locale");
        }
        return l;
    }();
    return loc;
}

// Switches the calling thread to the C locale for its lifetime.
class CLocaleScope {
  public:
    CLocaleScope() : m_previous(uselocale(CLocale())) {}
    ~CLocaleScope() { uselocale(m_previous); }
    CLocaleScope(const CLocaleScope &) = delete;
    CLocaleScope &operator=(const CLocaleScope &) = delete;

  private:
    locale_t m_previous;
};

// printf into a new string: one pass into a buffer on the stack, a second only for a text that
// does not fit it.
std::string FormatToString(const char *format, va_list args) {
    if (format == nullptr) {
        return std::string();
    }
    CLocaleScope cLocale;
    char buffer[512];
    va_list first;
    va_copy(first, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, first);
    va_end(first);
    if (length < 0) {
        throw std::invalid_argument("CString::Format: the arguments do not fit the format");
    }
    if (static_cast<std::size_t>(length) < sizeof buffer)
        return std::string(buffer, static_cast<std::size_t>(length));
    std::string out(static_cast<std::size_t>(length), '\0');
    va_list writing;
    va_copy(writing, args);
    std::vsnprintf(out.data(), out.size() + 1, format, writing);
    va_end(writing);
    return out;
}

std::string_view View(const char *text) {
    return text == nullptr ? std::string_view() : std::string_view(text);
}

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Byte length of the character starting at index i (2 for a lead byte with a
// byte after it, else 1).
std::size_t CharLength(std::string_view s, std::size_t i) {
    return (CString::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// True when the string holds the character of `s` that starts at index i.
bool SetHolds(std::string_view set, std::string_view s, std::size_t i, std::size_t len) {
    for (std::size_t j = 0; j < set.size(); j += CharLength(set, j)) {
        if (CharLength(set, j) == len && set.compare(j, len, s.substr(i, len)) == 0) {
            return true;
        }
    }
    return false;
}

// True when text, read from index i, lies on character boundaries at both ends.
bool EndsOnBoundary(std::string_view s, std::size_t i, std::size_t len) {
    std::size_t j = i;
    while (j < i + len) {
        j += CharLength(s, j);
    }
    return j == i + len;
}

// Index of the first match of sub at a character boundary at or after start.
std::size_t FindText(std::string_view s, std::string_view sub, std::size_t start) {
    for (std::size_t i = 0; i + sub.size() <= s.size(); i += CharLength(s, i)) {
        if (i >= start && s.compare(i, sub.size(), sub) == 0 && EndsOnBoundary(s, i, sub.size())) {
            return i;
        }
        if (i == s.size()) {
            break;
        }
    }
    return std::string_view::npos;
}

// Compares with ASCII letters of single-byte characters folded to upper case.
int CompareFolded(std::string_view a, std::string_view b) {
    bool trail = false;
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        char ca = a[i];
        char cb = b[i];
        if (!trail) {
            ca = ToUpperAscii(ca);
            cb = ToUpperAscii(cb);
        }
        if (ca != cb) {
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
        }
        // Both strings hold the same byte here, so they agree on the next position.
        trail = !trail && CString::IsLeadByte(static_cast<unsigned char>(ca));
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

int Sign(int value) { return (value > 0) - (value < 0); }

} // namespace

CString::CString(const char *text) : m_str(View(text)) {}

CString::CString(const char *text, int length) {
    if (text != nullptr && length > 0) {
        m_str.assign(text, static_cast<std::size_t>(length));
    }
}

CString::CString(char ch, int repeat) {
    if (repeat > 0) {
        m_str.assign(static_cast<std::size_t>(repeat), ch);
    }
}

CString::CString(std::string bytes) : m_str(std::move(bytes)) {}

CString::CString(std::string_view bytes) : m_str(bytes) {}

bool CString::IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int CString::GetLength() const { return static_cast<int>(m_str.size()); }

bool CString::IsEmpty() const { return m_str.empty(); }

void CString::Empty() { m_str.clear(); }

char CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) {
        throw std::out_of_range("CString::GetAt: index " + std::to_string(index) +
                                " outside a string of length " + std::to_string(GetLength()));
    }
    return m_str[static_cast<std::size_t>(index)];
}

char CString::operator[](int index) const { return GetAt(index); }

void CString::SetAt(int index, char ch) {
    if (index < 0 || index >= GetLength()) {
        throw std::out_of_range("CString::SetAt: index " + std::to_string(index) +
                                " outside a string of length " + std::to_string(GetLength()));
    }
    m_str[static_cast<std::size_t>(index)] = ch;
}

CString::operator const char *() const { return m_str.c_str(); }

const char *CString::GetString() const { return m_str.c_str(); }

const std::string &CString::Bytes() const { return m_str; }

CString CString::Left(int count) const {
    if (count <= 0) {
        return CString();
    }
    return CString(m_str.substr(0, static_cast<std::size_t>(count)));
}

CString CString::Mid(int first) const {
    if (first < 0) {
        first = 0;
    }
    if (first >= GetLength()) {
        return CString();
    }
    return CString(m_str.substr(static_cast<std::size_t>(first)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0) {
        first = 0;
    }
    if (count <= 0 || first >= GetLength()) {
        return CString();
    }
    return CString(m_str.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const {
    if (count <= 0) {
        return CString();
    }
    if (count >= GetLength()) {
        return *this;
    }
    return CString(m_str.substr(m_str.size() - static_cast<std::size_t>(count)));
}

int CString::Find(char ch, int start) const {
    const std::size_t from = static_cast<std::size_t>(std::max(start, 0));
    for (std::size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (i >= from && CharLength(m_str, i) == 1 && m_str[i] == ch) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CString::Find(const char *sub, int start) const {
    if (sub == nullptr || start > GetLength()) {
        return -1;
    }
    const std::size_t at = FindText(m_str, sub, static_cast<std::size_t>(std::max(start, 0)));
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
    int found = -1;
    for (std::size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (CharLength(m_str, i) == 1 && m_str[i] == ch) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

int CString::FindOneOf(const char *charSet) const {
    const std::string_view set = View(charSet);
    for (std::size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (SetHolds(set, m_str, i, CharLength(m_str, i))) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

namespace {

// Trims the characters for which drop(index, length) is true from either end.
template <typename Drop> void TrimLeftBy(std::string &s, Drop drop) {
    std::size_t i = 0;
    while (i < s.size() && drop(i, CharLength(s, i))) {
        i += CharLength(s, i);
    }
    s.erase(0, i);
}

template <typename Drop> void TrimRightBy(std::string &s, Drop drop) {
    std::size_t keep = 0; // end of the last character kept
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        if (!drop(i, CharLength(s, i))) {
            keep = i + CharLength(s, i);
        }
    }
    s.erase(keep);
}

} // namespace

CString &CString::TrimLeft() {
    TrimLeftBy(m_str, [this](std::size_t i, std::size_t len) {
        return len == 1 && IsSpace(static_cast<unsigned char>(m_str[i]));
    });
    return *this;
}

CString &CString::TrimLeft(char target) {
    TrimLeftBy(m_str, [this, target](std::size_t i, std::size_t len) {
        return len == 1 && m_str[i] == target;
    });
    return *this;
}

CString &CString::TrimLeft(const char *targets) {
    const std::string_view set = View(targets);
    TrimLeftBy(m_str, [this, set](std::size_t i, std::size_t len) {
        return SetHolds(set, m_str, i, len);
    });
    return *this;
}

CString &CString::TrimRight() {
    TrimRightBy(m_str, [this](std::size_t i, std::size_t len) {
        return len == 1 && IsSpace(static_cast<unsigned char>(m_str[i]));
    });
    return *this;
}

CString &CString::TrimRight(char target) {
    TrimRightBy(m_str, [this, target](std::size_t i, std::size_t len) {
        return len == 1 && m_str[i] == target;
    });
    return *this;
}

CString &CString::TrimRight(const char *targets) {
    const std::string_view set = View(targets);
    TrimRightBy(m_str, [this, set](std::size_t i, std::size_t len) {
        return SetHolds(set, m_str, i, len);
    });
    return *this;
}

CString &CString::Trim() { return TrimRight().TrimLeft(); }

CString &CString::Trim(char target) { return TrimRight(target).TrimLeft(target); }

CString &CString::Trim(const char *targets) { return TrimRight(targets).TrimLeft(targets); }

CString &CString::MakeUpper() {
    for (std::size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (CharLength(m_str, i) == 1) {
            m_str[i] = ToUpperAscii(m_str[i]);
        }
    }
    return *this;
}

CString &CString::MakeLower() {
    for (std::size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (CharLength(m_str, i) == 1) {
            m_str[i] = ToLowerAscii(m_str[i]);
        }
    }
    return *this;
}

int CString::Replace(char oldCh, char newCh) {
    if (oldCh == newCh) {
        return 0;
    }
    int count = 0;
    for (std::size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (CharLength(m_str, i) == 1 && m_str[i] == oldCh) {
            m_str[i] = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char *oldText, const char *newText) {
    const std::string_view from = View(oldText);
    const std::string_view to = View(newText);
    if (from.empty()) {
        return 0;
    }
    std::string out;
    int count = 0;
    std::size_t done = 0;
    for (std::size_t at = FindText(m_str, from, 0); at != std::string_view::npos;
         at = FindText(m_str, from, done)) {
        out.append(m_str, done, at - done);
        out.append(to);
        done = at + from.size();
        ++count;
    }
    if (count > 0) {
        out.append(m_str, done, std::string::npos);
        m_str = std::move(out);
    }
    return count;
}

int CString::Remove(char ch) {
    std::string out;
    out.reserve(m_str.size());
    int count = 0;
    for (std::size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        const std::size_t len = CharLength(m_str, i);
        if (len == 1 && m_str[i] == ch) {
            ++count;
        } else {
            out.append(m_str, i, len);
        }
    }
    m_str = std::move(out);
    return count;
}

int CString::Insert(int index, const char *text) {
    const int at = std::clamp(index, 0, GetLength());
    m_str.insert(static_cast<std::size_t>(at), View(text));
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index < 0) {
        index = 0;
    }
    if (count > 0 && index < GetLength()) {
        m_str.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    }
    return GetLength();
}

void CString::Format(const char *format, ...) {
    va_list args;
    va_start(args, format);
    try {
        FormatV(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

void CString::AppendFormat(const char *format, ...) {
    va_list args;
    va_start(args, format);
    try {
        AppendFormatV(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

// The text is built apart first: the arguments may point into this string.
void CString::FormatV(const char *format, va_list args) { m_str = FormatToString(format, args); }

void CString::AppendFormatV(const char *format, va_list args) {
    m_str += FormatToString(format, args);
}

int CString::Compare(const char *other) const {
    return Sign(std::string_view(m_str).compare(View(other)));
}

int CString::CompareNoCase(const char *other) const { return CompareFolded(m_str, View(other)); }

// Same rule as CompareNoCase: no locale collation, so sorted lists are stable
// whatever the process locale is.
int CString::CollateNoCase(const char *other) const { return CompareFolded(m_str, View(other)); }

CString &CString::operator=(const char *text) {
    m_str.assign(View(text));
    return *this;
}

CString &CString::operator+=(const CString &other) {
    m_str += other.m_str;
    return *this;
}

CString &CString::operator+=(const char *text) {
    m_str += View(text);
    return *this;
}

CString &CString::operator+=(char ch) {
    m_str += ch;
    return *this;
}

CString operator+(const CString &a, const CString &b) { return CString(a.m_str + b.m_str); }

CString operator+(const CString &a, const char *b) {
    std::string out = a.m_str;
    out += View(b);
    return CString(std::move(out));
}

CString operator+(const char *a, const CString &b) {
    std::string out(View(a));
    out += b.m_str;
    return CString(std::move(out));
}

CString operator+(const CString &a, char b) { return CString(a.m_str + b); }

CString operator+(char a, const CString &b) { return CString(a + b.m_str); }

bool operator==(const CString &a, const CString &b) { return a.m_str == b.m_str; }

bool operator==(const CString &a, const char *b) { return a.m_str == View(b); }

bool operator<(const CString &a, const CString &b) { return a.m_str < b.m_str; }

bool operator==(const char *a, const CString &b) { return b == a; }

bool operator!=(const CString &a, const CString &b) { return !(a == b); }

bool operator!=(const CString &a, const char *b) { return !(a == b); }

bool operator>(const CString &a, const CString &b) { return b < a; }

bool operator<=(const CString &a, const CString &b) { return !(b < a); }

bool operator>=(const CString &a, const CString &b) { return !(a < b); }
