#pragma once

#include "platform/core/CString.h"

#include <cstddef>
#include <string_view>

// The encodings in which text files of other software are read. Inside the system every text
// stays cp932: a UTF-8 file is turned into cp932 as it is read.
enum class TextEncoding { Cp932, Utf8 };

// Decides a text file's encoding from its bytes, fed in order in pieces of any size. A file that
// starts with the UTF-8 mark (EF BB BF) is UTF-8. A file without the mark is UTF-8 when the whole
// of it is valid UTF-8 and it holds at least one character of the Japanese scripts (U+3000-U+30FF,
// U+3400-U+4DBF, U+4E00-U+9FFF, U+F900-U+FAFF, U+FF00-U+FFEF). Any other file is cp932, as the
// Windows programs write it: its half-width katakana are single bytes A1-DF, which never make a
// three-byte UTF-8 sequence, so a file of them stays cp932 even where pairs of them happen to be
// valid two-byte UTF-8.
class TextEncodingDetector {
  public:
    static constexpr std::string_view MARK = "\xEF\xBB\xBF";

    void Feed(std::string_view bytes);
    // The bytes fed so far decide the encoding whatever follows (the mark was seen, or a byte
    // that is not UTF-8): the rest of the file need not be fed.
    bool IsDecided() const { return m_mark || (!m_valid && m_head < 0); }
    // The encoding of a file of the bytes fed so far.
    TextEncoding GetEncoding() const;
    // The file starts with the UTF-8 mark.
    bool HasMark() const { return m_mark; }

    // Whether the bytes are valid UTF-8 throughout.
    static bool IsValidUtf8(std::string_view bytes);

  private:
    void feedByte(unsigned char c);

    int m_head = 0;          // bytes of the mark matched at the start; -1 once it cannot be
    bool m_mark = false;     // the mark was matched whole
    bool m_valid = true;     // valid UTF-8 so far
    bool m_japanese = false; // a character of the Japanese scripts was seen
    int m_pending = 0;       // continuation bytes the current sequence still needs
    char32_t m_code = 0;     // the character of the current sequence so far
    char32_t m_least = 0;    // the least character its length may encode
};

// Why a line of a text file cannot be read into cp932.
enum class TextLineFault {
    None,
    NotUtf8,  // a file decided to be UTF-8 (by its mark) has a line that is not UTF-8
    NotCp932, // a character that cp932 cannot hold
};

// Turns one line of a file of the encoding into cp932 (iconv's "CP932"); a cp932 line stays as
// it is. On a fault the line is left as it was.
TextLineFault DecodeTextLine(TextEncoding encoding, CString &line);

// The reason for the user, in cp932 Japanese; empty for None.
const char *TextLineFaultReason(TextLineFault fault);
