#include "exchange/Pomtrek/ReadTextFile.h"

namespace {

constexpr unsigned kSplitCapacity = 256;

} // namespace

ReadTextFile::ReadTextFile(CString path) {
    auto file = std::make_unique<EncodedTextFile>();
    CFileException error;
    if (file->Open(path, CFile::typeText | CFile::modeNoTruncate | CFile::shareExclusive, &error))
        m_file = std::move(file);
}

ReadTextFile::~ReadTextFile() = default;

int ReadTextFile::isUsed() const { return m_file && m_file->IsOpen(); }

int ReadTextFile::isnotUsed() const { return !isUsed(); }

bool ReadTextFile::nextLine(CString &line, bool *lineEnd) {
    line.Empty();
    if (m_undecodable || !isUsed())
        return false;
    TextLineFault fault;
    if (!m_file->ReadLine(line, fault, lineEnd))
        return false;
    ++m_lineNo;
    const bool nul = m_stopAtNul && line.Bytes().find('\0') != std::string::npos;
    if (fault != TextLineFault::None || nul) {
        SetStop(m_lineNo, nul ? CString(kStopNul) : TextLineFaultReason(fault, line));
        line.Empty();
        m_undecodable = true;
        return false;
    }
    return true;
}

int ReadTextFile::readLine(char *buf, unsigned size) {
    if (!isUsed() || !buf || size == 0)
        return 0;
    if (size == 1) {
        buf[0] = '\0';
        return 1;
    }
    if (m_pendingAt >= static_cast<std::size_t>(m_pending.GetLength())) {
        m_pendingAt = 0;
        bool lineEnd = false;
        if (!nextLine(m_pending, &lineEnd))
            return 0;
        if (lineEnd)
            m_pending += '\n';
    }
    const std::string &text = m_pending.Bytes();
    std::size_t n = 0;
    bool trail = false;
    while (n + 1 < size && m_pendingAt + n < text.size()) {
        const auto c = static_cast<unsigned char>(text[m_pendingAt + n]);
        // A lead byte that would take the last place waits for the next read.
        if (!trail && CString::IsLeadByte(c) && n + 3 > size && n > 0)
            break;
        buf[n++] = static_cast<char>(c);
        if (c == '\n')
            break;
        trail = !trail && CString::IsLeadByte(c);
    }
    buf[n] = '\0';
    m_pendingAt += n;
    return 1;
}

int ReadTextFile::stoppedAtUndecodableLine() const { return m_undecodable; }

int ReadTextFile::isLineUnusable() const { return m_lineTooLong || m_lineHasNul; }

bool ReadTextFile::takeLine(int limit) {
    m_lineTooLong = false;
    m_lineHasNul = false;
    m_line.Empty();
    if (m_undecodable)
        return false; // the stop keeps naming the line
    ClearStop();
    if (!nextLine(m_line, nullptr))
        return false;
    m_lineTooLong = m_line.GetLength() > limit;
    m_lineHasNul = m_line.Bytes().find('\0') != std::string::npos;
    m_line += '\n';
    if (m_lineHasNul)
        SetStop(m_lineNo, kStopNul);
    else if (m_lineTooLong)
        SetStop(m_lineNo, LineTooLongReason(limit));
    return true;
}

int ReadTextFile::startSplitLine(DivisionString &splitter) {
    splitter.removeString();
    if (!takeLine(LINE_LIMIT))
        return 0;
    // A NUL would end the line there for the splitter: such a line is split
    // not at all rather than cut.
    if (!isLineUnusable())
        splitter.setString(m_line);
    return 1;
}

void ReadTextFile::endSplitLine(DivisionString &splitter) {
    splitter.removeString();
    m_line.Empty();
    m_lineTooLong = false;
    m_lineHasNul = false;
}

ReadCSVFile::ReadCSVFile(CString path, int mode)
    : ReadCSVFile(std::move(path), std::make_unique<DivisionString>(kSplitCapacity, mode)) {}

ReadCSVFile::ReadCSVFile(CString path, std::unique_ptr<DivisionString> splitter)
    : ReadTextFile(std::move(path)), m_splitter(std::move(splitter)) {}

int ReadCSVFile::startLine() { return startSplitLine(*m_splitter); }

int ReadCSVFile::readString(unsigned max, char *out) {
    return isUsed() ? m_splitter->readString(max, out) : 0;
}

int ReadCSVFile::readInt(int *value) { return isUsed() ? m_splitter->readInt(value) : 0; }

int ReadCSVFile::readDouble(double *value) { return isUsed() ? m_splitter->readDouble(value) : 0; }

int ReadCSVFile::endLine() {
    endSplitLine(*m_splitter);
    return 1;
}

DIV_ERROR ReadCSVFile::readStringEx(CString *text) {
    return isUsed() ? m_splitter->readStringEx(text) : DIV_NOFIELD;
}

DIV_ERROR ReadCSVFile::readIntEx(int *value) {
    return isUsed() ? m_splitter->readIntEx(value) : DIV_NOFIELD;
}

DIV_ERROR ReadCSVFile::readDoubleEx(double *value) {
    return isUsed() ? m_splitter->readDoubleEx(value) : DIV_NOFIELD;
}

int ReadCSVFile::isLineTooLong() const { return m_lineTooLong; }

FIELD_FAULT ReadCSVFile::readTextField(unsigned max, CString *text) {
    return isUsed() ? m_splitter->readTextField(max, text) : FIELD_MISSING;
}

FIELD_FAULT ReadCSVFile::readIntField(int *value) {
    return isUsed() ? m_splitter->readIntField(value) : FIELD_MISSING;
}

FIELD_FAULT ReadCSVFile::readRealField(double *value, bool exponent) {
    return isUsed() ? m_splitter->readRealField(value, exponent) : FIELD_MISSING;
}

ReadCSVFileEx::ReadCSVFileEx(CString path, int mode, int stringMode)
    : ReadTextFile(std::move(path)), m_splitter(kSplitCapacity, mode, stringMode) {}

int ReadCSVFileEx::startLine() { return startSplitLine(m_splitter); }

int ReadCSVFileEx::readString(unsigned max, char *out) {
    return isUsed() ? m_splitter.readString(max, out) : 0;
}

int ReadCSVFileEx::readInt(int *value) { return isUsed() ? m_splitter.readInt(value) : 0; }

int ReadCSVFileEx::readDouble(double *value) { return isUsed() ? m_splitter.readDouble(value) : 0; }

int ReadCSVFileEx::endLine() {
    endSplitLine(m_splitter);
    return 1;
}

int ReadCSVFileEx::isStringMode() const { return m_splitter.isStringMode(); }

int ReadCSVFileEx::setStringMode(int stringMode) { return m_splitter.setStringMode(stringMode); }

int ReadCSVFileEx::isLineTooLong() const { return m_lineTooLong; }
