#pragma once

#include "exchange/Pomtrek/FileStop.h"
#include "exchange/Pomtrek/ReadTextFile.h"
#include "exchange/Pomtrek/WriteTextFile.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <vector>

// Record codes: the letter's number times 256 plus the two-digit number, 99
// counted as 0xFF.
enum VESK_LINE_ID : int {
    VESK_A00 = 0x100,
    VESK_A01 = 0x101,
    VESK_A99 = 0x1FF,
    VESK_B01 = 0x201,
    VESK_B03 = 0x203,
    VESK_C00 = 0x300,
    VESK_C01 = 0x301,
    VESK_C02 = 0x302,
    VESK_C03 = 0x303,
    VESK_C99 = 0x3FF,
    VESK_D00 = 0x400,
    VESK_D99 = 0x4FF,
    VESK_E00 = 0x500,
    VESK_E01 = 0x501,
    VESK_E03 = 0x503,
    VESK_E99 = 0x5FF,
    VESK_F00 = 0x600,
    VESK_F03 = 0x603,
    VESK_F99 = 0x6FF,
    VESK_G00 = 0x700,
    VESK_Z00 = 0x1A00,
    VESK_Z01 = 0x1A01,
};

// The version the writers put in G00: 0x100 writes "01", 0x200 "02", anything
// else "03"; above 0x300 a Z01 record is written as well.
enum VeskVersionNo : int {
    VESK_VERSION_01 = 0x100,
    VESK_VERSION_02 = 0x200,
    VESK_VERSION_03 = 0x300,
};

// Kinds the format carries as plain integers and passes through unchanged.
enum LOT_KIND : int {};
enum ROUTE_KIND : int {};
enum RADIUS_KIND : int {};

// Reader and writer of the survey exchange format: cp932 lines of
// comma-separated fields, each starting with a three-character record code and
// ending with a comma. Reading hands every record to the Add... operations of a
// derived class; writing takes points, comments and lots from its Get...
// operations.
//
// A coordinate that is not wholly a number (an empty or blank one, a lone sign,
// "1-2", "1 2") makes its record bad; it is never read as 0. An empty integer
// field (a point or lot number, a kind) reads as 0, as other software writes
// them; the coordinate-system value stays strict. A number holds at most 19
// characters after its leading blanks; a longer one is missing. An empty
// height field means "no height". A line over the line limit or holding a NUL
// is a bad record. A line that cannot be read into cp932 (see ReadTextFile)
// stops the read. When a read stops, GetStopLine and GetStopReason say where
// and why.
class VeskBase : public FileStop {
  public:
    struct IdMap {
        std::int32_t id;
        char code[4];
    };
    static const IdMap m_sIdMap[22];
    static const char m_cVer01[3];
    static const char m_cVer02[3];
    static const char m_cVer03[3];

    // Bits of readFlags.
    enum {
        READ_POINTS = 0x1,
        READ_LOTS = 0x2,
        READ_ROUTES = 0x4,
        READ_GO_ON = 0x8000, // the user chose to go on after a bad record
    };

    // Values of errorState.
    enum {
        ERR_NONE = 0,
        ERR_VERSION = 1, // version refused
        ERR_CONTENT = 2, // bad content in the current line
        ERR_REFUSED = 3, // the derived class refused the line's data
    };

    VeskBase();
    virtual ~VeskBase();

    VeskBase(const VeskBase &) = delete;
    VeskBase &operator=(const VeskBase &) = delete;

    // 1 when the whole file was read; 0 when it could not be opened or a
    // record stopped the read (getErrorState tells why). A CException closes
    // the file and is passed on.
    virtual int Read(const CString &path, int readFlags, int mode);
    // Write G00, the comments, a Z01 record when version > 0x300 (0 for
    // newDatum, else 1), the points and, when lotCount > 0, the lots. 1 on
    // success. 0, with nothing created and the point, lot or site named in
    // GetStopReason, when a point has a value that this format cannot hold (not
    // finite, or over 19 characters with the written decimals), or a point, lot
    // or site name holds a comma or ends in a blank or tab (CsvNameFault), since
    // the file would not read back as written. A failed create or write throws
    // CFileException, the file at the path left as it was.
    virtual int WritePoints(const CString &path, const CString &siteName, unsigned pointCount);
    virtual int WritePoints2(const CString &path, const CString &siteName, unsigned pointCount,
                             int newDatum, VeskVersionNo version);
    virtual int WritePointsAndLots(const CString &path, const CString &siteName,
                                   unsigned pointCount, int newDatum, unsigned lotCount,
                                   VeskVersionNo version);

    // For errorState 2 or 3 the message naming the current line; else empty.
    CString getReadErrorMessage() const;
    int getErrorState() const { return m_errorState; }
    int getLineNo() const { return m_lineNo; }
    // How many Z00 lines the writers ask GetComment for.
    void setCommentNum(int count);
    // The code text of an id; null for an unknown id.
    static const char *getLineKind(VESK_LINE_ID id);
    // The id whose code equals the first three characters of text; 0 for none.
    static int readChkKind(const char *text);

  protected:
    // Z01: non-zero accepts the file's coordinate system (0 world, 1 Tokyo).
    virtual int CheckCoordSysKind(int kind);

    // Operations of the derived class; non-zero for success.
    virtual int AddPointStart() = 0;
    virtual int AddPoint(int no, const CString &name, double x, double y, double h, int hUsed) = 0;
    virtual int AddPointEnd() = 0;
    virtual int AddPointOfLot(int no, const CString &name) = 0;
    virtual int AddRadiusOfLot(RADIUS_KIND kind, double value) = 0;
    virtual int AddLotStart(int no, const CString &name, LOT_KIND kind) = 0;
    virtual int AddLotEnd() = 0;
    virtual int AddRouteStart(int no, int second, const CString &name, ROUTE_KIND kind) = 0;
    virtual int AddPointOfRoute(int no, const CString &name) = 0;
    virtual int AddDistOfRoute(double distance) = 0;
    virtual int AddRadiusOfRoute(RADIUS_KIND kind, double value) = 0;
    virtual int AddClosoidOfRoute(double a, double b, double c) = 0;
    virtual int AddLineAttrOfRoute(double a, double b, int presentMask) = 0;
    virtual int AddLineDistOfRoute(double distance) = 0;
    virtual int AddTriangleOfLot(int a, int b, int c) = 0;
    virtual int AddTriAttrOfLot(double a, double b, double c, double d, double e,
                                int presentMask) = 0;
    virtual int AddRouteEnd() = 0;
    virtual int AddSiteName(const CString &siteName) = 0;
    virtual int GetPoint(unsigned index, CString *name, double *x, double *y, double *h,
                         int *hUsed) = 0;
    // The base has no comments (0).
    virtual int GetComment(int index, CString *text);
    virtual int GetLotName(unsigned lot, unsigned *memberCount, CString *name, int *kind) = 0;
    virtual int GetLotPoint(unsigned lot, unsigned member, unsigned *pointIndex, CString *name) = 0;

    // 0 and nothing open when the file cannot be read.
    virtual int OpenReadFile(const CString &path, int mode);
    // Throws CFileException when the file cannot be created.
    virtual int OpenWriteFile(const CString &path);
    virtual int CloseReadFile();
    // Writes what is buffered, closes and puts the file in place; throws
    // CFileException when that fails. A writer dropped without it leaves the file
    // at its path as it was.
    virtual int CloseWriteFile();
    // G00 with a version outside 1 to 3: non-zero reads on. The base refuses.
    virtual int ErrMsgOfVersion(int version);
    // The first bad record: non-zero goes on (and later bad records are passed
    // over without asking). The base stops.
    virtual int AskErrorExecute();

    // Handles the line the reader has just taken (lineNo already counted):
    // 1 to read on, 0 to stop.
    int readLineRecord();

    // The A01 text of one point with the name in nameWidth columns.
    CString formatPointLine(int no, const CString &name, int nameWidth, double x, double y,
                            double h, int hUsed) const;
    // Writes text as one line; it must end with a line feed.
    void writeRecord(const CString &text);
    void writeCode(VESK_LINE_ID id);
    void writeComment(const CString &text);
    void writeCoordSys(int value);

    // Checked reads of the next field of the current line (texts of up to 127
    // characters, numbers of up to 19). False when the field is missing, too
    // long or not wholly a number; m_fieldReason then says so, naming the
    // field by what. An empty integer reads as 0 unless strict.
    bool readIntField(int &value, const char *what, bool strict = false);
    bool readRealField(double &value, const char *what);
    bool readTextField(CString &text, const char *what);
    // Empty (or blank): no height.
    bool readHeightField(double &value, int &used);
    // Whether the point's numbers can be written so that a read gives them
    // back: finite, and at most 19 characters with the written decimals.
    bool pointFits(double x, double y, double h, int hUsed) const;

    int m_errorState = ERR_NONE;
    CString m_fieldReason; // why the last field read failed
    std::unique_ptr<ReadCSVFile> m_reader;
    std::unique_ptr<WriteTextFile> m_writer;
    int m_inPoints = 0;
    int m_inLot = 0;
    int m_inRoute = 0;
    int m_inElement = 0;
    int m_inTriangles = 0;
    int m_commentNum = 0;
    int m_readFlags = 0;
    int m_lineNo = 0;
    int m_xyIntDigits = 9;
    int m_hIntDigits = 9;
    int m_xyDecimals = 6;
    int m_hDecimals = 6;

    // A bad record: sets errorState and asks once whether to go on; a stop
    // names the line with the reason, a record gone on past is counted.
    int recordFailed(int state, const CString &reason);
    // Stops the read at the current line.
    int stopRecord(int state, const CString &reason);
    // After the reader's last line: true, with the read stopped at that line,
    // when the reading ended at a line that cannot be read into cp932.
    bool stoppedAtUndecodableLine();

  private:
    int readPoint();
    int readLotMember();
    int readRouteDistance();
    int readRadius();
    int readClothoid();
    int readLineAttributes();
    int readLotStart();
    int readLotEnd();
    int readTriangle();
    int readTriangleAttributes();
    int readRouteStart();
    int readLineDistance();
    int readRouteEnd();
    int readSiteName();
    int readCoordSys();

    int writeFile(const CString &path, const CString &siteName, unsigned pointCount, int newDatum,
                  int version, unsigned lotCount);
    // The A01 lines of the points the derived class gives; false, with the
    // stop set, for a point that cannot be written.
    bool formatPointSection(unsigned pointCount, std::vector<CString> &lines);
    // The D00, B01 and D99 lines of the lots the derived class gives; false,
    // with the stop set, for a lot or member name that cannot be written.
    bool formatLotSection(unsigned lotCount, std::vector<CString> &lines);
};
