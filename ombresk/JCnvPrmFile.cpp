#include "ombresk/JCnvPrmFile.h"

#include "ombresk/JCnvPrmData.h"
#include "platform/core/CStdioFile.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

struct HeaderKind {
    JCnvPrmFileType type;
    const char *prefix;
    int versionColumn;
    int furtherLines;
};

// In the order they are tried.
constexpr HeaderKind kHeaders[] = {
    {CNVPRM_TYPE_TKY2JGD, "JGD2000-TokyoDatum", 18, 1},
    {CNVPRM_TYPE_SEMIDYNA, "for SemiDynaEXE", 15, 15},
    {CNVPRM_TYPE_PATCHJGD, "for PatchJGD", 15, 15},
};

const HeaderKind *findKind(JCnvPrmFileType type) {
    for (const HeaderKind &kind : kHeaders)
        if (kind.type == type)
            return &kind;
    return nullptr;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Splits line into at most count blank-separated tokens; the number found.
int splitTokens(std::string_view line, std::string_view *tokens, int count) {
    int found = 0;
    std::size_t i = 0;
    while (found < count) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i >= line.size())
            break;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        tokens[found++] = line.substr(start, i - start);
    }
    return found;
}

bool isBlankLine(std::string_view line) { return std::all_of(line.begin(), line.end(), isBlank); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An 8-digit third-level mesh code with second- and third-level digits in range.
bool parseMeshCode(std::string_view token, UINT &code) {
    int value = 0;
    // Plain digits directly, anything else as ParseInt reads it.
    if (!token.empty() && token.size() <= 9 && std::all_of(token.begin(), token.end(), isDigit)) {
        for (char c : token)
            value = value * 10 + (c - '0');
    } else if (!ParseInt(token, value)) {
        return false;
    }
    if (value < 0 || value > 99999999)
        return false;
    const int code2 = value / 100 % 100;
    if (code2 / 10 > 7 || code2 % 10 > 7)
        return false;
    code = static_cast<UINT>(value);
    return true;
}

// A decimal number of at most 15 digits without exponent, such as the files' "-11.12345":
// its digits as an integer over a power of ten, both exact in a double, so that the one
// rounded division gives the double nearest to the text, as ParseDouble does. False for any
// other form.
bool parseShortDecimal(std::string_view token, double &value) {
    static constexpr double kPowerOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const bool negative = !token.empty() && token[0] == '-';
    if (!token.empty() && (token[0] == '-' || token[0] == '+'))
        ++i;
    std::int64_t digits = 0;
    int count = 0;
    int fraction = -1; // digits after the point; -1 before it
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (isDigit(c)) {
            digits = digits * 10 + (c - '0');
            ++count;
            if (fraction >= 0)
                ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (count == 0 || count > 15)
        return false;
    const double parsed = static_cast<double>(digits) / kPowerOfTen[std::max(fraction, 0)];
    value = negative ? -parsed : parsed;
    return true;
}

bool parseShift(std::string_view token, float &value) {
    double d = 0.0;
    if (!parseShortDecimal(token, d) && !ParseDouble(token, d))
        return false;
    if (!(std::fabs(d) <= FLT_MAX))
        return false;
    value = static_cast<float>(d);
    return true;
}

// The lines of a file as text mode reads them, from large blocks without a string each: a
// line ends at "\n", a "\r" just before it is dropped (a lone "\r" stays), and a 0x1A byte
// ends the file. A last line without "\n" counts when it holds anything.
class LineReader {
  public:
    explicit LineReader(CFile &file) : m_file(file), m_buffer(kBlock) {}

    // The next line, valid until the next call; false at the end of the file.
    bool Next(std::string_view &line) {
        for (;;) {
            const char *begin = m_buffer.data() + m_begin;
            const std::size_t size = m_end - m_begin;
            if (const void *nl = std::memchr(begin, '\n', size)) {
                std::size_t length =
                    static_cast<std::size_t>(static_cast<const char *>(nl) - begin);
                m_begin += length + 1;
                if (length > 0 && begin[length - 1] == '\r')
                    --length;
                line = std::string_view(begin, length);
                return true;
            }
            if (m_atEnd) {
                if (size == 0)
                    return false;
                line = std::string_view(begin, size);
                m_begin = m_end;
                return true;
            }
            fill();
        }
    }

  private:
    static constexpr std::size_t kBlock = 1 << 20;

    // Moves the unread bytes to the front and reads more after them (a line longer than the
    // buffer makes it grow).
    void fill() {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
        if (m_end == m_buffer.size())
            m_buffer.resize(m_buffer.size() * 2);
        const std::size_t room = std::min<std::size_t>(m_buffer.size() - m_end, UINT_MAX);
        const std::size_t n = m_file.Read(m_buffer.data() + m_end, static_cast<UINT>(room));
        if (const void *eof = std::memchr(m_buffer.data() + m_end, 0x1A, n)) {
            m_end = static_cast<std::size_t>(static_cast<const char *>(eof) - m_buffer.data());
            m_atEnd = true;
        } else {
            m_end += n;
            m_atEnd = n == 0;
        }
    }

    CFile &m_file;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;
};

// Version text 1 of a first line read as type.
CString versionText(const CString &line, JCnvPrmFileType type) {
    const HeaderKind *kind = findKind(type);
    const int column = kind ? kind->versionColumn : kHeaders[0].versionColumn;
    if (line.GetLength() <= column)
        return CString();
    CString text = line.Mid(column);
    text.Trim(" \t\r");
    return text;
}

} // namespace

JCnvPrmFileType JCnvPrmFile::DetectType(const CString &line) {
    const std::string_view text(line.GetString(), static_cast<std::size_t>(line.GetLength()));
    for (const HeaderKind &kind : kHeaders)
        if (text.starts_with(kind.prefix))
            return kind.type;
    return CNVPRM_TYPE_DETECT;
}

int JCnvPrmFile::GetVersionColumn(JCnvPrmFileType type) {
    const HeaderKind *kind = findKind(type);
    return kind ? kind->versionColumn : -1;
}

int JCnvPrmFile::GetHeaderLineCount(JCnvPrmFileType type) {
    const HeaderKind *kind = findKind(type);
    return kind ? kind->furtherLines : -1;
}

bool JCnvPrmFile::MakeVerStr2(const CString &ver1, CString *ver2) {
    const int dot = ver1.Find('.');
    if (dot < 0)
        return false;
    CString kept;
    for (int i = dot + 1; i < ver1.GetLength(); ++i) {
        const char c = ver1[i];
        if ((c >= '0' && c <= '9') || c == '.')
            kept += c;
    }
    if (kept.IsEmpty())
        return false;
    if (ver2)
        *ver2 = kept;
    return true;
}

bool JCnvPrmFile::CheckFileVer(const CString &path, CString *ver1, CString *ver2) {
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeText))
        return false;
    CString line;
    if (!file.ReadString(line))
        return false;
    JCnvPrmFileType type = DetectType(line);
    if (type == CNVPRM_TYPE_DETECT)
        type = CNVPRM_TYPE_TKY2JGD;
    const CString text = versionText(line, type);
    CString derived;
    if (!MakeVerStr2(text, &derived))
        return false;
    if (ver1)
        *ver1 = text;
    if (ver2)
        *ver2 = derived;
    return true;
}

JCnvPrmReadRetCode JCnvPrmFile::Read(const CString &path, JCnvPrmData *data, JCnvPrmFileType &type,
                                     ProgressMsgBase *progress) {
    if (data == nullptr)
        return CNVPRM_READ_DATA_ERROR;
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return CNVPRM_READ_OPEN_ERROR;
    LineReader reader(file);

    // Header: the first line names the kind, then a fixed number of lines follow.
    std::string_view text;
    if (!reader.Next(text))
        return CNVPRM_READ_HEADER_ERROR;
    const CString first(text.data(), static_cast<int>(text.size()));
    const JCnvPrmFileType detected = DetectType(first);
    if (detected != CNVPRM_TYPE_DETECT)
        type = detected;
    else if (findKind(type) == nullptr)
        return CNVPRM_READ_HEADER_ERROR;
    const CString ver1 = versionText(first, type);
    CString ver2;
    if (!MakeVerStr2(ver1, &ver2))
        return CNVPRM_READ_HEADER_ERROR;
    for (int i = GetHeaderLineCount(type); i > 0; --i)
        if (!reader.Next(text))
            return CNVPRM_READ_HEADER_ERROR;
    data->SetFileVerStr(ver1, ver2);

    const bool semiDynamic = type == CNVPRM_TYPE_SEMIDYNA;
    const int fieldCount = semiDynamic ? 4 : 3;
    const std::uint64_t length = std::max<std::uint64_t>(file.GetLength(), 1);
    std::uint64_t lines = static_cast<std::uint64_t>(GetHeaderLineCount(type)) + 1;
    int lastPercent = -1;
    std::string_view tokens[4];
    JMeshCode code;
    while (reader.Next(text)) {
        ++lines;
        if (!isBlankLine(text)) {
            if (splitTokens(text, tokens, fieldCount) < fieldCount)
                return CNVPRM_READ_DATA_ERROR;
            UINT mesh = 0;
            float dB = 0.0f, dL = 0.0f, dH = 0.0f;
            if (!parseMeshCode(tokens[0], mesh) || !parseShift(tokens[1], dB) ||
                !parseShift(tokens[2], dL) || (semiDynamic && !parseShift(tokens[3], dH)))
                return CNVPRM_READ_DATA_ERROR;
            code.SetMeshCode3(mesh);
            if (semiDynamic)
                data->AppendSemiDynNode(code, dB, dL, dH);
            else
                data->AppendNode(code, dB, dL);

            if (progress) {
                const int percent =
                    static_cast<int>(std::min<std::uint64_t>(lines * 30 * 100 / length, 100));
                if (percent > lastPercent) {
                    lastPercent = percent;
                    if (!progress->Progress(percent))
                        return CNVPRM_READ_STOPPED;
                }
            }
        }
        if (data->IsStopRequested())
            return CNVPRM_READ_STOPPED;
    }
    return CNVPRM_READ_SUCCESS;
}
