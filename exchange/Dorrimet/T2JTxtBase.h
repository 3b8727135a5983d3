#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "exchange/Pomtrek/FileStop.h"
#include "exchange/Pomtrek/ReadTextFile.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class ICoordTransformer;
class IPointRegister;
class IPointSupplier;
class JIProgMsgBase;
class WriteTextFile;

// Reads the grid-conversion text line by line: a line starting with "#" is a comment, any other
// line holds plane X, plane Y and a free name separated by spaces (a tab belongs to its token).
// The line end always ends the line, whatever byte stands before it. A line holding a NUL is no
// comment and has no numbers; so has a line over the limit.
class ReadT2JTxtFile : public ReadTextFile {
  public:
    // The longest line taken, without its line feed; a longer one has no numbers.
    static constexpr int LINE_LIMIT = 511;

    // The two numbers are not used.
    ReadT2JTxtFile(const CString &path, int, int);
    ~ReadT2JTxtFile() override;

    // Takes the next line; false at the end of the file.
    virtual bool ReadLine();
    virtual bool IsCommentLine() const;
    // X, Y and the rest of the line as the name, trimmed. True only when both numbers were read.
    // A number is a whole token: strict takes only a sign, digits and one point; otherwise an
    // exponent is allowed as well. Anything else (a lone sign, "1-2", an empty token) is no
    // number.
    virtual bool GetCrdData(CString *name, double *x, double *y, bool strict);

    // The size when the file was opened; 0 when it did not open.
    std::uint64_t GetFileSize() const { return m_nFileSize; }
    // The byte position in the file; 0 when no file is open.
    std::uint64_t GetCurrentPos() const;
    // The current line with its line feed (also after a last line that had none).
    CString GetBufferStr() const { return m_line; }

    // True for the first byte of a double-byte character.
    static bool isShiftJIS1stByte(unsigned char c);

  protected:
    // 1 when a line was taken, 0 at the end of the file.
    virtual int startLine();
    virtual bool readDouble(double *value, bool strict);
    virtual bool readComment(CString *name);
    // Drops the current line; always 1.
    virtual int endLine();

  private:
    // The current line without its line feed.
    std::string_view content() const;

    bool m_bComment = false;
    std::uint64_t m_nFileSize = 0;
    int m_nPos = 0; // read position within the line
};

// The grid-conversion text: points as "X Y name" lines and "#" comment lines. Reads into an
// IPointRegister, writes from an IPointSupplier, recognises the form and converts a file with
// one transformer. An adapter sets the register, the supplier and the context before it calls
// readPoints or writePoints. When one of them answers false, GetStopLine and GetStopReason say
// where and why.
class T2JTxtBase : public FileStop {
  public:
    // What a conversion or a write was asked to do; the header comments are made from it.
    struct ConvData {
        ConvertMode mode = ConvertToNew;
        CString src;
        CString dst;
        int n = 0; // passed through from the caller
        const ICoordTransformer *transformer = nullptr;
        CoordCnvKind kind = CrdCnvParaTrans;
    };

    T2JTxtBase();
    virtual ~T2JTxtBase();

    T2JTxtBase(const T2JTxtBase &) = delete;
    T2JTxtBase &operator=(const T2JTxtBase &) = delete;

    // Converts every point line of src into dst, forward unless mode is 1; comment lines are
    // copied. A line without two numbers (one holding a NUL too) is copied whole and counted; a
    // point the transformer cannot convert, or whose converted line a read would refuse, is kept
    // as a comment and counted. False when a file cannot be opened, a line was counted, a file
    // error occurred, a line cannot be read into cp932 (the conversion ends there) or the user
    // cancelled, each with a message. dst is written as a new file and put in place only when
    // every line of src was taken (counted lines included): a cancel or an error leaves no new
    // file at dst and a file there as it was; when dst was free, a file that takes the name
    // meanwhile is never replaced. The closing messages (ConvertTally::AddMessages) count the
    // point lines not converted, with the first of them, and say so when no point was
    // converted, or, when dst was not put in place, say that nothing was written; no note is
    // written into an output that is discarded.
    virtual bool Convert(const CString &src, const CString &dst, ConvertMode mode, int n,
                         const ICoordTransformer *transformer, CoordCnvKind kind,
                         std::vector<CString> *messages, JIProgMsgBase *progress);
    // 1 when a point line is found. Any other line ends the scan with 0 from line 100 on
    // (comment lines count but never end it); 0 at the end of the file.
    virtual int JudgeFormat(const CString &path);
    virtual unsigned GetCommentSize() const = 0;
    virtual bool GetComment(int index, CString *text) const = 0;
    // The header comment lines for the direction (-1 none, 0 forward, 1 reverse) and the
    // context; false writes none.
    virtual bool GetConvertComments(std::vector<CString> *lines, int direction,
                                    const ConvData &data) = 0;

  protected:
    // Registers the points of the file, numbered 1, 2, 3 in file order. The points end at a
    // blank line; false when more points follow it, at a line that is neither a point nor a
    // comment or cannot be read into cp932, when the register refuses a point or ends with
    // false, or on a cancel.
    bool readPoints(const CString &path, JIProgMsgBase *progress);
    // The header comments, then every point the supplier gives. False when no supplier is set
    // or the file cannot be created, and, with nothing created, for a point whose X or Y is not
    // finite, whose line would be over the line limit or whose name would not read back (blanks
    // at either end, a leading "#"); a write error throws CFileException.
    bool writePoints(const CString &path);

    // When the last conversion started and ended (seconds since the epoch).
    std::int64_t GetStartTime() const { return m_tStart; }
    std::int64_t GetEndTime() const { return m_tEnd; }

    IPointRegister *m_pRegister = nullptr; // not owned
    IPointSupplier *m_pSupplier = nullptr; // not owned
    ConvData m_ConvData;

  private:
    void writeHeader(int direction);
    // True, with the stop set there, when a line that is neither blank nor a comment follows.
    bool moreDataFollows();
    void noteBadLine(const CString &reason);

    std::unique_ptr<ReadT2JTxtFile> m_pReader;
    std::unique_ptr<WriteTextFile> m_pWriter;
    int m_nLastPercent = 0;
    int m_nStepCount = 0;
    std::uint64_t m_nFileSize = 0;
    int m_nLineNo = 0;
    int m_nFirstBadLine = 0;
    CString m_firstBadReason;
    std::int64_t m_tStart = 0;
    std::int64_t m_tEnd = 0;
};
