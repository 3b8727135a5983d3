#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "exchange/Dorrimet/JReadCSVFile.h"
#include "exchange/Dorrimet/PlaneCoord.h"
#include "exchange/Pomtrek/FileStop.h"
#include "exchange/Pomtrek/WriteTextFile.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <vector>

class ICoordTransformer;
class IPointRegister;
class IPointSupplier;
class JIProgMsgBase;

// Kinds of the single-letter exchange lines; 0 for any other first field.
enum APAVESK_LINE_ID : int {
    APAVESK_NONE = 0,
    APAVESK_A = 1, // opening line
    APAVESK_B = 2,
    APAVESK_C = 3,
    APAVESK_D = 4,
    APAVESK_E = 5,
    APAVESK_F = 6,
    APAVESK_G = 7, // one point
    APAVESK_Z = 8, // closing line
};

// Reader and writer of the single-letter point exchange text: every line
// starts with a one-letter kind and ends with a check character and a comma.
//
// A point whose X or Y is missing or not wholly a number, or whose height is
// not a number, stops the read; a number holds at most 19 characters after its
// leading blanks. An empty height field means "no height". A line over the line
// limit or holding a NUL stops the read as well, since it may be a point, and
// so does a line that cannot be read into cp932 (see ReadTextFile). When a
// read stops, GetStopLine and GetStopReason say where and why.
class ApaVeskBase : public FileStop {
  public:
    struct IdMap {
        std::int32_t id;
        char code[4];
    };
    static const IdMap m_sIdMap[8];
    static const EarthEllips s_EllipBessel;
    static const EarthEllips s_EllipGRS80;

    // Values of the error state.
    enum {
        ERR_NONE = 0,
        ERR_LINE = 1,    // a line of another kind, or a bad field of a point line
        ERR_REFUSED = 2, // the register refused a point
    };

    ApaVeskBase();
    virtual ~ApaVeskBase();

    ApaVeskBase(const ApaVeskBase &) = delete;
    ApaVeskBase &operator=(const ApaVeskBase &) = delete;

    // Hands every point line to the register, then calls its EndRegister.
    // False for a null register, a file that cannot be read, a bad point line, a
    // refused point, a cancel or a false EndRegister. A CException closes the
    // file and is passed on.
    virtual bool Read(IPointRegister *pointRegister, const CString &path, JIProgMsgBase *progress,
                      int mode);
    // Writes the opening line, one point line per point the supplier gives and
    // the closing line. False for a null supplier or a file that cannot be
    // created, and, with nothing created and the point named in GetStopReason,
    // for a point whose values this format cannot hold (not finite, or over 19
    // characters with the written decimals) or whose name holds a comma or ends
    // in a blank or tab (CsvNameFault). A failed write throws CFileException,
    // the file at the path left as it was.
    virtual bool WritePoints(IPointSupplier *supplier, const CString &path);
    // This format has no conversion: always false, and nothing is written.
    virtual bool Convert(const CString &src, const CString &dst, const CString &log,
                         ConvertMode mode, const ICoordTransformer *transformer,
                         std::vector<CString> *messages, JIProgMsgBase *progress, int options);
    virtual bool GetConvertComments(std::vector<CString> *lines, ConvertMode mode,
                                    int direction) = 0;
    // True when the file has an opening line and a point line after it.
    virtual bool JudgeFormat(const CString &path);
    virtual unsigned GetCommentSize() const;
    virtual bool GetComment(int index, CString *text) const;
    virtual void SetCrdFigureNum(int intDigits, int decimals);
    virtual void SetHgtFigureNum(int intDigits, int decimals);

    // The kind of a first field: exactly one of the letters, else 0.
    static int readChkKind(const char *text);
    // The letter of a kind; null for an unknown kind.
    static const char *getLineKind(APAVESK_LINE_ID id);
    // (The 8-bit sum of the bytes of text AND 0x3F) + 32.
    static char checkCharacter(const CString &text);

  protected:
    // 0 and nothing open when the file cannot be read.
    int openReadFile(const CString &path, int mode);
    void closeReadFile();
    // Writes text, its check character, a comma and a line feed.
    void writeCheckedLine(const CString &text);
    CString formatPointText(const CString &name, double x, double y, double h, bool hUsed) const;

    int m_errorState = ERR_NONE;
    std::unique_ptr<JReadCSVFile> m_reader;
    std::unique_ptr<WriteTextFile> m_writer;
    std::unique_ptr<WriteTextFile> m_logWriter; // for a log of a derived class
    bool m_fNotClosed = true;                   // cleared by a closing line
    int m_lineNo = 0;
    IPointRegister *m_register = nullptr; // not owned
    IPointSupplier *m_supplier = nullptr; // not owned
    int m_lastPercent = 0;
    std::uint64_t m_fileSize = 0;
    PlaneCrdJpn m_planeBessel;
    PlaneCrdJpn m_planeGRS80;
    int m_xyIntDigits = 9;
    int m_hIntDigits = 9;
    int m_xyDecimals = 6;
    int m_hDecimals = 6;

  private:
    // Handles the current line; false stops the read.
    bool readLine();
    bool readPointLine();
    // Stops the read at the current line.
    bool stop(int state, const CString &reason);
    // After a line; false when the user cancelled.
    bool reportProgress(JIProgMsgBase *progress);
};
