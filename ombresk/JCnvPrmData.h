#pragma once

#include "kernels/Lunmarg/ProgressMsgBase.h"
#include "ombresk/JCnvPrmElm.h"
#include "ombresk/JCnvPrmFile.h"
#include "ombresk/JMeshCode.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class JCnvPrmData;

// The nodes of one first-level mesh, owned, sorted by key once the data is ready.
class JCnvPrm1stTbl {
  public:
    explicit JCnvPrm1stTbl(short code1 = 0) : m_code1(code1) {}
    JCnvPrm1stTbl(const JCnvPrm1stTbl &) = delete;
    JCnvPrm1stTbl &operator=(const JCnvPrm1stTbl &) = delete;
    virtual ~JCnvPrm1stTbl();

    short GetCode1() const { return m_code1; }
    std::size_t GetSize() const { return m_elms.size(); }
    const JCnvPrmElm *GetAt(std::size_t i) const { return m_elms[i].get(); }

    // Compare this table's code with code1 of a mesh code.
    bool IsSame(const JMeshCode &code) const { return m_code1 == code.GetCode1(); }
    bool IsLessThan(const JMeshCode &code) const { return m_code1 < code.GetCode1(); }
    bool IsGreaterThan(const JMeshCode &code) const { return m_code1 > code.GetCode1(); }

    // Binary search by key (the nodes must be sorted); null when absent.
    const JCnvPrmElm *Find(const JMeshCodeElm &code) const;
    // Takes ownership of elm.
    void Append(JCnvPrmElm *elm);
    void Append(std::unique_ptr<JCnvPrmElm> elm);
    // Moves every node of other to the end of this table.
    void AppendAll(JCnvPrm1stTbl &other);

    // Sorts the nodes by key: a stable merge sort without a stop flag, a shell
    // sort testing *stop before every gap, element and exchange with one.
    // False when stopped (the nodes are then in some order, none lost).
    bool ExecSort(const std::atomic<bool> *stop = nullptr);
    bool IsSorted() const;

    // Cache record: int16 code1, int32 count, count x (uint16 key, float32 dB,
    // float32 dL), little-endian. Write errors raise CFileException.
    void WriteBin(CFile &file) const;
    // Reads one record into this table; CNVPRM_READ_DATA_ERROR on a short record,
    // CNVPRM_READ_STOPPED when data's stop flag is set during it.
    JCnvPrmReadRetCode ReadBin(CFile &file, JCnvPrmData *data);

  private:
    std::int16_t m_code1;
    std::vector<std::unique_ptr<JCnvPrmElm>> m_elms;
};

// Grid parameters in memory: the nodes grouped by first-level mesh, sorted for
// binary search, read from a published text file or from the binary cache.
//
// A read replaces the data: it is emptied first and becomes ready only when the
// read succeeded; a failed or stopped read leaves it empty. The file type asked
// for is kept across the emptying (a read of type 0 detects it from the file).
//
// The stop and ready flags may be used from another thread; everything else
// belongs to the thread that reads.
class JCnvPrmData {
  public:
    JCnvPrmData();
    JCnvPrmData(const JCnvPrmData &) = delete;
    JCnvPrmData &operator=(const JCnvPrmData &) = delete;
    virtual ~JCnvPrmData();

    JCnvPrmFileType GetFileType() const { return m_fileType; }
    void SetFileType(JCnvPrmFileType type) { m_fileType = type; }
    const CString &GetFilePath() const { return m_filePath; }
    // The path after its last separator.
    CString GetFileName() const;
    const CString &GetFileVerStr1() const { return m_verStr1; }
    const CString &GetFileVerStr2() const { return m_verStr2; }
    void SetFileVerStr(const CString &ver1, const CString &ver2);
    bool IsDataReady() const { return m_ready.load(); }

    void SetFilePath(const CString &path) { m_filePath = path; }
    // Asks a running read to stop.
    void StopReading() { m_stop.store(true); }
    bool IsStopRequested() const { return m_stop.load(); }
    const std::atomic<bool> *GetStopFlag() const { return &m_stop; }
    // Not ready, no path or version texts, file type 0, no tables.
    void Clear();

    // Reads a published text file; stoppable selects the sort that tests the stop flag.
    JCnvPrmReadRetCode Read(const CString &path, bool stoppable, ProgressMsgBase *progress);
    // The same with the stored path.
    JCnvPrmReadRetCode Read(bool stoppable, ProgressMsgBase *progress);
    // Reads the binary cache.
    JCnvPrmReadRetCode ReadBin(const CString &path, bool stoppable, ProgressMsgBase *progress);
    JCnvPrmReadRetCode ReadBin(bool stoppable, ProgressMsgBase *progress);
    // Writes the binary cache of ready data. False, with no file left behind, when
    // the data is not ready or empty, the file cannot be written or the progress
    // callback cancels.
    bool WriteBin(const CString &path, ProgressMsgBase *progress) const;

    // Adds a node (owned) to the table of code's code1, creating the table at the end.
    void Append(const JMeshCode &code, JCnvPrmElm *elm);
    void Append(const JMeshCode &code, std::unique_ptr<JCnvPrmElm> elm);
    // Binary search by code1, then by key; null when absent.
    const JCnvPrmElm *Find(const JMeshCode &code) const;
    // As Find, null also when the node is not semi-dynamic.
    const JSemiDynPrmElm *FindSemiDynPrm(const JMeshCode &code) const;

    std::size_t GetTableCount() const { return m_tables.size(); }
    const JCnvPrm1stTbl *GetTable(std::size_t i) const { return m_tables[i].get(); }
    // Number of nodes of all tables.
    std::size_t GetElmCount() const;

  private:
    // Empties the tables, path and version texts but keeps the file type.
    void clearContents();
    JCnvPrm1stTbl *findTable(std::int16_t code1);
    // Sorts every table and the table vector; false when stopped.
    bool sortAll(bool stoppable);
    JCnvPrmReadRetCode fail(JCnvPrmReadRetCode code, ProgressMsgBase *progress);

    CString m_filePath;
    CString m_verStr1;
    CString m_verStr2;
    std::vector<std::unique_ptr<JCnvPrm1stTbl>> m_tables;
    JCnvPrmFileType m_fileType = CNVPRM_TYPE_TKY2JGD;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ready{false};
    // Table of the last Append, tried first.
    JCnvPrm1stTbl *m_lastTable = nullptr;
};
