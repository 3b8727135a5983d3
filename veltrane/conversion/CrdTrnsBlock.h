#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "veltrane/conversion/CrdCnvPrmTbl.h"
#include "veltrane/model/PointTable.h"

#include <vector>

class CArchive;
class ConversionState;
class JIProgMsgBase;
class Veltrane;

// One vertex of a block's polygon, plane-rectangular metres.
struct JPolygonElm {
    double x = 0.0;
    double y = 0.0;
};

// A conversion block: a polygon drawn on the plane-rectangular coordinates, the points that
// belong to it and the parameter table fitted to them alone. An edit keeps a backup of the
// members, colour, name and polygon so that it can be rolled back.
//
// Members are not owned. The block owns its parameter table and therefore cannot be copied.
class CrdTrnsBlock {
  public:
    using iterator = PointTable::iterator;
    using const_iterator = PointTable::const_iterator;

    // The tolerance of every geometric test.
    static const double gt_near0;

    explicit CrdTrnsBlock(unsigned no);
    CrdTrnsBlock(const CrdTrnsBlock &) = delete;
    CrdTrnsBlock &operator=(const CrdTrnsBlock &) = delete;
    virtual ~CrdTrnsBlock();

    unsigned GetNo() const { return m_no; }
    void SetNo(unsigned no) { m_no = no; }
    COLORREF GetColor() const { return m_color; }
    void SetColor(COLORREF color) { m_color = color; }
    const CString &GetName() const { return m_name; }
    void SetName(const CString &name) { m_name = name; }
    // "%2d : %s" with the number and the name.
    CString GetDisplayName() const;

    // ---- polygon
    unsigned GetCrdSize() const { return static_cast<unsigned>(m_vertices.size()); }
    const std::vector<JPolygonElm> &GetPolygon() const { return m_vertices; }
    bool GetCrd(int i, double *x, double *y) const;
    // Refused for a vertex on the last one and for one whose edge from the last vertex crosses
    // the polygon.
    bool AppendCrd(double x, double y);
    // The new vertex follows vertex i; refused when a new edge would cross the polygon.
    bool InsertCrd(int i, double x, double y);
    bool MoveCrd(int i, double x, double y);
    bool RemoveCrd(int i);
    // The first vertex nearer than tolerance, -1 when none.
    int FindCrd(double x, double y, double tolerance) const;
    // The edge (by its first vertex) nearest to the point within maxDistance, -1 when none.
    int FindSegment(double x, double y, double maxDistance) const;
    // The vertices next to a move of vertex i (move) or to an insertion after it; idx is -1
    // where there is none.
    bool GetAdjCrd(bool move, int i, double x[2], double y[2], int idx[2]) const;
    // Refused for coincident vertices, a straight triangle, crossing edges and an area within
    // the tolerance of zero.
    bool SetClose();
    void SetOpen() { m_fClosed = false; }
    bool IsClose() const { return m_fClosed; }
    bool IsOpen() const { return !m_fClosed; }
    // False (no box) without vertices.
    bool CalcMinMax();
    // The box of the vertices, or with extend the given box widened by it; false without
    // vertices.
    bool GetMinMax(double *xmin, double *ymin, double *xmax, double *ymax, bool extend);
    // Points on an edge or a vertex are inside.
    bool IsInPolygon(double x, double y);

    // ---- geometry with the tolerance gt_near0
    static int Sgn(double v);
    static bool IsZero(double v);
    // w between s and t within the tolerance.
    static bool inside_value(double w, double s, double t);
    // Twice the signed area of the triangle p, a, b.
    static double Area(const JPolygonElm &p, const JPolygonElm &a, const JPolygonElm &b);
    // p between a and b along the segment's major direction; collinearity is the caller's test.
    static bool pt_on_seg(const JPolygonElm &p, const JPolygonElm &a, const JPolygonElm &b);
    // 1 inside, 0 on the boundary, -1 outside (three or more vertices).
    static int pt_in_polygon(const JPolygonElm &p, const std::vector<JPolygonElm> &v);
    // False when two vertices are the same point.
    static bool CheckSamePoint(const std::vector<JPolygonElm> &v);
    // Whether two edges of the closed polygon that are not neighbours cross.
    static bool IsCross(const std::vector<JPolygonElm> &v);
    // Whether the segment crosses an edge; flags 1, 2 and 4 skip the edges ending at vertex 1,
    // at the last vertex and at vertex 0.
    static bool IsCross(const std::vector<JPolygonElm> &v, double x1, double y1, double x2,
                        double y2, int flags);
    // Whether the segment crosses an edge (named by its first vertex) not in skip.
    static bool IsCross(const std::vector<JPolygonElm> &v, double x1, double y1, double x2,
                        double y2, const std::vector<int> &skip);
    // Whether the vertices run clockwise on the map (x north, y east).
    static bool IsRightRotate(const std::vector<JPolygonElm> &v);
    static bool IsInPolygon(const std::vector<JPolygonElm> &v, double x, double y);
    // Twice the signed area of the polygon, by the fan from vertex 0.
    static double PolygonArea(const std::vector<JPolygonElm> &v);

    // ---- members
    // False when checkIncluded and p is already a member; connect makes p name this block.
    bool AppendPnt(Point *p, bool connect, bool checkIncluded);
    void AppendPnts(PointTable *table, bool connect);
    // Takes out every entry of p; disconnect takes the block from the point (and drops it from
    // the edit's backup and outside points); removeResult takes it out of the parameter table.
    bool RemovePnt(Point *p, bool removeResult, bool disconnect);
    // The same for every point of the set, in one walk of each table; every entry of a point
    // goes, and disconnect takes the block from the points that the block's tables list.
    void RemovePnts(const PointSet &points, bool removeResult, bool disconnect);
    bool RemovePntResult(Point *p);
    bool IsPntIncluded(const Point *p) const { return m_members.IsIncluded(p); }
    unsigned GetPntSize() const { return m_members.size(); }
    Point *GetPoint(int i) const { return m_members.GetPoint(i); }
    PointTable &GetPntTable() { return m_members; }
    const PointTable &GetPntTable() const { return m_members; }
    void ClearAllPnts() { m_members.AllRemove(); }
    iterator begin() { return m_members.begin(); }
    iterator end() { return m_members.end(); }
    const_iterator begin() const { return m_members.begin(); }
    const_iterator end() const { return m_members.end(); }
    iterator beginExcPntTbl() { return m_outside.begin(); }
    iterator endExcPntTbl() { return m_outside.end(); }
    void ConnectToAllPoints();
    void DisconnectToAllPoints();
    void DisconnectToPoints(PointTable *table);
    void MakePntRetrievableIdxMap();

    // ---- editing
    bool AppendPntTmp(Point *p);
    bool RemovePntTmp(Point *p);
    void RemoveAllPntTmp();
    void MakeBackupPntTbl();
    void RollbackPntTbl();
    // The points taken out leave the block; those taken in name it.
    void CommitPntTbl();

    // ---- conversion
    // Both answer false when they fail or are cancelled, with the members' values and the
    // parameter table as they were. With kept, what they change is kept there instead, for the
    // caller to put back with what else it changes.
    // Binds the parameter table to the members and fits its engines; the option is kept with
    // the table, so that loading the project fits them alike.
    bool PrepareCoordConv(const CoordCnvOption &option, Veltrane *db, JIProgMsgBase *progress,
                          ConversionState *kept = nullptr);
    bool ExecuteCoordConv(CoordCnvKind kind, JIProgMsgBase *progress,
                          ConversionState *kept = nullptr);
    CoordConvParam *GetCoordConvParam(CoordCnvKind kind) {
        return m_prmTbl.GetCoordConvParam(kind);
    }
    const CoordConvParam *GetCoordConvParam(CoordCnvKind kind) const {
        return m_prmTbl.GetCoordConvParam(kind);
    }
    const CoordConvParam *GetSelectedCoordConvParam() const {
        return m_prmTbl.GetSelectedCoordConvParam();
    }
    const CoordConvParam *GetSelectedCoordConvParamForAdjust() const {
        return m_prmTbl.GetSelectedCoordConvParamForAdjust();
    }
    bool IsCrdCnvCompleted() const { return m_prmTbl.IsCrdCnvCompleted(); }
    void ClearCrdCnvTbl() { m_prmTbl.ClearAll(); }
    CrdCnvPrmTbl *GetCrdCnvPrmTbl() { return &m_prmTbl; }
    const CrdCnvPrmTbl *GetCrdCnvPrmTbl() const { return &m_prmTbl; }
    bool IsCalcTarget() const { return m_fCalcTarget; }
    void SetCalcTarget(bool on) { m_fCalcTarget = on; }

    // The project-file record; members as positions in the database's main table.
    bool Write(const Veltrane *db, CArchive &ar) const;
    // False (block unchanged) for a negative count; a record cut short raises the archive's
    // exception, also with the block unchanged. Members at -1 or outside the database are
    // skipped; the stored vertices are taken as they are.
    bool Read(Veltrane *db, CArchive &ar, unsigned long version);

  private:
    bool checkBeforeMoveOrInsert(bool move, int i, double x, double y) const;
    bool isVertex(int i) const { return i >= 0 && static_cast<std::size_t>(i) < m_vertices.size(); }

    COLORREF m_color = 0;
    COLORREF m_backupColor = 0;
    CString m_name;
    CString m_backupName;
    std::vector<JPolygonElm> m_vertices;
    std::vector<JPolygonElm> m_backupVertices;
    unsigned m_no;
    PointTable m_members{true};
    PointTable m_backupMembers{true};
    PointTable m_outside{true};
    bool m_fClosed = false;
    bool m_fBackupClosed = false;
    CrdCnvPrmTbl m_prmTbl;
    double m_xmin = 0.0;
    double m_xmax = 0.0;
    double m_ymin = 0.0;
    double m_ymax = 0.0;
    bool m_fBoxValid = false;
    bool m_fCalcTarget = true;
};
