#include "platform/core/EncodedTextFile.h"

bool EncodedTextFile::Open(const CString &path, UINT flags, CFileException *error) {
    m_encoding = TextEncoding::Cp932;
    m_refused = false;
    if (flags & (modeWrite | modeReadWrite | modeCreate)) {
        if (error)
            *error = CFileException(CFileException::invalidFile, -1, path);
        return false;
    }
    if (!CStdioFile::Open(path, flags, error))
        return false;
    try {
        decideEncoding();
    } catch (const CFileException &e) {
        Abort();
        if (error)
            *error = e;
        return false;
    }
    return true;
}

void EncodedTextFile::decideEncoding() {
    TextEncodingDetector detector;
    CString line;
    while (!detector.IsDecided() && ReadString(line)) {
        detector.Feed(line.Bytes());
        // The line end is a byte of the file too: no sequence runs across it.
        detector.Feed("\n");
    }
    m_encoding = detector.GetEncoding();
    Seek(detector.HasMark() ? static_cast<std::int64_t>(TextEncodingDetector::MARK.size()) : 0,
         begin);
}

bool EncodedTextFile::ReadLine(CString &line, TextLineFault &fault, bool *lineEnd) {
    fault = TextLineFault::None;
    if (m_encoding == TextEncoding::Utf16) {
        // No line of it is read: the first one is at fault, and the file ends there.
        line.Empty();
        if (lineEnd)
            *lineEnd = false;
        if (m_refused)
            return false;
        m_refused = true;
        fault = TextLineFault::Utf16;
        return true;
    }
    const std::uint64_t start = GetPosition();
    if (!ReadString(line))
        return false;
    // Text mode takes no byte of the line's own away: what else was taken is its line end.
    if (lineEnd)
        *lineEnd = GetPosition() - start > static_cast<std::uint64_t>(line.GetLength());
    fault = DecodeTextLine(m_encoding, line);
    return true;
}
