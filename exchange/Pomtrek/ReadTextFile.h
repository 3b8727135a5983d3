#pragma once

#include "exchange/Pomtrek/DivisionString.h"
#include "exchange/Pomtrek/FileStop.h"
#include "platform/core/CString.h"
#include "platform/core/EncodedTextFile.h"

#include <memory>

// Reads a text file line by line into cp932 (text mode: CR LF and a lone CR read
// as a line feed, 0x1A ends the file). The file's encoding is decided once when
// it is opened (EncodedTextFile): a UTF-8 file is read into cp932 and its mark
// passed over, a cp932 file is checked to be cp932. A file that cannot be opened
// leaves the reader unused; nothing is thrown from construction. While the line
// taken last cannot be split (over the line limit, or holding a NUL),
// GetStopLine and GetStopReason name it. A line that cannot be read into cp932
// (and the first line of a UTF-16 file) ends the reading there, as the end of the
// file would, and stays named: stoppedAtUndecodableLine tells the two ends apart.
class ReadTextFile : public FileStop {
  public:
    explicit ReadTextFile(CString path);
    virtual ~ReadTextFile();

    ReadTextFile(const ReadTextFile &) = delete;
    ReadTextFile &operator=(const ReadTextFile &) = delete;

    int isUsed() const;
    int isnotUsed() const;
    // As fgets over the text in cp932: at most size - 1 bytes, the line feed
    // kept when it fits, a double-byte character never cut. 0 when no file is
    // open, at the end of the file or at a line that cannot be read into cp932.
    int readLine(char *buf, unsigned size);

    // The reading ended at a line that cannot be read into cp932 (a character
    // cp932 lacks in a UTF-8 file, a file with the UTF-8 mark that is not UTF-8,
    // bytes that are no cp932 in a cp932 file, a UTF-8 line in a cp932 file, a
    // UTF-16 file at its first line), or at a line holding a NUL after
    // StopAtNulLine; GetStopLine and GetStopReason name it. Nothing after it is
    // read.
    int stoppedAtUndecodableLine() const;

    // From now on a line holding a NUL ends the reading as a line that cannot be
    // read into cp932 does, whatever the line is: for readers that would copy or
    // take it, where a NUL would reach what they write.
    void StopAtNulLine() { m_stopAtNul = true; }

    // The longest line, without its line feed, that the CSV readers split.
    static constexpr int LINE_LIMIT = 254;

    // The line taken last is over the line limit or holds a NUL: it has no
    // fields and is one bad line.
    int isLineUnusable() const;

  protected:
    // Takes the next line whole and hands it, with a line feed (also after a
    // last line that had none), to the splitter. A line longer than LINE_LIMIT
    // or holding a NUL is consumed but not split: the splitter is left empty
    // and isLineUnusable says so. 0 at the end of the file.
    int startSplitLine(DivisionString &splitter);
    void endSplitLine(DivisionString &splitter);
    // Takes the next line whole into m_line with a line feed and counts it;
    // notes whether it is over limit characters or holds a NUL. False at the
    // end of the file and at a line that cannot be read into cp932.
    bool takeLine(int limit);

    std::unique_ptr<EncodedTextFile> m_file; // null when the open failed
    CString m_line;                          // the current line, line feed included
    int m_lineNo = 0;                        // lines taken so far
    bool m_lineTooLong = false;
    bool m_lineHasNul = false;

  private:
    // Takes the next line in cp932 with its line end as the file has it; false
    // at the end of the file or at a line that cannot be read into cp932, which
    // is then named and ends the reading for good.
    bool nextLine(CString &line, bool *lineEnd);

    bool m_undecodable = false;
    bool m_stopAtNul = false;
    CString m_pending; // what readLine has not handed out of its line yet
    std::size_t m_pendingAt = 0;
};

// A text file whose lines are split into comma-separated fields.
class ReadCSVFile : public ReadTextFile {
  public:
    ReadCSVFile(CString path, int mode);

    // 1 when a line was taken, 0 at the end of the file.
    virtual int startLine();
    virtual int readString(unsigned max, char *out);
    virtual int readInt(int *value);
    virtual int readDouble(double *value);
    virtual int endLine();
    virtual DIV_ERROR readStringEx(CString *text);
    virtual DIV_ERROR readIntEx(int *value);
    virtual DIV_ERROR readDoubleEx(double *value);

    // The line taken by startLine was longer than the line limit: it has no
    // fields and must be reported as bad.
    int isLineTooLong() const;

    // Field reads that name what is wrong (see DivisionString); on a reader
    // without an open file the field is missing.
    FIELD_FAULT readTextField(unsigned max, CString *text);
    FIELD_FAULT readIntField(int *value);
    FIELD_FAULT readRealField(double *value, bool exponent);

  protected:
    ReadCSVFile(CString path, std::unique_ptr<DivisionString> splitter);

    std::unique_ptr<DivisionString> m_splitter; // never null
};

// A text file whose lines are split with double-quoted fields.
class ReadCSVFileEx : public ReadTextFile {
  public:
    ReadCSVFileEx(CString path, int mode, int stringMode);

    virtual int startLine();
    virtual int readString(unsigned max, char *out);
    virtual int readInt(int *value);
    virtual int readDouble(double *value);
    virtual int endLine();
    virtual int isStringMode() const;
    virtual int setStringMode(int stringMode);

    int isLineTooLong() const;

  private:
    DivisionStringEx m_splitter;
};
