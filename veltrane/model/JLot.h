#pragma once

#include "exchange/Dorrimet/Coordinate.h"
#include "platform/core/CString.h"
#include "veltrane/model/PointTable.h"

#include <memory>
#include <vector>

class CArchive;
class Veltrane;

// A numbered, named parcel: an ordered ring of boundary points of the database (not owned), with
// its extent and centre in the Tokyo datum and its area by the coordinate method.
class JLot {
  public:
    JLot();
    explicit JLot(unsigned id);
    JLot(unsigned id, const CString &name, unsigned kind);
    JLot(const JLot &other) = default;
    JLot &operator=(const JLot &other) = default;
    virtual ~JLot();

    unsigned GetID() const { return m_id; }
    const CString &GetName() const { return m_name; }
    void SetName(const CString &name) { m_name = name; }
    unsigned GetKind() const { return m_kind; }

    // False when noDuplicate is set and p is already a member.
    bool AppendPnt(const Point *p, bool noDuplicate);
    bool RemovePnt(const Point *p);
    // Takes every entry of every point of the set; the number of entries taken.
    unsigned RemovePnts(const PointSet &points) { return m_points.Remove(points, true); }
    unsigned GetPntSize() const { return m_points.size(); }
    const Point *GetPoint(unsigned i) const;
    bool IsIncluded(const Point *p) const { return m_points.IsIncluded(p); }

    bool CalcCenter();
    Coordinate GetMinCoord() const { return m_min; }
    Coordinate GetMaxCoord() const { return m_max; }
    Coordinate GetCenterCoord() const { return m_center; }
    // Square metres in the Tokyo datum, or in JGD2000 as the database's precision source gives
    // the new coordinates of the block; 0 for fewer than three members or a missing coordinate.
    double CalcArea(const Veltrane *db, bool tokyo, unsigned block) const;

    // The record refers to members by their position in the database's main table.
    bool Write(const Veltrane *db, CArchive &ar) const;
    bool Read(const Veltrane *db, CArchive &ar, unsigned long version);

  private:
    bool vertex(const Veltrane *db, bool tokyo, unsigned block, unsigned i, double *x,
                double *y) const;

    unsigned m_id = 0;
    CString m_name;
    unsigned m_kind = 0;
    PointTable m_points{true};
    Coordinate m_min;
    Coordinate m_max;
    Coordinate m_center;
};

// The lots of a project, owned, in table order.
class JLotTable {
  public:
    JLotTable();
    JLotTable(const JLotTable &) = delete;
    JLotTable &operator=(const JLotTable &) = delete;
    virtual ~JLotTable();

    // Takes ownership and computes the lot's centre.
    bool Append(JLot *lot);
    JLot *GetLot(int i);
    const JLot *GetLot(int i) const;
    unsigned GetLotSize() const { return static_cast<unsigned>(m_lots.size()); }
    JLot *Find(const CString &name) const;
    // Takes p out of every lot; true when a lot held it.
    bool Remove(const Point *p);
    // Takes every point of the set out of every lot, in one walk of each lot.
    void Remove(const PointSet &points);
    void AllRemove();

    bool Write(const Veltrane *db, CArchive &ar) const;
    // Replaces the lots; false (or the archive's exception), with the table empty, when a
    // record cannot be read.
    bool Read(const Veltrane *db, CArchive &ar, unsigned long version);

  private:
    std::vector<std::unique_ptr<JLot>> m_lots;
};
