#pragma once

#include "exchange/Dorrimet/ConvertTally.h"
#include "exchange/Dorrimet/CoordConvEnums.h"
#include "exchange/Dorrimet/PlaneCoord.h"
#include "exchange/Pomtrek/FileStop.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <vector>

class ICoordTransformer;
class IPointRegister;
class IPointSupplier;
class JIProgMsgBase;
class JReadCSVFile;
class WriteTextFile;

// Line kinds of the reference-point result text.
enum KJNTXT_LINE_ID : int {
    KJNTXT_UNKNOWN = 0,
    KJNTXT_A00 = 0x100,  // start of points
    KJNTXT_A01 = 0x101,  // a point
    KJNTXT_A99 = 0x1FF,  // end of points
    KJNTXT_Z00 = 0x1A00, // comment
    KJNTXT_Z01 = 0x1A01, // second comment line
    KJNTXT_Z02 = 0x1A02, // coordinate system and zone
};

// The reference-point result text: comma-separated cp932 lines, each point with its latitude and
// longitude (packed D.MMSS), plane X and Y, zone and height, after a coordinate-system line.
// Reads into an IPointRegister, writes from an IPointSupplier, recognises the form and converts
// such a file through a chain of transformers while keeping a log of the conversion. When a read,
// a write or a conversion answers false, GetStopLine and GetStopReason say where and why.
class KjnTxtBase : public FileStop {
  public:
    struct IdMap {
        std::int32_t id;
        char code[4];
    };
    static const IdMap m_sIdMap[6];

    static const EarthEllips s_EllipBessel;
    static const EarthEllips s_EllipGRS80;

    // What a conversion was asked to do; the log header is made from it.
    struct ConvData {
        CString src;
        CString dst;
        int mode = 0;
        int options = 0;
        std::vector<const ICoordTransformer *> chain;
    };

    KjnTxtBase();
    virtual ~KjnTxtBase();

    KjnTxtBase(const KjnTxtBase &) = delete;
    KjnTxtBase &operator=(const KjnTxtBase &) = delete;

    // Registers the points between A00 and A99 (RegisterPoint, then EndRegister). False when the
    // file cannot be opened, a point line is bad (a field missing, X, Y or a height that is not a
    // number or over 19 characters, a line over the line limit or holding a NUL), CheckPlaneZone
    // refuses the zone of the Z02 line or of a point, the register refuses a point or ends with
    // false, a line cannot be read into cp932 (see ReadTextFile), or the user cancels. An empty
    // point number reads as 0.
    virtual bool Read(IPointRegister *reg, const CString &path, JIProgMsgBase *progress, int mode);
    // The Z00, Z01, Z02 lines the comment getters give, then every point the supplier gives.
    // False when the file cannot be created, and, with nothing created, for a point whose values
    // this form cannot hold or whose name holds a comma or ends in a blank or tab (CsvNameFault);
    // a write error throws CFileException.
    virtual bool WritePoints(IPointSupplier *supplier, const CString &path);
    // Converts src into dst: Tokyo datum to the new one (mode 0), back (mode 1) or the other way
    // from the datum the Z02 line names (mode 2). Options bit 0 computes latitude and longitude
    // from X and Y rounded to millimetres. A log file is kept when log is not empty. A line that
    // cannot be read or converted is counted and logged, and makes the result false; so do a
    // cancel and a file error, each with a message. No line is dropped: a point line that is not
    // converted (outside the point section, unreadable, or one a read of the result would
    // refuse) is kept as a comment line and counted. A line that cannot be read into cp932 ends
    // the conversion there, false. dst is written as a new file and put in place only when every
    // line of src was taken (counted lines included): a cancel or an error leaves no new file at
    // dst and a file there as it was; when dst was free, a file that takes the name meanwhile is
    // never replaced. The log is opened before dst and kept in every case, ending with how the
    // run ended: with dst it is put in place in one PendingFiles commit, both or neither; when
    // that commit fails, or the run put no dst in place (dst could not be opened, the run failed
    // or was cancelled), the log alone is put in place saying so. The closing messages are
    // ConvertTally::AddMessages'.
    virtual bool Convert(const CString &src, const CString &dst, const CString &log,
                         ConvertMode mode, const std::vector<const ICoordTransformer *> &chain,
                         std::vector<CString> *messages, JIProgMsgBase *progress, int options);
    virtual bool Convert(const CString &src, const CString &dst, const CString &log,
                         ConvertMode mode, const ICoordTransformer *transformer,
                         std::vector<CString> *messages, JIProgMsgBase *progress, int options);
    // The lines of the log header for the mode, the direction (-1 none, 0 forward, 1 reverse)
    // and the context; false writes none.
    virtual bool GetConvertComments(std::vector<CString> *lines, ConvertMode mode, int direction,
                                    const ConvData &context) = 0;
    // True when the first point line after A00 has 8 to 10 fields after its code.
    virtual bool JudgeFormat(const CString &path);
    virtual unsigned GetCommentSize() const;
    virtual bool GetComment(int index, CString *text) const;
    virtual bool GetCommentZ00(CString *text) const;
    virtual bool GetCommentZ01(CString *text) const;
    virtual bool GetCommentZ02(int *kind, int *zone) const;

    // The code text of a line kind, null for an unknown one.
    static const char *getLineKind(KJNTXT_LINE_ID id);
    // The kind whose code equals the first three characters of the text; KJNTXT_UNKNOWN when none.
    static KJNTXT_LINE_ID readChkKind(const char *text);

  protected:
    // A read meets the file's plane-rectangular zone, on its Z02 line or in a point's zone field:
    // false refuses the file, with *reason saying why. The base takes every zone.
    virtual bool CheckPlaneZone(int zone, CString *reason);

    // When the last conversion started and ended (seconds since the epoch).
    std::int64_t GetStartTime() const { return m_tStart; }
    std::int64_t GetEndTime() const { return m_tEnd; }

  private:
    struct PointLine;

    bool openConvertFiles(const CString &src, const CString &dst, const CString &log,
                          std::vector<CString> *messages);
    // Ends the log and puts it and the destination in place together: both, or neither and the
    // log written again alone saying so. True when both are in place.
    bool commitConvertFiles(const CString &log, bool succeeded, std::vector<CString> *messages);
    // Ends the log of a run whose destination is not written, with the notes that say why, and
    // puts it in place alone.
    void closeLogAlone(const std::vector<CString> &notes, std::vector<CString> *messages);
    // The notes, then the end time of a run that succeeded or the notice of one that did not,
    // and the closing line.
    void writeLogEnd(const std::vector<CString> &notes, bool succeeded);
    bool convertLine(KJNTXT_LINE_ID kind, int mode, int *direction);
    void convertZ02(int mode, int *direction);
    void convertA00(int mode, int *direction);
    void convertPoint(int direction);
    bool transformPoint(const PointLine &point, int direction, double *x, double *y,
                        CoordConvStatusD *status) const;
    // The kind of the current line; false when its code cannot be read.
    bool lineKind(KJNTXT_LINE_ID *kind);
    // False with the reason in m_reason.
    bool readPointLine(PointLine *point, bool forConversion);
    // A bad line of the conversion: counted by the caller; the first one is kept for the stop.
    void noteBadLine(const CString &reason);
    void copyLine();
    // A point line that cannot be converted: logged, counted and written as a comment line.
    void keepPointAsComment(const CString &reason);
    void writeLog(const CString &text);
    void logInvalidLine();

    int m_nErrorState = 0; // 0 ok, 1 bad line, 2 a point refused
    CString m_reason;      // why the last line was bad
    int m_nFirstBadLine = 0;
    CString m_firstBadReason;
    ConvertTally m_tally; // the point lines of the conversion
    std::unique_ptr<JReadCSVFile> m_pReader;
    std::unique_ptr<WriteTextFile> m_pWriter;
    std::unique_ptr<WriteTextFile> m_pLog;
    CString m_logText; // what the log of the conversion holds so far
    bool m_bInPoints = false;
    bool m_bCoordSysHandled = false;
    std::int64_t m_tStart = 0;
    std::int64_t m_tEnd = 0;
    ConvData m_ConvData;
    int m_nLineNo = 0;
    int m_nLastPercent = 0;
    int m_nStepCount = 0;
    std::uint64_t m_nFileSize = 0;
    IPointRegister *m_pRegister = nullptr;
    IPointSupplier *m_pSupplier = nullptr;
    PlaneCrdJpn m_PlaneBessel;
    PlaneCrdJpn m_PlaneGRS80;
};
