#pragma once

#include "platform/core/CString.h"

#include <cstddef>
#include <string_view>

// The encodings in which text files of other software come. Inside the system every text stays
// cp932: a UTF-8 file is turned into cp932 as it is read, and a UTF-16 file is not read at all.
enum class TextEncoding { Cp932, Utf8, Utf16 };

// Decides a text file's encoding from its bytes, fed in order in pieces of any size. A file that
// starts with the UTF-8 mark (EF BB BF) is UTF-8; one that starts with a UTF-16 mark (FF FE or
// FE FF) is UTF-16. A file without a mark is UTF-8 when the whole of it is valid UTF-8 and it
// holds at least one sequence of three or four bytes (U+0800 and above: every Japanese
// character, and symbols such as U+2212 or U+2460). Any other file is cp932, as the Windows
// programs write it: its half-width katakana are single bytes A1-DF, whose pairs may happen to be
// two-byte UTF-8 but never make a sequence of three or four bytes.
class TextEncodingDetector {
  public:
    static constexpr std::string_view MARK = "\xEF\xBB\xBF";

    void Feed(std::string_view bytes);
    // The bytes fed so far decide the encoding whatever follows (a mark was seen, or a byte that
    // is not UTF-8): the rest of the file need not be fed.
    bool IsDecided() const { return m_mark || m_utf16 || (!m_valid && m_head < 0 && m_fed >= 2); }
    // The encoding of a file of the bytes fed so far.
    TextEncoding GetEncoding() const;
    // The file starts with the UTF-8 mark.
    bool HasMark() const { return m_mark; }

    // Whether the bytes are valid UTF-8 throughout.
    static bool IsValidUtf8(std::string_view bytes);
    // Where the first sequence that is not UTF-8 starts and how many bytes of it were taken
    // before it failed (at least one); the offset is npos when all of the bytes are UTF-8.
    static std::size_t FirstInvalidUtf8(std::string_view bytes, std::size_t &length);

  private:
    void feedByte(unsigned char c);

    int m_head = 0;            // bytes of the UTF-8 mark matched at the start; -1 once it cannot be
    bool m_mark = false;       // the UTF-8 mark was matched whole
    int m_fed = 0;             // bytes fed, counted up to two (for the UTF-16 marks)
    unsigned char m_first = 0; // the first byte fed
    bool m_utf16 = false;      // the file starts with a UTF-16 mark
    bool m_valid = true;       // valid UTF-8 so far
    bool m_wide = false;       // a sequence of three or four bytes was seen
    int m_pending = 0;         // continuation bytes the current sequence still needs
    char32_t m_code = 0;       // the character of the current sequence so far
    char32_t m_least = 0;      // the least character its length may encode
};

// Why a line of a text file cannot be read into cp932.
enum class TextLineFault {
    None,
    NotUtf8,  // a file decided to be UTF-8 (by its mark) has a line that is not UTF-8
    NotCp932, // a character that cp932 cannot hold (in a UTF-8 file)
    BadCp932, // bytes that are no cp932 character (in a cp932 file)
    Utf16,    // the file is UTF-16
    // A line of a cp932 file that is UTF-8 with a character of three or four bytes, all of whose
    // characters cp932 holds: a line of a UTF-8 file joined to a cp932 one, which read as cp932
    // would be other characters.
    MixedUtf8,
};

// Where the first bytes that are no cp932 character (by iconv's "CP932", as every conversion at
// the edges) start; npos when all of them are cp932.
std::size_t FirstInvalidCp932(std::string_view cp932);

// Turns one line of a file of the encoding into cp932 (iconv's "CP932"); a cp932 line stays as
// it is once it is found to be cp932 and not to be a UTF-8 line (MixedUtf8). On a fault the line
// is left as it was.
TextLineFault DecodeTextLine(TextEncoding encoding, CString &line);

// The reason for the user, in cp932 Japanese, naming what of the line (as it stands in the
// file) is at fault: the codes of the characters cp932 lacks, or the bytes, in hexadecimal, that
// are not UTF-8 or not cp932. Empty for None.
CString TextLineFaultReason(TextLineFault fault, const CString &line);
