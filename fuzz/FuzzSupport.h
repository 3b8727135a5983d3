#pragma once

#include "platform/core/CString.h"

#include <functional>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Shared by the fuzz targets.

// Stops the run with a report when a reader breaks a promise of its interface.
[[noreturn]] void FuzzFail(const char *file, int line, const char *condition);
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFail(__FILE__, __LINE__, #condition);                                              \
    } while (false)

// A point as a reader hands it on.
struct FuzzPoint {
    int no;
    CString name;
    double x, y, h;
    int hUsed;
};

// The one temporary file of the process, for readers that take a path. It lives
// in memory and has no name in any folder, so nothing is left behind even when
// the process dies on a crash; readers open it through /proc/self/fd.
class FuzzFile {
  public:
    static FuzzFile &Instance();
    // A second one, for what a writer or converter makes of the first.
    static FuzzFile &Output();
    // The content of the file.
    std::string Read() const;

    // Replaces the content of the file.
    void Write(const std::uint8_t *data, std::size_t size);
    void Write(std::string_view bytes);
    const CString &Path() const { return m_path; }

    FuzzFile(const FuzzFile &) = delete;
    FuzzFile &operator=(const FuzzFile &) = delete;

  private:
    explicit FuzzFile(const char *name);

    int m_fd = -1;
    CString m_path;
};

class CArchive;

// The bytes that write stores through an archive (in a second in-memory file).
std::string ArchiveBytes(const std::function<void(CArchive &)> &write);

// Catches descriptors that a reader leaves open: construct before the reader
// runs, call Check after it is gone.
class DescriptorGuard {
  public:
    DescriptorGuard();
    void Check() const;

  private:
    int m_lowestFree;
};

// What a text-mode read makes of the bytes: a 0x1A ends the file and "\r\n" and
// a lone "\r" read as "\n".
std::string TextModeContent(std::string_view bytes);

// What the text readers make of a file's bytes: its text-mode content after a UTF-8 mark, read
// into cp932 when the encoding rule takes the file for UTF-8 and checked to be cp932 otherwise,
// up to the first line that cannot be read into cp932 (the first line of a UTF-16 file).
// stopLine names that line (0 when there is none); lines counts the lines a reader takes, that
// one too.
struct DecodedText {
    std::string content;
    int stopLine = 0;
    std::size_t lines = 0;
};
// With nulStops, a line holding a NUL ends the content as one that cannot be read does, as in a
// file conversion.
DecodedText DecodedTextContent(std::string_view raw, bool nulStops = false);

// Whether the readers take the bytes of a file that a writer made as they were written. Not when
// the encoding rule reads them as UTF-8: cp932 bytes can happen to be valid UTF-8 with a sequence
// of three bytes. Nor when a line is no cp932, as where a message of the system stands among
// cp932 names: clang keeps string literals in UTF-8, where the program's build (g++) has them in
// cp932.
bool ReadsBackAsWritten(std::string_view bytes);

// The offset in what a read makes of the bytes (TextModeContent in text mode,
// the bytes themselves in binary mode) that a raw file position stands for.
// Fails the run for a position that passes a 0x1A in text mode or splits a
// "\r\n" pair.
class TextPositions {
  public:
    TextPositions(std::string_view raw, bool text);
    std::size_t ContentOffset(std::uint64_t rawPos) const;

  private:
    std::string_view m_raw;
    bool m_text;
    std::vector<std::size_t> m_pairs; // "\r\n" pairs ending before each position
    std::size_t m_end;
};
