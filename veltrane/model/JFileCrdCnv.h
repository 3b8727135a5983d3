#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "platform/core/CString.h"

#include <map>
#include <memory>
#include <vector>

class CArchive;

// How a file-to-file job converts.
enum JFileCnvKind : int {
    JFileCnvWorld = 0, // world-coordinate computation with the fitted parameters
    JFileCnvT2J = 1,   // the TKY2JGD-compatible grid method
    JFileCnvBlock = 2, // each block with its own parameters
};

// One file-to-file conversion job: the source file, the direction and method, and where the
// converted file goes. The number, the third and fourth values and the flag are kept for the
// programs that set them; nothing here interprets them (the flag sorts).
//
// Record: int32 number; source path; int32 mode; int32 kind; int32 third value; int32 flag (0
// or 1); int32 own destination (0 or 1); destination folder; int32 naming; given name;
// destination path. Texts in the archive's string form.
class JFileCrdCnvElm {
  public:
    // The suffix of a made destination name: "～変換後".
    static const char kDstSuffix[];
    // Candidates tried before MakeDstFilePath gives up.
    static constexpr int kMaxDstCandidates = 999;
    // Bit of MakeDstFilePath's flags: with naming 0, ".in" becomes ".out".
    static constexpr unsigned kInToOut = 1;

    JFileCrdCnvElm() = default;
    explicit JFileCrdCnvElm(const CString &srcPath) : m_strSrcFilePath(srcPath) {}
    JFileCrdCnvElm(const JFileCrdCnvElm &) = default;
    JFileCrdCnvElm &operator=(const JFileCrdCnvElm &) = default;

    int GetNo() const { return m_nNo; }
    void SetNo(int no) { m_nNo = no; }
    const CString &GetSrcFilePath() const { return m_strSrcFilePath; }
    void SetSrcFilePath(const CString &path) { m_strSrcFilePath = path; }
    ConvertMode GetConvertMode() const { return m_mode; }
    void SetConvertMode(ConvertMode mode) { m_mode = mode; }
    JFileCnvKind GetConvertKind() const { return m_kind; }
    void SetConvertKind(JFileCnvKind kind) { m_kind = kind; }
    int GetValue3() const { return m_nValue3; }
    void SetValue3(int value) { m_nValue3 = value; }
    bool GetFlag() const { return m_fFlag; }
    void SetFlag(bool flag) { m_fFlag = flag; }
    bool IsOwnDstFolder() const { return m_fOwnDst; }
    void SetOwnDstFolder(bool own) { m_fOwnDst = own; }
    const CString &GetDstFolder() const { return m_strDstFolder; }
    void SetDstFolder(const CString &folder) { m_strDstFolder = folder; }
    // 0: a new name from the source's; 1: the source's name when it is free; 2: the given name
    // when it is free.
    int GetNamingMode() const { return m_nNaming; }
    void SetNamingMode(int naming) { m_nNaming = naming; }
    const CString &GetDstFileName() const { return m_strDstName; }
    void SetDstFileName(const CString &name) { m_strDstName = name; }
    int GetValue4() const { return m_nValue4; }
    void SetValue4(int value) { m_nValue4 = value; }

    // The messages of the last conversion.
    std::vector<CString> *GetErrTbl() { return &m_errTbl; }
    const std::vector<CString> &GetErrTbl() const { return m_errTbl; }
    void ClearErrTbl() { m_errTbl.clear(); }

    // The source path without its file name, and the file name.
    CString GetSrcFolderPath() const;
    CString GetSrcFileName() const;
    // The destination folder when the job has its own, else the source's folder.
    CString GetDstFolderPath() const;
    // The path that MakeDstFilePath made last.
    const CString &GetDstFilePath() const { return m_strDstFilePath; }
    // Makes a destination path that names no existing entry and keeps it; false, with the
    // kept path as it was and the reason appended to the messages (GetErrTbl), when none is
    // free, the folder or name is empty, the folder does not exist, the name is too long for the
    // file system (its UTF-8 bytes) or holds a character a file name cannot, or the naming is
    // unknown.
    bool MakeDstFilePath(unsigned flags);

    // Texts of a direction and a method; empty for other values.
    static CString GetConvertModeStr(int mode, bool shortForm);
    static CString GetConvertKindStr(int kind, bool shortForm);
    CString GetConvertModeStr(bool shortForm) const { return GetConvertModeStr(m_mode, shortForm); }
    CString GetConvertKindStr(bool shortForm) const { return GetConvertKindStr(m_kind, shortForm); }

    bool Write(CArchive &ar) const;
    // The archive's exceptions go to the caller; a record that cannot be read whole leaves the
    // job as it was.
    bool Read(CArchive &ar, unsigned long version);

  protected:
    // The first free candidate in folder: name itself when tryPlain, then name with the suffix
    // and "(2)" to "(999)"; with inToOut an extension ".in" becomes ".out" and the first
    // candidate takes no suffix. False, with the reason in *reason (when given), when none can
    // be made.
    static bool makeDstFilePath(const CString &folder, const CString &name, bool tryPlain,
                                CString *out, bool inToOut, CString *reason = nullptr);

  private:
    int m_nNo = 0;
    CString m_strSrcFilePath;
    ConvertMode m_mode = ConvertByFile;
    JFileCnvKind m_kind = JFileCnvT2J;
    int m_nValue3 = 0;
    bool m_fFlag = false;
    bool m_fOwnDst = false;
    CString m_strDstFolder;
    int m_nNaming = 0;
    CString m_strDstName;
    std::vector<CString> m_errTbl;
    int m_nValue4 = 0;
    CString m_strDstFilePath;
};

// The jobs of a project in list order, owned, with an index by source path (byte-wise). Copies
// copy every job.
//
// Record: int32 job count, then each job's record.
class JFileCrdCnvTbl {
  public:
    enum SortMode : int {
        SortSrcFileName = 0,
        SortFlag = 1,
        SortKind = 2,
        SortConvertMode = 3,
        SortDstFolder = 4,
    };

    JFileCrdCnvTbl() = default;
    JFileCrdCnvTbl(const JFileCrdCnvTbl &other);
    JFileCrdCnvTbl &operator=(const JFileCrdCnvTbl &other);
    virtual ~JFileCrdCnvTbl();

    // Takes ownership of the job and appends it. False, with the job still the caller's, for
    // null, a job already held or, without allowDuplicate, when a job of the same source path
    // exists.
    bool Append(JFileCrdCnvElm *job, bool allowDuplicate);
    // Deletes the job; false when i is out of range.
    bool RemoveElm(unsigned i);
    void AllRemove();
    unsigned GetSize() const { return static_cast<unsigned>(m_jobs.size()); }
    // Copies the job out; false when i is out of range.
    bool GetElm(unsigned i, JFileCrdCnvElm *job) const;
    // Assigns into the stored job; false when i is out of range.
    bool SetElm(unsigned i, const JFileCrdCnvElm &job);
    // Null when i is out of range.
    JFileCrdCnvElm *GetElmPtr(unsigned i);
    const JFileCrdCnvElm *GetElmPtr(unsigned i) const;
    // Whether any of the paths is the source of a job.
    bool IsDuplicated(const std::vector<CString> &paths) const;
    // Stable: jobs of equal keys keep their order.
    void Sort(SortMode mode, bool ascending);

    bool Write(CArchive &ar) const;
    // Replaces the jobs with the record's, every job appended even when two share a source.
    // False for a negative count; then, and when the archive raises, the table is as it was.
    bool Read(CArchive &ar, unsigned long version);

  private:
    // Rebuilds the index when SetElm has made it stale.
    void makeIndex() const;

    std::vector<std::unique_ptr<JFileCrdCnvElm>> m_jobs;
    mutable std::multimap<CString, JFileCrdCnvElm *> m_index;
    mutable bool m_fIndexValid = true;
};
