#pragma once

#include "exchange/Pomtrek/FileStop.h"
#include "platform/core/CString.h"

#include <array>
#include <vector>

// Result of the checked reads.
enum DIV_ERROR {
    DIV_OK = 0,        // the field was read
    DIV_NOFIELD = 1,   // no further field, or the splitter is unusable
    DIV_EMPTY = 2,     // the field is empty
    DIV_NOTNUMBER = 3, // the field is not a number of the asked kind
};

// Splits one line into fields at up to four delimiter characters. A line feed
// and the end of the line always end a field as well. Mode bit 0 drops blanks
// and tabs before a field, bit 1 trims them after it. The second byte of a
// double-byte character is never taken for a delimiter.
class DivisionString {
  public:
    DivisionString(unsigned capacity, int mode);
    DivisionString(const DivisionString &) = default;
    DivisionString &operator=(const DivisionString &) = default;
    virtual ~DivisionString() = default;

    // 1 stored; 0 for a null line or one longer than the capacity.
    virtual int setString(const char *line);
    virtual int removeString();
    virtual int isUsed() const;
    virtual int isnotUsed() const;

    // Delimiters: addPause answers 1 when c is (now) a delimiter, 0 when four
    // are already set; susPause removes one; removePause removes all, which
    // makes the splitter unusable until one is added.
    virtual int addPause(char c);
    virtual int susPause(char c);
    virtual int removePause();
    virtual unsigned PaiseCount() const;
    // NUL when index is out of range.
    virtual char getPause(unsigned index) const;

    virtual int setSpaseSkip(int mode);
    virtual int removeSpaseSkip();
    virtual int getSpaceSkip();

    // Reads the next field into out, which must hold max + 1 bytes. 0 when
    // there is no field or the field holds more than max bytes; the position
    // then stays where it was.
    virtual int readString(unsigned max, char *out);
    // As the C library's atoi and atof: no check of the text, an empty field
    // reads as 0.
    virtual int readInt(int *value);
    virtual int readDouble(double *value);
    // Checked reads; the value is written only with DIV_OK. A number is an
    // optional sign and decimal digits (a real also one "."), with at least
    // one digit; an integer out of range is not a number.
    virtual DIV_ERROR readStringEx(CString *text);
    virtual DIV_ERROR readIntEx(int *value);
    virtual DIV_ERROR readDoubleEx(double *value);
    // Passes over the next field.
    virtual int skip();
    virtual int toTop();

    // Reads that name what is wrong with the field, for a reader's stop reason. A text holds at
    // most max bytes and may be empty. A number's field is taken as readInt and readDouble take
    // it (blanks dropped before and trimmed after, at most NUMBER_MAX bytes) and parsed
    // strictly: an optional sign, digits and, for a real, one point; with exponent a real may
    // also have one. FIELD_EMPTY for an empty number. A field too long or not a number is
    // passed over; the value is written only with FIELD_OK.
    FIELD_FAULT readTextField(unsigned max, CString *text);
    FIELD_FAULT readIntField(int *value);
    FIELD_FAULT readRealField(double *value, bool exponent);

    // The most bytes a number's field holds.
    static constexpr unsigned NUMBER_MAX = 19;
    // Whether v written with the given decimals ("%.*f") is a number's field
    // that reads back: finite and at most NUMBER_MAX characters.
    static bool NumberFits(double v, int decimals);

  protected:
    // The field at the position: the index of its first stored byte and of
    // the character that ended it (the length of the line when none did).
    // False when there is no field or it holds more than max bytes.
    bool scanField(unsigned max, unsigned &start, unsigned &end) const;
    // Bytes the character at index takes: 2 for a double-byte character.
    unsigned charWidth(unsigned index) const;
    bool isPause(char c) const;
    // A delimiter, a line feed or a NUL.
    bool endsField(char c) const { return m_ends[static_cast<unsigned char>(c)]; }
    // Stores the length bytes at start into out, applies the trailing-blank
    // rule and moves the position past end.
    void takeField(char *out, unsigned start, unsigned length, unsigned end);
    // Reads a field under mode 3 with at most 19 bytes.
    int readNumberText(char *out);
    void updateEnds();

    std::vector<char> m_buffer; // capacity + 1 bytes
    unsigned m_capacity;
    unsigned m_length = 0;
    unsigned m_position = 0;
    char m_pauses[4] = {',', 0, 0, 0};
    unsigned m_pauseCount = 1;
    // Which bytes end a field; kept by updateEnds whenever the delimiters change.
    std::array<bool, 256> m_ends{};
    int m_mode;
    // Index of the character that ended the last field read or skipped.
    unsigned m_fieldEnd = 0;
};

// A splitter that also takes double-quoted fields: a field whose first stored
// character would be a double quote runs, delimiters included, to a double
// quote followed by a comma, a delimiter or the end of the line; the quotes
// are dropped. A quote anywhere else is an ordinary character.
class DivisionStringEx : public DivisionString {
  public:
    DivisionStringEx(unsigned capacity, int mode, int stringMode);

    int readString(unsigned max, char *out) override;
    virtual int isStringMode() const;
    // Answers the previous value. The flag is kept for callers only.
    virtual int setStringMode(int stringMode);

  private:
    int m_stringMode;
};
