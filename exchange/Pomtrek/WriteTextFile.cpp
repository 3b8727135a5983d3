#include "exchange/Pomtrek/WriteTextFile.h"

WriteTextFile::WriteTextFile(CString path) {
    CFileException error;
    m_used = m_file.Open(path, DEFAULT_FLAGS, &error) ? 1 : 0;
}

WriteTextFile::WriteTextFile(CString path, UINT flags) {
    CFileException error;
    if (!m_file.Open(path, flags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, path);
    m_used = 1;
}

WriteTextFile::~WriteTextFile() = default;

int WriteTextFile::isUsed() const { return m_used; }

int WriteTextFile::isnotUsed() const { return !m_used; }

int WriteTextFile::writeLine(const char *text) {
    if (!m_file.IsOpen())
        return 0;
    m_file.WriteString(text);
    return 1;
}

int WriteTextFile::writeLine(const CString &text) {
    if (!m_file.IsOpen())
        return 0;
    m_file.Write(text.GetString(), static_cast<UINT>(text.GetLength()));
    return 1;
}

void WriteTextFile::close() { m_file.Close(); }

void WriteTextFile::close(PendingFiles &pending) { m_file.Close(pending); }
