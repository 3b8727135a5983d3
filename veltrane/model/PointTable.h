#pragma once

#include "veltrane/model/Point.h"

#include <list>
#include <map>
#include <set>
#include <unordered_set>
#include <vector>

// Points looked up by identity, for removing many at once.
using PointSet = std::unordered_set<const Point *>;

// An ordered list of points that never owns them: the database object deletes its points, every
// other table only lists them. A position map makes Find logarithmic; a snapshot vector makes
// GetPoint constant-time while the table does not change.
class PointTable {
  public:
    using iterator = std::list<Point *>::iterator;
    using const_iterator = std::list<Point *>::const_iterator;

    explicit PointTable(bool idxMapCurrent = true);
    PointTable(const PointTable &other) = default;
    PointTable &operator=(const PointTable &other) = default;
    PointTable(PointTable &&other) = default;
    PointTable &operator=(PointTable &&other) = default;
    virtual ~PointTable();

    unsigned size() const { return static_cast<unsigned>(m_points.size()); }
    bool empty() const { return m_points.empty(); }
    iterator begin() { return m_points.begin(); }
    iterator end() { return m_points.end(); }
    const_iterator begin() const { return m_points.begin(); }
    const_iterator end() const { return m_points.end(); }
    // The n-th position, or end() when n >= size.
    iterator get_iter(unsigned n);
    Point *front() const { return m_points.empty() ? nullptr : m_points.front(); }
    Point *back() const { return m_points.empty() ? nullptr : m_points.back(); }

    // Null when i is outside 0 .. size-1.
    Point *GetPoint(int i) const;
    // Assigns p into the i-th stored point; nothing when out of range.
    void SetPoint(int i, const Point &p);

    bool Append(Point *p);
    // Before or after the first entry holding where; false when where is not listed.
    bool Insert(Point *p, const Point *where, bool before);
    // Takes out the first entry holding p (the point is not deleted); rebuildIdxMap rebuilds
    // the position map at once, else Find walks the list until MakeTmpIdxMap.
    bool Remove(const Point *p, bool rebuildIdxMap);
    // Takes out every entry of every point of the set in one walk; the number of entries taken.
    // The position map as Remove leaves it.
    unsigned Remove(const PointSet &points, bool rebuildIdxMap);
    void AllRemove();

    // Position of p, -1 when absent.
    int Find(const Point *p) const;
    bool IsIncluded(const Point *p) const { return Find(p) != -1; }
    // The first point of that name, null when none.
    Point *Find(const CString &name) const;
    Point *FindAdjustKnownPntRelateWithObsITRF(const CString &name, const Coordinate &c,
                                               int *index) const;

    bool MakeTmpVector();
    void ClearTmpVector();
    bool MakeTmpIdxMap();
    void ClearTmpIdxMap();

    void SetBlockNo(unsigned block) { m_blockNo = block; }
    unsigned GetBlockNo() const { return m_blockNo; }

    // Extent of one coordinate kind over the points whose coordinate of that kind is valid;
    // false, with all four 0, when there is none.
    bool GetMinMax(double *minX, double *minY, double *maxX, double *maxY,
                   CoordinateKind kind) const;

    // Appends to dest the points of one kind, in table order.
    void MakePointTable(PointTable *dest, PointKind kind) const;
    // Appends the basis points that have a result in block 0; whether dest is non-empty.
    bool MakeBasisPntTable(PointTable *dest) const;
    // The points whose conversion results are reported.
    void MakeResultPointTable(PointTable *dest, bool withInsyoBasis, bool withCheck,
                              bool withAdjust) const;
    // The same with the basis points that old marks are looked up in given.
    void MakeResultPointTable(PointTable *dest, const PointTable &basis, bool withInsyoBasis,
                              bool withCheck, bool withAdjust) const;
    // Whether the old mark p stands in the basis through a point tied to it. For many lookups
    // in one basis, a BasisPntIndex built once.
    static bool IsExistInBasisPntTable(const PointTable &basis, const Point *p);

    unsigned GetCnvBasisPointSize() const;
    unsigned GetCnvTargetPointSize() const;
    unsigned GetChkObsITRFPointSize() const;
    unsigned GetJGD2000PointSize() const;
    unsigned GetKnownJGD2KPointSize() const;
    unsigned GetAdjustKnownPointSize() const;
    unsigned GetRelateInsyoPointSize() const;
    unsigned CheckInsyoAndKnownRelation();

  private:
    // After entries were taken out: the snapshot goes, and a current position map is dropped
    // (rebuilt at once when asked).
    void entriesRemoved(bool rebuildIdxMap);

    std::list<Point *> m_points;
    unsigned m_blockNo = 0;
    std::vector<Point *> m_snapshot;
    bool m_snapshotValid = false;
    std::map<const Point *, int> m_idxMap;
    bool m_idxMapCurrent = true;
};

// Orders points by name, byte-wise and case-sensitive.
struct PointNameLess {
    using is_transparent = void;
    bool operator()(const Point *a, const Point *b) const;
    bool operator()(const Point *a, const CString &b) const;
    bool operator()(const CString &a, const Point *b) const;
};

// Points by name; equal names allowed, kept in insertion order. A point renamed while listed must
// be taken out first and put back afterwards.
class PointNameOrderedTbl {
  public:
    using const_iterator = std::multiset<Point *, PointNameLess>::const_iterator;

    virtual ~PointNameOrderedTbl() = default;

    const_iterator begin() const { return m_points.begin(); }
    const_iterator end() const { return m_points.end(); }
    unsigned size() const { return static_cast<unsigned>(m_points.size()); }
    void AllRemove() { m_points.clear(); }
    bool Append(Point *p);
    // The earliest-inserted point of that name, null when none.
    Point *Find(const CString &name) const;
    bool Remove(const Point *p);
    // Takes out every point of the set in one walk.
    void Remove(const PointSet &points);

  private:
    std::multiset<Point *, PointNameLess> m_points;
};

// Points by ID, one point per ID.
class PointIDOrderedTbl {
  public:
    virtual ~PointIDOrderedTbl() = default;

    void AllRemove() { m_points.clear(); }
    bool Append(Point *p);
    Point *Find(unsigned id) const;
    bool Remove(const Point *p);
    bool Remove(unsigned id);
    unsigned size() const { return static_cast<unsigned>(m_points.size()); }

  private:
    std::map<unsigned, Point *> m_points;
};
