#pragma once

#include "platform/core/CFile.h"

#include <vector>

// A buffered file, in text mode unless opened with typeBinary. Text mode writes
// "\r\n" for "\n", reads "\r\n" and a lone "\r" as "\n" and takes a 0x1A byte
// for the end of the file.
class CStdioFile : public CFile {
  public:
    CStdioFile();
    // Opens the file; throws CFileException when it cannot.
    CStdioFile(const CString &path, UINT flags);
    // A file being replaced is removed (only Close puts it in place); any other
    // file gets what is still buffered and is closed, errors going to standard
    // error.
    ~CStdioFile() override;

    bool Open(const CString &path, UINT flags, CFileException *error = nullptr) override;

    UINT Read(void *buffer, UINT count) override;
    void Write(const void *buffer, UINT count) override;
    std::uint64_t Seek(std::int64_t offset, UINT from) override;
    std::uint64_t GetLength() const override;
    std::uint64_t GetPosition() const override;
    // Writes the buffer to the file.
    void Flush() override;
    void Abort() override;

    // The next line without its line end; false at the end of the file.
    bool ReadString(CString &line);
    // As fgets: at most maxCount - 1 bytes, the "\n" kept when it fits, null
    // terminated; a double-byte character is never cut in two. Null at the end
    // of the file.
    char *ReadString(char *buffer, UINT maxCount);
    // Writes text up to its first NUL.
    void WriteString(const char *text);
    // Writes every byte of text, a NUL too.
    void WriteString(const CString &text);

  protected:
    void WritePending() override;

  private:
    bool isText() const;
    // The byte `ahead` places after the read position, refilling the buffer as
    // needed; -1 past the end of the file.
    int peekRaw(std::size_t ahead);
    // The next character after translation and the bytes it takes in the file;
    // -1 at the end of the file.
    int peekChar(std::size_t &rawLength);
    void writeBuffered(const char *data, std::size_t count);
    void flushWrite();
    // Empties the read buffer, putting the descriptor back at the read position.
    void dropRead();
    void resetBuffer();

    std::vector<char> m_buffer;
    std::size_t m_readPos = 0;   // next unread byte in m_buffer
    std::size_t m_readEnd = 0;   // end of the bytes read into m_buffer
    std::size_t m_writeEnd = 0;  // bytes waiting to be written
    std::uint64_t m_filePos = 0; // position of the descriptor
};
