#pragma once

#include "veltrane/model/PointTable.h"
#include "veltrane/model/PrecMngElm.h"

#include <vector>

class CArchive;
class JIProgMsgBase;
class Point;
class ProgressMsgBase;
class Veltrane;

// An ordered list of point pairs for precision management. Unless it only refers to its pairs
// (the constructor's flag), the table owns them and deletes those it removes; it cannot be
// copied, so no pair has two owners.
class PrecisionMngTable {
  public:
    using iterator = std::vector<PrecMngElm *>::iterator;
    using const_iterator = std::vector<PrecMngElm *>::const_iterator;

    explicit PrecisionMngTable(bool refersOnly = false);
    PrecisionMngTable(const PrecisionMngTable &) = delete;
    PrecisionMngTable &operator=(const PrecisionMngTable &) = delete;
    virtual ~PrecisionMngTable();

    iterator begin() { return m_elms.begin(); }
    iterator end() { return m_elms.end(); }
    const_iterator begin() const { return m_elms.begin(); }
    const_iterator end() const { return m_elms.end(); }
    unsigned size() const { return static_cast<unsigned>(m_elms.size()); }
    // Null when i is outside 0 .. size-1.
    PrecMngElm *GetElm(int i) const;

    // False for a null pair.
    bool Append(PrecMngElm *e);
    // Directly before or after where; false when where is not in the table.
    bool Insert(PrecMngElm *e, const PrecMngElm *where, bool before);
    // Moves e before or after where; false, with nothing changed, when e is where or either is
    // not in the table.
    bool Move(PrecMngElm *e, const PrecMngElm *where, bool before);
    bool Remove(int i);
    bool Remove(const PrecMngElm *e);
    // Removes every pair of the point, from the last to the first; the number removed.
    int RemoveRelatedWith(const Point *p);
    // Removes every pair of any point of the set, in one walk; the number removed.
    int RemoveRelatedWith(const PointSet &points);
    void AllRemove();

    // Position by identity, -1 when absent.
    int Find(const PrecMngElm *e) const;
    int GetSizeRelatedWith(const Point *p) const;
    // Whether a pair has the same two points in the same order or, when e lacks a point, the
    // same two names.
    bool IsExistSameData(const PrecMngElm *e) const;

    // Appends the pairs of the eligible points of the table: each with its nearest neighbour in
    // the Tokyo datum when nearest is non-zero, else all pairs. A point is eligible when it is
    // used for the calculation and has a new coordinate: its whole-area result when the
    // database's whole area is converted, else its result by block priority when blocks are.
    // False, with the table unchanged, when the user cancels the nearest-pair search.
    bool Create(const Veltrane *db, const PointTable *table, int nearest, JIProgMsgBase *progress);
    // The same with the conversion state given: whole area converted, blocks converted.
    bool Create(const Veltrane *db, const PointTable *table, int nearest, JIProgMsgBase *progress,
                bool wholeAreaDone, bool blocksDone);
    // The quadratic nearest-pair search: each eligible point not yet paired with its nearest
    // other eligible point (the first of equal ones), both then marked. False when the user
    // cancels; the pairs appended so far stay.
    bool create_NearestPairs1(const Veltrane *db, const PointTable *table,
                              ProgressMsgBase *progress, bool wholeAreaDone, bool blocksDone);

    // The project-file record: points by their position in the database's main table (-1 for
    // a missing point) and both names.
    bool Write(const Veltrane *db, CArchive &ar) const;
    // Replaces the pairs; false, with the table empty, when the record is cut short.
    bool Read(const Veltrane *db, CArchive &ar, unsigned long version);

  private:
    static bool isEligible(const Veltrane *db, const Point *p, bool wholeAreaDone, bool blocksDone);
    static std::vector<const Point *> eligiblePoints(const Veltrane *db, const PointTable *table,
                                                     bool wholeAreaDone, bool blocksDone);
    void release(PrecMngElm *e) const;

    std::vector<PrecMngElm *> m_elms;
    bool m_refersOnly = false;
};
