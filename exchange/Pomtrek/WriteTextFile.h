#pragma once

#include "platform/core/CStdioFile.h"
#include "platform/core/CString.h"
#include "platform/core/PendingFiles.h"
#include "platform/core/WinTypes.h"

// Writes a cp932 text file; a line feed is stored as CR LF. A file created
// replaces the one at its path only when close() succeeds (CFile).
class WriteTextFile {
  public:
    // typeText | modeCreate | shareExclusive | modeWrite; isUsed tells whether
    // the file could be created.
    static constexpr UINT DEFAULT_FLAGS = 0x5011;
    // The same for a file that must not replace one (a converted file).
    static constexpr UINT NEW_FILE_FLAGS = DEFAULT_FLAGS | CFile::modeNoReplace;

    // Opens with DEFAULT_FLAGS and throws nothing.
    explicit WriteTextFile(CString path);
    // Opens with the given flags; throws CFileException when that fails.
    WriteTextFile(CString path, UINT flags);
    // A file being replaced that close() did not finish is removed, the file
    // at its path left as it was.
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
    // Writes what is buffered, closes and puts the file in place; throws
    // CFileException when that fails (the file at the path is then as it was).
    void close();
    // Writes what is buffered and closes; pending puts the file in place with
    // the others it holds (PendingFiles::Commit). Throws CFileException when
    // that fails.
    void close(PendingFiles &pending);

  private:
    CStdioFile m_file;
    int m_used = 0;
};
