#pragma once

#include "platform/core/CString.h"

// Exceptions of the platform layer: thrown by value, caught by const reference.
class CException {
  public:
    virtual ~CException() = default;

    // A short text for the user; empty when there is nothing to say.
    virtual CString GetErrorMessage() const;
};

class CFileException : public CException {
  public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    explicit CFileException(int cause = none, long osError = -1,
                            const CString &fileName = CString());

    CString GetErrorMessage() const override;

    // The cause for an errno value.
    static int OsErrorToException(long osError);
    // Throws the exception for an errno value.
    [[noreturn]] static void ThrowOsError(long osError, const CString &fileName = CString());

    int m_cause;
    CString m_strFileName;
    long m_lOsError;
    // The file was put in place; only the disk did not confirm that it keeps it (a failed
    // synchronisation of its folder).
    bool m_bInPlace = false;
    // Lines the message ends with (what a rollback left as another program saved it).
    CString m_strDetail;

  private:
    // The message of the cause alone, without the detail.
    CString causeMessage() const;
    CString withName(const char *withFile, const char *withoutFile) const;
};

class CArchiveException : public CException {
  public:
    enum {
        none = 0,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };

    explicit CArchiveException(int cause = none, const CString &fileName = CString());

    CString GetErrorMessage() const override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, long osError = -1,
                                        const CString &fileName = CString());
[[noreturn]] void AfxThrowArchiveException(int cause, const CString &fileName = CString());
