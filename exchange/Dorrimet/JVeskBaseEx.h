#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "exchange/Dorrimet/JReadCSVFile.h"
#include "exchange/Vesk/VeskBase.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <vector>

class ICoordTransformer;
class JIProgMsgBase;

// The exchange-format reader with a progress display, a format check, and a
// converter that copies an exchange file while passing its point coordinates
// through a chain of transformers.
//
// A converted file never holds unconverted coordinates under a coordinate-system
// record that claims the new datum: a point that cannot be converted (missing
// or non-numeric field, a transformer that answers false or gives no finite
// value) is a bad line, and so is a point line outside A00..A99. A bad line
// follows a notice comment and is counted; a bad point line is kept as a comment
// line, so that no reader takes it for a converted point.
class JVeskBaseEx : public VeskBase {
  public:
    // The most bad lines a conversion copies before it gives up.
    static constexpr int MAX_BAD_LINES = 100;
    // Width of the explanatory block at the head of a converted file.
    static constexpr int HEADER_WIDTH = 123;

    JVeskBaseEx();
    ~JVeskBaseEx() override;

    using VeskBase::Read;
    // Reads as VeskBase::Read, reporting the percentage of the file read. A
    // cancel closes the file and answers 0.
    virtual int Read(const CString &path, JIProgMsgBase *progress, int readFlags, int mode);

    // Converts src into dst in the direction mode asks for. Messages for the
    // user are appended to messages (may be null); they end with the closing
    // messages of ConvertTally::AddMessages: of a file put in place the point
    // records copied unconverted, with the first of them, and whether no point
    // was converted; of any other run that nothing was written. Notes on
    // copied attribute records are given only with a file put in place, and no
    // note is written into an output that is discarded. 1 when the whole file
    // was gone through; 0 for a mode
    // outside ConvertMode, when a file could not be opened, the user cancelled,
    // too many lines were bad, a line could not be read into cp932 or an error
    // occurred. dst is written aside and put in place only by a conversion that
    // answers 1: any other leaves no new file at dst, and a file there as it
    // was. When dst was free, a file that takes the name during the conversion
    // is never replaced: the conversion then answers 0 with the reason.
    virtual int Convert(const CString &src, const CString &dst, ConvertMode mode,
                        const std::vector<const ICoordTransformer *> &chain,
                        std::vector<CString> *messages, JIProgMsgBase *progress);
    virtual int Convert(const CString &src, const CString &dst, ConvertMode mode,
                        const ICoordTransformer *transformer, std::vector<CString> *messages,
                        JIProgMsgBase *progress);

    // 1 when the file is in the exchange format.
    virtual int JudgeFormat(const CString &path);

    void SetCrdFigureNum(int intDigits, int decimals);
    void SetHgtFigureNum(int intDigits, int decimals);

  protected:
    using VeskBase::OpenReadFile;
    // Opens a JReadCSVFile; 0 and nothing open when the file cannot be read.
    virtual int OpenReadFile(const CString &path, int mode, bool elmInfo);

    // The explanatory lines of a converted file's header for the mode and the
    // direction applied (0 forward, 1 reverse, -1 none); false writes no header.
    virtual bool GetConvertComments(std::vector<CString> *lines, ConvertMode mode,
                                    int direction) = 0;

    int m_lastPercent = 0;
    std::uint64_t m_fileSize = 0;
    bool m_headerPending = false;
    std::vector<CString> m_sourceComments; // Z00 lines after G00, whole as read
    std::int64_t m_startTime = 0;          // seconds since the epoch
    std::int64_t m_endTime = 0;

  private:
    struct ConvertState;

    // The open reader when it is a JReadCSVFile.
    JReadCSVFile *jreader() const;
    // Reports the position after a line; false when the user cancelled.
    bool reportReadProgress(JIProgMsgBase *progress);
    bool reportConvertProgress(JIProgMsgBase *progress, ConvertState &state);

    // 0 when the input or the output is not open.
    int convertRecord(const char *code, ConvertState &state);
    // 0 when the line is bad.
    int convertPoint(const ConvertState &state);
    void writeHeader(const ConvertState &state);
    void flushSourceComments();
    // Writes the comments collected after G00 where they stood, once any other
    // line is written before A00.
    void endSourceComments();
    void writeBadLine(ConvertState &state);
    // The notes on attribute records copied unconverted.
    std::vector<CString> attributeNotes(const ConvertState &state) const;
};
