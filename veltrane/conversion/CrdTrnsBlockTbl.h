#pragma once

#include "veltrane/conversion/CrdTrnsBlock.h"

#include <map>
#include <memory>
#include <vector>

class CArchive;
class Coordinate;
class Point;
class Veltrane;

// The conversion blocks of the database in number order, the priority order that decides whose
// result counts for a point in several blocks, the current block and the colours offered for new
// blocks. The table owns its blocks and cannot be copied.
class CrdTrnsBlockTbl {
  public:
    CrdTrnsBlockTbl();
    CrdTrnsBlockTbl(const CrdTrnsBlockTbl &) = delete;
    CrdTrnsBlockTbl &operator=(const CrdTrnsBlockTbl &) = delete;
    virtual ~CrdTrnsBlockTbl();

    // Takes the block and puts its number last in the priority order. False, the caller keeping
    // the block, for number 0, a number above INT32_MAX or a number already there.
    bool Append(CrdTrnsBlock *block);
    // Null for 0 or a number that names no block.
    CrdTrnsBlock *FindBlock(unsigned no);
    const CrdTrnsBlock *FindBlock(unsigned no) const;
    // Disconnects the block's members and deletes it.
    bool RemoveBlock(unsigned no);
    // Deletes every block; the points are not touched.
    void AllRemove();
    unsigned GetBlockSize() const { return static_cast<unsigned>(m_blocks.size()); }
    // The i-th block in priority order or in number order; null out of range.
    CrdTrnsBlock *GetBlock(unsigned i, bool byPriority) const;
    // A free number: with afterLast the highest + 1, else the first free number above a block.
    unsigned GetEmptyNo(bool afterLast) const;

    // False, nothing changed, for a number other than 0 that names no block.
    bool SetCurrentNo(unsigned no);
    // 0 when no block is current.
    unsigned GetCurrentNo() const;
    CrdTrnsBlock *GetCurrentBlock();

    void GetBlockPriority(std::vector<unsigned> *order) const;
    // False, nothing changed, unless order holds every block number once.
    bool SetBlockPriority(const std::vector<unsigned> &order);
    // The block JGD2000 result (GetPriorResultCrd: the result coordinate) of the first block in
    // priority order that has one, with its status; false when none. *block receives that
    // block's number (0 for none).
    bool GetPriorJGD2000(const Point *p, Coordinate *out, CoordConvStatusD *status) const;
    bool GetPriorResultCrd(const Point *p, Coordinate *out, CoordConvStatusD *status,
                           unsigned *block = nullptr) const;
    // The first block in priority order that the point names; 0 and false when none.
    bool GetPriorBlockNo(const Point *p, unsigned *no) const;
    bool GetPriorColor(const Point *p, COLORREF *color) const;

    bool IsColorUsed(COLORREF color) const;
    unsigned GetColorSize() const { return static_cast<unsigned>(m_palette.size()); }
    // 0 out of range.
    COLORREF GetColor(unsigned i) const;
    // The number of blocks marked for calculation.
    unsigned GetClacTagetSize() const;
    // False when no block has that number.
    bool IsCrdCnvCompleted(unsigned no) const;

    // Takes the point out of every block and its parameter table; whether any block held it.
    bool Remove(Point *p);
    // Takes every point of the set out of every block, in one walk of each block's tables.
    void Remove(const PointSet &points);
    bool RemoveResult(Point *p);
    void MakeRetrievableIdxMap();

    bool Write(const Veltrane *db, CArchive &ar) const;
    // Replaces the blocks only when the record is whole and sound: false, with the table as it
    // was, for a bad count, a block number 0 or repeated, or priorities that are not the block
    // numbers each once; a record cut short raises the archive's exception, also with the table
    // as it was. Blocks stored as converted are fitted and converted again.
    bool Read(Veltrane *db, CArchive &ar, unsigned long version);

  private:
    // The first block in priority order for which has(block number) holds, 0 when none.
    template <typename Has> unsigned priorBlock(Has has) const;

    std::map<unsigned, std::unique_ptr<CrdTrnsBlock>> m_blocks;
    std::vector<unsigned> m_priority;
    unsigned m_current = 0;
    std::vector<COLORREF> m_palette;
};
