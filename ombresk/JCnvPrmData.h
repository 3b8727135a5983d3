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
#include <mutex>
#include <vector>

class JCnvPrmData;

// The nodes of one first-level mesh, owned, sorted by key once the data is ready.
//
// Plain nodes that the readers add are kept as compact records (key and shifts); their node
// objects are made all at once when one is first asked for (GetAt, Find), since the grid
// conversion needs only the shifts. Semi-dynamic nodes, nodes appended whole and a table
// changed after its objects were made are kept as objects, listed in order. Sorting also
// indexes the table: every regular square (second- and third-level digits 0-7 and 0-9) of
// its 80 x 80 then finds its node directly.
//
// Reading a table (GetAt, Find, FindShift, WriteBin) may be done by several threads at once;
// changing it by one thread alone.
class JCnvPrm1stTbl {
  public:
    // Squares of a first-level mesh: 80 rows of 80.
    static constexpr int kSide = 80;

    explicit JCnvPrm1stTbl(short code1 = 0) : m_code1(code1) {}
    JCnvPrm1stTbl(const JCnvPrm1stTbl &) = delete;
    JCnvPrm1stTbl &operator=(const JCnvPrm1stTbl &) = delete;
    virtual ~JCnvPrm1stTbl();

    short GetCode1() const { return m_code1; }
    std::size_t GetSize() const { return m_listed ? m_elms.size() : m_records.size(); }
    const JCnvPrmElm *GetAt(std::size_t i) const;

    // Compare this table's code with code1 of a mesh code.
    bool IsSame(const JMeshCode &code) const { return m_code1 == code.GetCode1(); }
    bool IsLessThan(const JMeshCode &code) const { return m_code1 < code.GetCode1(); }
    bool IsGreaterThan(const JMeshCode &code) const { return m_code1 > code.GetCode1(); }

    // Binary search by key (the nodes must be sorted); null when absent. Of equal keys the
    // first in order.
    const JCnvPrmElm *Find(const JMeshCodeElm &code) const;
    // The shifts of the node of the square at row (latitude, 0-79) and column (longitude,
    // 0-79) of the mesh, the node that Find gives; false when there is none. Only while
    // IsIndexed.
    bool FindShift(int row, int column, float *dB, float *dL) const {
        const std::uint16_t i = m_squares[static_cast<std::size_t>(row * kSide + column)];
        if (i == kNoNode)
            return false;
        if (m_listed) {
            *dB = m_elms[i]->GetdB();
            *dL = m_elms[i]->GetdL();
        } else {
            *dB = m_records[i].dB;
            *dL = m_records[i].dL;
        }
        return true;
    }
    bool IsIndexed() const { return m_squares != nullptr; }

    // Takes ownership of elm.
    void Append(JCnvPrmElm *elm);
    void Append(std::unique_ptr<JCnvPrmElm> elm);
    // Adds a plain node, or a semi-dynamic one, with these values.
    void AppendNode(WORD key, float dB, float dL);
    void AppendSemiDynNode(WORD key, float dB, float dL, float dH);
    // Moves every node of other to the end of this table.
    void AppendAll(JCnvPrm1stTbl &other);

    // Sorts the nodes by key: a stable merge sort without a stop flag, a shell sort
    // testing *stop before every gap, element and exchange with one (a table already in
    // order is not sorted again). Indexes the sorted table (unless it has 65535 nodes or
    // more). False when stopped (the nodes are then in some order, none lost).
    bool ExecSort(const std::atomic<bool> *stop = nullptr);
    bool IsSorted() const;

    // Cache record: int16 code1, int32 count, count x (uint16 key, float32 dB,
    // float32 dL), little-endian. Write errors raise CFileException.
    void WriteBin(CFile &file) const;
    // Reads one record into this table; CNVPRM_READ_DATA_ERROR on a short record,
    // CNVPRM_READ_STOPPED when data's stop flag is set during it.
    JCnvPrmReadRetCode ReadBin(CFile &file, JCnvPrmData *data);

  private:
    static constexpr std::uint16_t kNoNode = 0xFFFF;

    // A plain node as the table keeps it until its object is asked for.
    struct Record {
        WORD key;
        float dB;
        float dL;
    };

    WORD keyAt(std::size_t i) const { return m_listed ? m_elms[i]->GetKey() : m_records[i].key; }
    // Whether the records can still take changes: their objects are not made yet.
    bool recordsOpen() const { return !m_listed && !m_objectsMade.load(); }
    // Makes the objects of the records, once.
    void makeObjects() const;
    // Turns the records into listed objects, so that any node can be added or reordered.
    void list();
    // Indexes the table when its nodes are in order by key; false (no index) otherwise.
    bool indexIfSorted();
    void dropIndex() { m_squares.reset(); }

    std::int16_t m_code1;
    // Until m_listed: the nodes are the records, in order, and m_objects their objects once
    // made.
    bool m_listed = false;
    std::vector<Record> m_records;
    mutable std::once_flag m_makeOnce;
    mutable std::atomic<bool> m_objectsMade{false};
    mutable std::vector<JCnvPrmElm> m_objects;
    // Once listed: the nodes in order, owned by blocks that never grow past their first
    // room (so that no node moves) and by the list of nodes appended whole.
    std::vector<const JCnvPrmElm *> m_elms;
    std::vector<std::vector<JCnvPrmElm>> m_plainBlocks;
    std::vector<std::vector<JSemiDynPrmElm>> m_semiBlocks;
    std::vector<std::unique_ptr<JCnvPrmElm>> m_owned;
    // The position of the node of every regular square, kSide x kSide row by row (kNoNode:
    // none); null when not indexed.
    std::unique_ptr<std::uint16_t[]> m_squares;
};

// Grid parameters in memory: the nodes grouped by first-level mesh, sorted for
// binary search, read from a published text file or from the binary cache.
//
// A read replaces the data: while it reads the data is empty and not ready, and it
// becomes ready with the new nodes only when the read succeeded. A failed, stopped
// or cancelled read (or one that throws) puts back the data held before, grid, path,
// version texts, file type and ready flag alike. A read of type 0 detects the type
// from the file.
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
    // The same asking for the type given instead of the stored one, which a failed read
    // keeps.
    JCnvPrmReadRetCode Read(const CString &path, JCnvPrmFileType type, bool stoppable,
                            ProgressMsgBase *progress);
    // The same with the stored path.
    JCnvPrmReadRetCode Read(bool stoppable, ProgressMsgBase *progress);
    // Reads the binary cache.
    JCnvPrmReadRetCode ReadBin(const CString &path, bool stoppable, ProgressMsgBase *progress);
    JCnvPrmReadRetCode ReadBin(bool stoppable, ProgressMsgBase *progress);
    // Writes the binary cache of ready data. False, with the file at path as it
    // was (or absent), when the data is not ready or empty, the file cannot be
    // written or the progress callback cancels.
    bool WriteBin(const CString &path, ProgressMsgBase *progress) const;

    // Adds a node (owned) to the table of code's code1, creating the table at the end.
    void Append(const JMeshCode &code, JCnvPrmElm *elm);
    void Append(const JMeshCode &code, std::unique_ptr<JCnvPrmElm> elm);
    // The same for a plain or a semi-dynamic node with these values, kept by the table
    // without a heap object of its own.
    void AppendNode(const JMeshCode &code, float dB, float dL);
    void AppendSemiDynNode(const JMeshCode &code, float dB, float dL, float dH);
    // The table by code1 (by binary search, directly once sorted), then binary search by
    // key; null when absent.
    const JCnvPrmElm *Find(const JMeshCode &code) const;
    // The shifts of the node whose square's south-west corner is (latSec, lonSec) in whole
    // seconds, the node of Find(JMeshCode::CreateMeshCode(latSec, lonSec, 2)); false when
    // there is none. Directly through the tables' square indexes once the data is sorted.
    bool FindShift(int latSec, int lonSec, float *dB, float *dL) const;
    // FindShift of the four corners of the 30" x 45" cell whose south-west corner is
    // (latSec, lonSec): south-west, north, east, north-east; false when one is missing.
    bool FindCellShifts(int latSec, int lonSec, float dB[4], float dL[4]) const;
    // As Find, null also when the node is not semi-dynamic.
    const JSemiDynPrmElm *FindSemiDynPrm(const JMeshCode &code) const;

    std::size_t GetTableCount() const { return m_tables.size(); }
    const JCnvPrm1stTbl *GetTable(std::size_t i) const { return m_tables[i].get(); }
    // Number of nodes of all tables.
    std::size_t GetElmCount() const;

  private:
    // What a read replaces.
    struct Contents {
        CString filePath;
        CString verStr1;
        CString verStr2;
        std::vector<std::unique_ptr<JCnvPrm1stTbl>> tables;
        JCnvPrmFileType fileType = CNVPRM_TYPE_TKY2JGD;
        bool ready = false;
        JCnvPrm1stTbl *lastTable = nullptr;
        std::vector<const JCnvPrm1stTbl *> tableIndex;
        int firstCode1 = 0;
    };

    // Empties the tables, path and version texts but keeps the file type.
    void clearContents();
    // Moves the contents out, leaving the data empty and not ready with the same file type.
    Contents takeContents();
    // Drops what a read made and puts held back.
    void putBack(Contents &held);
    JCnvPrm1stTbl *findTable(std::int16_t code1);
    // The table of code1 for appending, made at the end when there is none.
    JCnvPrm1stTbl *tableFor(std::int16_t code1);
    // The table of code1 of the sorted vector; null when none.
    const JCnvPrm1stTbl *findSorted(std::int16_t code1) const;
    // The table of the square at (latSec, lonSec) (null when there is none) when FindShift
    // finds it directly, through the table's index; else false.
    bool directTable(int latSec, int lonSec, const JCnvPrm1stTbl **table) const;
    void buildIndex();
    void dropIndex();
    // Sorts every table and the table vector; false when stopped.
    bool sortAll(bool stoppable);
    // Ends the progress and puts held back; the code.
    JCnvPrmReadRetCode fail(JCnvPrmReadRetCode code, ProgressMsgBase *progress, Contents &held);

    CString m_filePath;
    CString m_verStr1;
    CString m_verStr2;
    std::vector<std::unique_ptr<JCnvPrm1stTbl>> m_tables;
    JCnvPrmFileType m_fileType = CNVPRM_TYPE_TKY2JGD;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ready{false};
    // Table of the last Append, tried first.
    JCnvPrm1stTbl *m_lastTable = nullptr;
    // Once sorted: the table of every first-level code from m_firstCode1 on (null: none);
    // empty otherwise.
    std::vector<const JCnvPrm1stTbl *> m_tableIndex;
    int m_firstCode1 = 0;
};
