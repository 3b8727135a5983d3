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

bool isBlankLine(std::string_view line) { return std::all_of(line.begin(), line.end(), isBlank); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An 8-digit third-level mesh code with second- and third-level digits in range.
bool validMeshCode(int value, UINT &code) {
    if (!JMeshCode::IsMeshCode3(value))
        return false;
    code = static_cast<UINT>(value);
    return true;
}

// The fields of a data line, each running from a non-blank character to the next blank or
// the end of the line, read as they are scanned: a field of the files' usual form (plain
// digits, a short decimal) in the same pass, one of any other form cut out and read by
// ParseInt or ParseDouble, which take the same numbers to the same values.
class FieldScanner {
  public:
    explicit FieldScanner(std::string_view line)
        : m_p(line.data()), m_end(line.data() + line.size()) {}

    // Each false when the field is missing or is not such a number.
    bool MeshCode(UINT &code) {
        if (!skipBlanks())
            return false;
        const char *start = m_p;
        int value = 0;
        int digits = 0;
        for (; m_p < m_end && isDigit(*m_p) && digits < 9; ++m_p, ++digits)
            value = value * 10 + (*m_p - '0');
        if (digits == 0 || !atFieldEnd()) {
            m_p = start;
            if (!ParseInt(field(), value))
                return false;
        }
        return validMeshCode(value, code);
    }

    bool Shift(float &value) {
        if (!skipBlanks())
            return false;
        const char *start = m_p;
        double d = 0.0;
        if (!shortDecimal(d) || !atFieldEnd()) {
            m_p = start;
            if (!ParseDouble(field(), d))
                return false;
        }
        if (!(std::fabs(d) <= FLT_MAX))
            return false;
        value = static_cast<float>(d);
        return true;
    }

  private:
    // False at the end of the line.
    bool skipBlanks() {
        while (m_p < m_end && isBlank(*m_p))
            ++m_p;
        return m_p < m_end;
    }

    bool atFieldEnd() const { return m_p == m_end || isBlank(*m_p); }

    // The rest of the field.
    std::string_view field() {
        const char *start = m_p;
        while (m_p < m_end && !isBlank(*m_p))
            ++m_p;
        return std::string_view(start, static_cast<std::size_t>(m_p - start));
    }

    // A decimal number of at most 15 digits without exponent, such as the files'
    // "-11.12345", read up to the first character that cannot go on with it: its digits
    // as an integer over a power of ten, both exact in a double, so that the one rounded
    // division gives the double nearest to the text, as ParseDouble does. False when there
    // is no digit or there are more than 15.
    bool shortDecimal(double &value) {
        static constexpr double kPowerOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const bool negative = m_p < m_end && *m_p == '-';
        if (m_p < m_end && (*m_p == '-' || *m_p == '+'))
            ++m_p;
        std::int64_t digits = 0;
        int count = 0;
        int fraction = -1; // digits after the point; -1 before it
        for (; m_p < m_end; ++m_p) {
            const char c = *m_p;
            if (isDigit(c)) {
                if (count == 15)
                    return false;
                digits = digits * 10 + (c - '0');
                ++count;
                if (fraction >= 0)
                    ++fraction;
            } else if (c == '.' && fraction < 0) {
                fraction = 0;
            } else {
                break;
            }
        }
        if (count == 0)
            return false;
        const double parsed = static_cast<double>(digits) / kPowerOfTen[std::max(fraction, 0)];
        value = negative ? -parsed : parsed;
        return true;
    }

    const char *m_p;
    const char *m_end;
};

// The lines of a file as text mode reads them, from large blocks without a string each: a
// line ends at "\n", a "\r" just before it is dropped (a lone "\r" stays), and a 0x1A byte
// ends the file. A last line without "\n" counts when it holds anything.
class LineReader {
  public:
    // A small file gets a buffer of its own size (and one byte to see its end).
    explicit LineReader(CFile &file)
        : m_file(file), m_buffer(static_cast<std::size_t>(
                            std::min<std::uint64_t>(file.GetLength() + 1, kBlock))) {}

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
    const std::uint64_t length = std::max<std::uint64_t>(file.GetLength(), 1);
    std::uint64_t lines = static_cast<std::uint64_t>(GetHeaderLineCount(type)) + 1;
    int lastPercent = -1;
    JMeshCode code;
    while (reader.Next(text)) {
        ++lines;
        if (!isBlankLine(text)) {
            // A missing field and a bad one are alike bad data; fields after the last are
            // not read.
            FieldScanner fields(text);
            UINT mesh = 0;
            float dB = 0.0f, dL = 0.0f, dH = 0.0f;
            if (!fields.MeshCode(mesh) || !fields.Shift(dB) || !fields.Shift(dL) ||
                (semiDynamic && !fields.Shift(dH)))
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
