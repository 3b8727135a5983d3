#pragma once

#include "platform/core/CStdioFile.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

// Writes a cp932 text file; a line feed is stored as CR LF.
class WriteTextFile {
  public:
    // typeText | modeCreate | shareExclusive | modeWrite; isUsed tells whether
    // the file could be created.
    static constexpr UINT DEFAULT_FLAGS = 0x5011;

    // Opens with DEFAULT_FLAGS and throws nothing.
    explicit WriteTextFile(CString path);
    // Opens with the given flags; throws CFileException when that fails.
    WriteTextFile(CString path, UINT flags);
    // Closes an open file; an error then goes to standard error only, so call
    // close() to learn of it.
    virtual ~WriteTextFile();

    WriteTextFile(const WriteTextFile &) = delete;
    WriteTextFile &operator=(const WriteTextFile &) = delete;

    int isUsed() const;
    int isnotUsed() const;
    // Writes text as it stands (the caller supplies the line feed). 0 when no
    // file is open; a failed write throws CFileException.
    int writeLine(const char *text);
    // Writes every byte of text, a NUL too.
    int writeLine(const CString &text);
    // Writes what is buffered and closes; throws CFileException when the data
    // cannot be written.
    void close();

  private:
    CStdioFile m_file;
    int m_used = 0;
};
