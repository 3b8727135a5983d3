#pragma once

#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <cstddef>

// A small binary settings file: values in the order the writer chooses, all
// little-endian without padding, records announced by tags that the reader
// checks before it reads their fields.
//
//   bool    1 byte, 1 or 0 (any non-zero byte reads as true)
//   char    1 byte
//   short   2 bytes
//   long    4 bytes, whatever the width of long in memory
//   double  8 bytes, IEEE 754 binary64
//   text    32-bit length n = bytes + 1, then the bytes and a 0 byte
//   tag     a text followed by a short version
//
// Every operation answers false (checkTag -1) on failure; nothing is thrown.
// A failed read leaves its target unchanged, except that read(CString&)
// empties the text first.
class YFile {
  public:
    YFile();
    // Closes an open file; a file being written is discarded (only close()
    // keeps it), leaving the file it would have replaced as it was.
    virtual ~YFile();

    YFile(const YFile &) = delete;
    YFile &operator=(const YFile &) = delete;

    // False for an empty path, when a file is already open or when the file
    // cannot be opened. openWrite replaces an existing file and is refused for
    // a file that is open for reading.
    bool openRead(const CString &path);
    bool openWrite(const CString &path);
    // True also when nothing is open. A file written without a failure
    // replaces the old one whole; false, with the old file as it was, when a
    // write failed or the file could not be closed cleanly.
    bool close();

    // False unless open for reading and the full width was read.
    bool read(bool &value);
    bool read(char &value);
    bool read(short &value);
    bool read(long &value);
    bool read(double &value);
    // False, with the text left empty, when the stored length is larger than
    // what remains of the file.
    bool read(CString &text);

    // False unless open for writing and every byte was written.
    bool write(bool value);
    bool write(char value);
    bool write(short value);
    // False, writing nothing, when the value does not fit in 32 bits.
    bool write(long value);
    bool write(double value);
    bool write(const CString &text);
    // A literal would otherwise be written as a bool: pass a CString.
    bool write(const char *text) = delete;

    bool writeTag(const CString &text, short version);
    // Reads a text and a short. -1 when either read fails; 1 when the text is
    // not `text` (exact comparison); 0 when the version is `version`; else 2.
    int checkTag(const CString &text, short version);
    // As above, but any version is accepted and kept as the file's version
    // number: -1, 1 or 0.
    int checkTag(const CString &text);

    bool setVer(int version);
    int getVer() const;
    bool isVer(int version) const;

  private:
    bool readBytes(void *buffer, std::size_t count);
    bool writeBytes(const void *buffer, std::size_t count);

    CFile m_file;
    bool m_readMode = true;
    int m_ver = 0;
};
