#pragma once

#include <compare>
#include <cstdarg>
#include <string>
#include <string_view>

// An 8-bit string of code page 932 bytes. Lengths and indexes count bytes.
// Searching, trimming and case mapping are double-byte aware: the trail byte
// of a double-byte character (which may be 0x5C '\' or 0x7C '|') is never
// taken for a character of its own.
class CString {
  public:
    CString() = default;
    CString(const char *text);
    CString(const char *text, int length);
    CString(char ch, int repeat = 1);
    explicit CString(std::string bytes);
    explicit CString(std::string_view bytes);

    // True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
    static bool IsLeadByte(unsigned char c);

    int GetLength() const;
    bool IsEmpty() const;
    void Empty();
    char GetAt(int index) const;
    char operator[](int index) const;
    void SetAt(int index, char ch);

    operator const char *() const;
    const char *GetString() const;
    // The raw bytes.
    const std::string &Bytes() const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Index of the character or substring at or after start, -1 when absent.
    int Find(char ch, int start = 0) const;
    int Find(const char *sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char *charSet) const;

    CString &TrimLeft();
    CString &TrimLeft(char target);
    CString &TrimLeft(const char *targets);
    CString &TrimRight();
    CString &TrimRight(char target);
    CString &TrimRight(const char *targets);
    CString &Trim();
    CString &Trim(char target);
    CString &Trim(const char *targets);

    // ASCII letters only; double-byte characters are left alone.
    CString &MakeUpper();
    CString &MakeLower();

    // Number of replacements made.
    int Replace(char oldCh, char newCh);
    int Replace(const char *oldText, const char *newText);
    int Remove(char ch);
    int Insert(int index, const char *text);
    int Delete(int index, int count = 1);

    // printf-like; numbers always in the C locale.
    void Format(const char *format, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char *format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char *format, va_list args);
    void AppendFormatV(const char *format, va_list args);

    // <0, 0, >0 as strcmp on the bytes.
    int Compare(const char *other) const;
    // As Compare with ASCII letters folded to upper case.
    int CompareNoCase(const char *other) const;
    // Case-insensitive ordering for sorted lists (same rule as CompareNoCase).
    int CollateNoCase(const char *other) const;

    CString &operator=(const char *text);
    CString &operator+=(const CString &other);
    CString &operator+=(const char *text);
    CString &operator+=(char ch);

    friend CString operator+(const CString &a, const CString &b);
    friend CString operator+(const CString &a, const char *b);
    friend CString operator+(const char *a, const CString &b);
    friend CString operator+(const CString &a, char b);
    friend CString operator+(char a, const CString &b);

    friend bool operator==(const CString &a, const CString &b);
    friend bool operator==(const CString &a, const char *b);
    friend bool operator<(const CString &a, const CString &b);

  private:
    std::string m_str;
};

// A null pointer stands for the empty string.
bool operator==(const char *a, const CString &b);
bool operator!=(const CString &a, const CString &b);
bool operator!=(const CString &a, const char *b);
bool operator>(const CString &a, const CString &b);
bool operator<=(const CString &a, const CString &b);
bool operator>=(const CString &a, const CString &b);

// Conversion at the edges (file names, directory listings, Qt widgets) with iconv's "CP932".
// The strict forms answer false on bytes that do not convert and leave out unchanged.
bool Cp932ToUtf8(std::string_view cp932, std::string &utf8);
bool Utf8ToCp932(std::string_view utf8, CString &cp932);
// Lenient forms: a byte or character that does not convert becomes U+FFFD or '?'. ToUtf8 gives
// the text for people: the characters that stand for native bytes (NativeText) show as the
// native characters they spell.
std::string ToUtf8(const CString &cp932);
CString FromUtf8(std::string_view utf8);
// The characters of a UTF-8 text that cp932 cannot hold (by the strict conversion above), each
// once, in the order met; U+FFFD stands for bytes that are not UTF-8.
std::u32string Cp932LackedCharacters(std::string_view utf8);

// How messages name what they cannot show: the character at the start of a UTF-8 text by its
// code ("U+301C"; a byte that starts no UTF-8 character as "0xFF"), with the bytes it takes in
// length; and bytes in hexadecimal ("81 2C").
CString Utf8CharacterCode(std::string_view utf8, std::size_t &length);
CString HexBytes(std::string_view bytes);
