#pragma once

#include "platform/core/CString.h"
#include "veltrane/model/PointTable.h"
#include "veltrane/model/YList.h"

class Veltrane;

// Observations that lie near one another: the positions of the member points in the table the
// group was built from, in joining order, and the mean of their observed ITRF X and Y.
class RefPntGroup {
  public:
    RefPntGroup() = default;
    RefPntGroup(const RefPntGroup &) = delete;
    RefPntGroup &operator=(const RefPntGroup &) = delete;
    ~RefPntGroup();

    // The member index when pos is already a member; else the new member count; -1 when no
    // room can be made.
    int AppendPnt(int pos);
    unsigned GetNeighborhoodCount() const { return m_members.GetCount(); }
    // Position of the k-th member; -1 when there is none.
    int GetPnt(unsigned k) const;
    bool SearchPntId(int pos) const;
    bool GetAverageXY(double *x, double *y) const;
    // Whether (x, y) lies strictly within range of the average.
    bool IsNeighborhood(double x, double y, double range) const;
    // False, with the averages unchanged, when there are no members or one does not resolve.
    bool ReCalcAverage(const Veltrane *db, const PointTable &table);
    // Ties every member to the known point; the outcome of the last member.
    bool RelateToKnownPnt(PointTable *table, const Point *known);
    // False when a member does not resolve.
    bool CancelRelationToKnownPnt(PointTable *table);
    void RemoveAllPnt();

  private:
    double m_aveX = 0.0;
    double m_aveY = 0.0;
    YList<int, 0> m_members;
};

// The groups of the observed points of a table, in creation order. A point joins the first group
// whose average lies within range and never moves afterwards, so the grouping depends on the
// order of the points.
class RefPntGroupTable {
  public:
    explicit RefPntGroupTable(Veltrane *db = nullptr);
    RefPntGroupTable(const RefPntGroupTable &) = delete;
    RefPntGroupTable &operator=(const RefPntGroupTable &) = delete;
    ~RefPntGroupTable();

    // A null database is ignored.
    void SetVeltrane(Veltrane *db);
    void SetRange(double range) { m_range = range; }
    double GetRange() const { return m_range; }

    // Null when there is no group i.
    RefPntGroup *GetGroup(unsigned i);
    const RefPntGroup *GetGroup(unsigned i) const;
    // -1 when there is no group i (or no member k).
    int GetNeighborhoodCount(unsigned i) const;
    int GetNeighborhoodPnt(unsigned i, unsigned k) const;
    // The first group that has pos as a member; null when none.
    RefPntGroup *SearchPnt(int pos) const;
    // The names of group i's members resolved in t, joined with ", ".
    CString GetGroupPntNamesStr(unsigned i, const PointTable &t) const;
    // The insyo / adjust-known name of group i's first member; empty when missing.
    CString GetGroupRelateInsyoName(unsigned i, const PointTable &t) const;
    CString GetGroupRelateKnownName(unsigned i, const PointTable &t) const;

    // Groups the database's observed points (this makes tab 1 the database's current tab);
    // false without a database.
    bool ReGroup();
    // Groups the points of t; member positions are positions in t.
    bool ReGroup(const PointTable &t);
    bool ReGroup(double range);

  private:
    void removeAllGroups();
    bool group(const PointTable &t);
    const Point *firstMember(unsigned i, const PointTable &t) const;

    YList<RefPntGroup, 0> m_groups;
    Veltrane *m_db = nullptr;
    PointTable m_table{true};
    double m_range = 0.05;
};
