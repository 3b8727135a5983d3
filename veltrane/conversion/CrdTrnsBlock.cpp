#include "veltrane/conversion/CrdTrnsBlock.h"

#include "kernels/Tarvik/Tarvikulation.h"
#include "platform/core/CArchive.h"
#include "veltrane/conversion/ConversionState.h"
#include "veltrane/database/Veltrane.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

const double CrdTrnsBlock::gt_near0 = 1e-8;

namespace {

const Tarvikulation &calc() {
    static const Tarvikulation calculator;
    return calculator;
}

bool crosses(const JPolygonElm &a, const JPolygonElm &b, const JPolygonElm &c,
             const JPolygonElm &d) {
    double x = 0.0, y = 0.0;
    return calc().crossSS(a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y, &x, &y) != 0;
}

bool samePoint(const JPolygonElm &a, const JPolygonElm &b) {
    return calc().judgeSamePoint(a.x, a.y, b.x, b.y) == 0;
}

// Takes every entry of p out of a table; whether there was one.
// Takes out every entry of p (AppendPnt without the check may list a point twice).
bool removeAll(PointTable &table, const Point *p) { return table.Remove(PointSet{p}, false) != 0; }

} // namespace

CrdTrnsBlock::CrdTrnsBlock(unsigned no) : m_no(no) {}

CrdTrnsBlock::~CrdTrnsBlock() = default;

CString CrdTrnsBlock::GetDisplayName() const {
    CString text;
    text.Format("%2d : %s", static_cast<int>(m_no), static_cast<const char *>(m_name));
    return text;
}

// ---- polygon

bool CrdTrnsBlock::GetCrd(int i, double *x, double *y) const {
    if (!isVertex(i))
        return false;
    if (x)
        *x = m_vertices[i].x;
    if (y)
        *y = m_vertices[i].y;
    return true;
}

bool CrdTrnsBlock::AppendCrd(double x, double y) {
    const JPolygonElm p{x, y};
    if (!m_vertices.empty()) {
        const JPolygonElm &last = m_vertices.back();
        if (samePoint(last, p))
            return false;
        // The closing edge and the last edge meet the new one at its ends.
        if (m_vertices.size() >= 3 && IsCross(m_vertices, last.x, last.y, x, y, 6))
            return false;
    }
    m_vertices.push_back(p);
    m_fBoxValid = false;
    return true;
}

bool CrdTrnsBlock::InsertCrd(int i, double x, double y) {
    if (!checkBeforeMoveOrInsert(false, i, x, y))
        return false;
    m_vertices.insert(m_vertices.begin() + i + 1, JPolygonElm{x, y});
    m_fBoxValid = false;
    return true;
}

bool CrdTrnsBlock::MoveCrd(int i, double x, double y) {
    if (!checkBeforeMoveOrInsert(true, i, x, y))
        return false;
    m_vertices[i] = JPolygonElm{x, y};
    m_fBoxValid = false;
    return true;
}

bool CrdTrnsBlock::RemoveCrd(int i) {
    if (!isVertex(i))
        return false;
    m_vertices.erase(m_vertices.begin() + i);
    m_fBoxValid = false;
    return true;
}

int CrdTrnsBlock::FindCrd(double x, double y, double tolerance) const {
    for (std::size_t i = 0; i < m_vertices.size(); ++i)
        if (std::hypot(m_vertices[i].x - x, m_vertices[i].y - y) < tolerance)
            return static_cast<int>(i);
    return -1;
}

int CrdTrnsBlock::FindSegment(double x, double y, double maxDistance) const {
    const int n = static_cast<int>(m_vertices.size());
    if (n < 2)
        return -1;
    int found = -1;
    double best = maxDistance;
    for (int i = 1; i < n; ++i) {
        const JPolygonElm &a = m_vertices[i - 1];
        const JPolygonElm &b = m_vertices[i];
        double d = 0.0;
        if (calc().distancePS(a.x, a.y, b.x, b.y, x, y, &d) && d < best) {
            best = d;
            found = i - 1;
        }
    }
    if (m_fClosed) {
        const JPolygonElm &a = m_vertices[n - 1];
        const JPolygonElm &b = m_vertices[0];
        double d = 0.0;
        if (calc().distancePS(a.x, a.y, b.x, b.y, x, y, &d) && d < best)
            found = n - 1;
    }
    return found;
}

bool CrdTrnsBlock::GetAdjCrd(bool move, int i, double x[2], double y[2], int idx[2]) const {
    const int n = static_cast<int>(m_vertices.size());
    idx[0] = idx[1] = -1;
    if (move) {
        if (!isVertex(i))
            return false;
        if (i > 0)
            idx[0] = i - 1;
        else if (m_fClosed)
            idx[0] = n - 1;
        if (i < n - 1)
            idx[1] = i + 1;
        else if (m_fClosed)
            idx[1] = 0;
    } else {
        if (n < 2 || i < 0 || i >= n)
            return false;
        if (i < n - 1) {
            idx[0] = i;
            idx[1] = i + 1;
        } else if (m_fClosed) {
            idx[0] = n - 1;
            idx[1] = 0;
        } else {
            return false;
        }
    }
    for (int k = 0; k < 2; ++k) {
        x[k] = idx[k] == -1 ? 0.0 : m_vertices[idx[k]].x;
        y[k] = idx[k] == -1 ? 0.0 : m_vertices[idx[k]].y;
    }
    return true;
}

// Edges are named by their first vertex; edge n - 1 closes the polygon.
bool CrdTrnsBlock::checkBeforeMoveOrInsert(bool move, int i, double x, double y) const {
    double ax[2], ay[2];
    int idx[2];
    if (!GetAdjCrd(move, i, ax, ay, idx))
        return false;
    const int n = static_cast<int>(m_vertices.size());
    const int b = idx[0];
    const int d = idx[1];
    if (b != -1) {
        std::vector<int> skip{b == 0 ? n - 1 : b - 1, b};
        if (move)
            skip.push_back(i);
        if (!m_fClosed)
            skip.push_back(n - 1);
        if (IsCross(m_vertices, ax[0], ay[0], x, y, skip))
            return false;
    }
    if (d != -1) {
        std::vector<int> skip{i, d};
        if (move && b != -1)
            skip.push_back(b);
        if (!m_fClosed)
            skip.push_back(n - 1);
        if (IsCross(m_vertices, x, y, ax[1], ay[1], skip))
            return false;
    }
    return true;
}

bool CrdTrnsBlock::SetClose() {
    if (!CheckSamePoint(m_vertices))
        return false;
    if (m_vertices.size() == 3) {
        const JPolygonElm &p0 = m_vertices[0], &p1 = m_vertices[1], &p2 = m_vertices[2];
        double a = 0.0;
        if (!calc().intAngX(p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, &a) ||
            std::fabs(a - calc().nPi(1.0)) <= calc().getNear())
            return false;
    } else if (IsCross(m_vertices)) {
        return false;
    }
    // A polygon that folds back on itself encloses nothing.
    if (IsZero(PolygonArea(m_vertices) / 2.0))
        return false;
    m_fClosed = true;
    return true;
}

bool CrdTrnsBlock::CalcMinMax() {
    m_fBoxValid = false;
    if (m_vertices.empty())
        return false;
    m_xmin = m_xmax = m_vertices.front().x;
    m_ymin = m_ymax = m_vertices.front().y;
    for (const JPolygonElm &v : m_vertices) {
        m_xmin = std::min(m_xmin, v.x);
        m_xmax = std::max(m_xmax, v.x);
        m_ymin = std::min(m_ymin, v.y);
        m_ymax = std::max(m_ymax, v.y);
    }
    m_fBoxValid = true;
    return true;
}

bool CrdTrnsBlock::GetMinMax(double *xmin, double *ymin, double *xmax, double *ymax, bool extend) {
    if (!m_fBoxValid && !CalcMinMax())
        return false;
    if (extend) {
        *xmin = std::min(*xmin, m_xmin);
        *ymin = std::min(*ymin, m_ymin);
        *xmax = std::max(*xmax, m_xmax);
        *ymax = std::max(*ymax, m_ymax);
    } else {
        *xmin = m_xmin;
        *ymin = m_ymin;
        *xmax = m_xmax;
        *ymax = m_ymax;
    }
    return true;
}

bool CrdTrnsBlock::IsInPolygon(double x, double y) {
    if (!m_fBoxValid && !CalcMinMax())
        return false;
    if (x < m_xmin - gt_near0 || x > m_xmax + gt_near0 || y < m_ymin - gt_near0 ||
        y > m_ymax + gt_near0)
        return false;
    return IsInPolygon(m_vertices, x, y);
}

// ---- geometry

int CrdTrnsBlock::Sgn(double v) { return v > gt_near0 ? 1 : (v < -gt_near0 ? -1 : 0); }

bool CrdTrnsBlock::IsZero(double v) { return -gt_near0 <= v && v <= gt_near0; }

bool CrdTrnsBlock::inside_value(double w, double s, double t) {
    return (s - w < gt_near0 && w - t < gt_near0) || (w - s < gt_near0 && t - w < gt_near0);
}

double CrdTrnsBlock::Area(const JPolygonElm &p, const JPolygonElm &a, const JPolygonElm &b) {
    return (a.y - b.y) * (p.x - a.x) - (p.y - a.y) * (a.x - b.x);
}

bool CrdTrnsBlock::pt_on_seg(const JPolygonElm &p, const JPolygonElm &a, const JPolygonElm &b) {
    if (std::fabs(a.x - b.x) < gt_near0)
        return inside_value(p.y, a.y, b.y);
    return inside_value(p.x, a.x, b.x);
}

// The fan of triangles (P0, Pi, Pi+1) covers the polygon with signed triangles: a point inside
// is covered by positive and negative triangles that do not cancel. A point on a fan line counts
// for one triangle only: the one after a triangle of the other sign.
int CrdTrnsBlock::pt_in_polygon(const JPolygonElm &p, const std::vector<JPolygonElm> &v) {
    const std::size_t n = v.size();
    if (n < 3)
        return -1;
    const JPolygonElm &p0 = v[0];
    if ((pt_on_seg(p, p0, v[1]) && IsZero(Area(p, p0, v[1]))) ||
        (pt_on_seg(p, p0, v[n - 1]) && IsZero(Area(p, p0, v[n - 1]))))
        return 0;
    std::vector<int> sign(n - 1, 0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double a = Area(p0, v[i], v[i + 1]);
        sign[i] = a > gt_near0 ? 1 : (a == 0.0 ? 0 : -1);
    }
    int sum = 0;
    int previous = 0; // the sign of the nearest earlier triangle that is not zero
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double s = Area(p, v[i], v[i + 1]);
        if (std::fabs(s) <= gt_near0) {
            if (pt_on_seg(p, v[i], v[i + 1]))
                return 0;
        } else if (sign[i] > 0 && s >= 0.0) {
            if (Area(p, v[i + 1], p0) >= -gt_near0) {
                const double a = Area(p, p0, v[i]);
                if (a > gt_near0 || (a >= -gt_near0 && previous < 0))
                    ++sum;
            }
        } else if (sign[i] < 0 && s <= 0.0) {
            if (Area(p, v[i + 1], p0) <= gt_near0) {
                const double a = Area(p, p0, v[i]);
                if (a < -gt_near0 || (a <= gt_near0 && previous > 0))
                    --sum;
            }
        }
        if (sign[i] != 0)
            previous = sign[i];
    }
    return sum != 0 ? 1 : -1;
}

bool CrdTrnsBlock::CheckSamePoint(const std::vector<JPolygonElm> &v) {
    for (std::size_t i = 0; i < v.size(); ++i)
        for (std::size_t j = i + 1; j < v.size(); ++j)
            if (samePoint(v[i], v[j]))
                return false;
    return true;
}

bool CrdTrnsBlock::IsCross(const std::vector<JPolygonElm> &v) {
    const std::size_t n = v.size();
    if (n < 4)
        return false;
    // Edge i runs from vertex i - 1 (n - 1 for i = 0) to vertex i.
    auto from = [&](std::size_t i) -> const JPolygonElm & { return v[(i + n - 1) % n]; };
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1)
                continue; // neighbours across vertex n - 1
            if (crosses(from(i), v[i], from(j), v[j]))
                return true;
        }
    return false;
}

bool CrdTrnsBlock::IsCross(const std::vector<JPolygonElm> &v, double x1, double y1, double x2,
                           double y2, int flags) {
    const std::size_t n = v.size();
    if (n < 2)
        return false;
    const JPolygonElm a{x1, y1}, b{x2, y2};
    for (std::size_t i = 0; i < n; ++i) {
        if ((i == 0 && (flags & 4)) || (i == 1 && (flags & 1)) || (i == n - 1 && (flags & 2)))
            continue;
        if (crosses(a, b, v[(i + n - 1) % n], v[i]))
            return true;
    }
    return false;
}

bool CrdTrnsBlock::IsCross(const std::vector<JPolygonElm> &v, double x1, double y1, double x2,
                           double y2, const std::vector<int> &skip) {
    const std::size_t n = v.size();
    if (n < 2)
        return false;
    const JPolygonElm a{x1, y1}, b{x2, y2};
    for (std::size_t k = 0; k < n; ++k) {
        if (std::find(skip.begin(), skip.end(), static_cast<int>(k)) != skip.end())
            continue;
        if (crosses(a, b, v[k], v[(k + 1) % n]))
            return true;
    }
    return false;
}

bool CrdTrnsBlock::IsRightRotate(const std::vector<JPolygonElm> &v) {
    const std::size_t n = v.size();
    if (n < 3)
        return false;
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const JPolygonElm &a = v[(i + n - 1) % n], &b = v[i], &c = v[(i + 1) % n];
        double angle = 0.0;
        calc().intAng(a.x, a.y, b.x, b.y, c.x, c.y, &angle);
        sum += angle;
    }
    return std::fabs(sum - calc().nPi(static_cast<double>(n + 2))) < 0.0001;
}

bool CrdTrnsBlock::IsInPolygon(const std::vector<JPolygonElm> &v, double x, double y) {
    return v.size() >= 3 && pt_in_polygon(JPolygonElm{x, y}, v) >= 0;
}

double CrdTrnsBlock::PolygonArea(const std::vector<JPolygonElm> &v) {
    double sum = 0.0;
    for (std::size_t i = 1; i + 1 < v.size(); ++i)
        sum += Area(v[0], v[i], v[i + 1]);
    return sum;
}

// ---- members

bool CrdTrnsBlock::AppendPnt(Point *p, bool connect, bool checkIncluded) {
    if (p == nullptr || (checkIncluded && m_members.IsIncluded(p)))
        return false;
    m_members.Append(p);
    if (connect && !p->IsRelatedWithBlock(m_no))
        p->AppendBlock(m_no);
    return true;
}

void CrdTrnsBlock::AppendPnts(PointTable *table, bool connect) {
    if (table == nullptr)
        return;
    for (Point *p : *table)
        AppendPnt(p, connect, true);
}

bool CrdTrnsBlock::RemovePnt(Point *p, bool removeResult, bool disconnect) {
    if (p == nullptr)
        return false;
    if (disconnect) {
        p->RemoveBlock(m_no);
        // A point that no longer names the block has no place in a rollback or a commit.
        removeAll(m_backupMembers, p);
        removeAll(m_outside, p);
    }
    if (removeResult)
        m_prmTbl.Remove(p);
    return removeAll(m_members, p);
}

void CrdTrnsBlock::RemovePnts(const PointSet &points, bool removeResult, bool disconnect) {
    if (points.empty())
        return;
    if (disconnect) {
        for (PointTable *table : {&m_members, &m_backupMembers, &m_outside})
            for (Point *p : *table)
                if (points.count(p) != 0)
                    p->RemoveBlock(m_no);
        m_backupMembers.Remove(points, false);
        m_outside.Remove(points, false);
    }
    if (removeResult)
        m_prmTbl.Remove(points);
    m_members.Remove(points, false);
}

bool CrdTrnsBlock::RemovePntResult(Point *p) { return p != nullptr && m_prmTbl.Remove(p); }

void CrdTrnsBlock::ConnectToAllPoints() {
    for (Point *p : m_members)
        if (!p->IsRelatedWithBlock(m_no))
            p->AppendBlock(m_no);
}

void CrdTrnsBlock::DisconnectToAllPoints() { DisconnectToPoints(&m_members); }

void CrdTrnsBlock::DisconnectToPoints(PointTable *table) {
    if (table == nullptr)
        return;
    for (Point *p : *table) {
        m_prmTbl.Remove(p);
        p->RemoveBlock(m_no);
    }
}

void CrdTrnsBlock::MakePntRetrievableIdxMap() {
    m_members.MakeTmpIdxMap();
    m_prmTbl.MakeRetrievableIdxMap();
}

// ---- editing

bool CrdTrnsBlock::AppendPntTmp(Point *p) {
    if (p == nullptr || m_members.IsIncluded(p))
        return false;
    m_members.Append(p);
    removeAll(m_outside, p);
    return true;
}

bool CrdTrnsBlock::RemovePntTmp(Point *p) {
    if (!m_members.Remove(p, false))
        return false;
    if (!m_outside.IsIncluded(p))
        m_outside.Append(p);
    return true;
}

void CrdTrnsBlock::RemoveAllPntTmp() {
    const std::vector<Point *> members(m_members.begin(), m_members.end());
    for (Point *p : members)
        RemovePntTmp(p);
    m_members.MakeTmpIdxMap();
}

void CrdTrnsBlock::MakeBackupPntTbl() {
    m_backupMembers = m_members;
    m_backupColor = m_color;
    m_backupName = m_name;
    m_backupVertices = m_vertices;
    m_fBackupClosed = m_fClosed;
    m_outside.AllRemove();
}

void CrdTrnsBlock::RollbackPntTbl() {
    m_members = m_backupMembers;
    m_members.MakeTmpIdxMap();
    m_color = m_backupColor;
    m_name = m_backupName;
    m_vertices = m_backupVertices;
    m_fClosed = m_fBackupClosed;
    m_fBoxValid = false;
    m_backupMembers.AllRemove();
    m_outside.AllRemove();
}

void CrdTrnsBlock::CommitPntTbl() {
    for (Point *p : m_outside) {
        if (m_members.IsIncluded(p))
            continue; // taken back in by another way than AppendPntTmp
        m_prmTbl.Remove(p);
        p->RemoveBlock(m_no);
    }
    ConnectToAllPoints();
    m_backupMembers.AllRemove();
    m_outside.AllRemove();
    m_members.MakeTmpIdxMap();
}

// ---- conversion

bool CrdTrnsBlock::PrepareCoordConv(const CoordCnvOption &option, Veltrane *db,
                                    JIProgMsgBase *progress, ConversionState *kept) {
    ConversionState own;
    ConversionState &state = kept ? *kept : own;
    state.KeepForPreparation(m_members, option);
    state.Keep(m_prmTbl);
    if (!m_prmTbl.Initialize(db, &m_members, m_no) || !m_prmTbl.PrepareCoordConv(option, progress))
        return false;
    m_prmTbl.SetCoordCnvOption(option);
    own.Commit();
    return true;
}

bool CrdTrnsBlock::ExecuteCoordConv(CoordCnvKind kind, JIProgMsgBase *progress,
                                    ConversionState *kept) {
    ConversionState own;
    ConversionState &state = kept ? *kept : own;
    state.Keep(m_members, m_no);
    state.Keep(m_prmTbl);
    if (!m_prmTbl.ExecuteCoordConv(kind, progress))
        return false;
    own.Commit();
    return true;
}

// ---- record

bool CrdTrnsBlock::Write(const Veltrane *db, CArchive &ar) const {
    ar << static_cast<std::int32_t>(m_no) << m_name << static_cast<std::uint32_t>(m_color);
    ar << static_cast<std::int32_t>(m_vertices.size());
    for (const JPolygonElm &v : m_vertices)
        ar << v.x << v.y;
    ar << static_cast<BYTE>(m_fClosed ? 1 : 0);
    ar << static_cast<std::int32_t>(m_members.size());
    for (const Point *p : m_members)
        ar << static_cast<std::int32_t>(db ? db->Find(p) : -1);
    m_prmTbl.Write(ar);
    ar << static_cast<BYTE>(m_fCalcTarget ? 1 : 0);
    return true;
}

bool CrdTrnsBlock::Read(Veltrane *db, CArchive &ar, unsigned long version) {
    std::int32_t no = 0, count = 0;
    CString name;
    std::uint32_t color = 0;
    ar >> no >> name >> color >> count;
    if (count < 0)
        return false;
    ar.CheckRemaining(static_cast<std::uint64_t>(count), 2 * sizeof(double));
    std::vector<JPolygonElm> vertices(static_cast<std::size_t>(count));
    for (JPolygonElm &v : vertices)
        ar >> v.x >> v.y;
    BYTE closed = 0;
    ar >> closed >> count;
    if (count < 0)
        return false;
    ar.CheckRemaining(static_cast<std::uint64_t>(count), sizeof(std::int32_t));
    std::vector<Point *> members;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t pos = -1;
        ar >> pos;
        if (Point *p = db && pos >= 0 ? db->GetPoint(pos) : nullptr)
            members.push_back(p);
    }
    // The parameter table (64 bytes) and the calculation-target byte: nothing below can fail.
    ar.CheckRemaining(1, 65);
    m_no = static_cast<unsigned>(no);
    m_name = name;
    m_color = color;
    m_vertices = std::move(vertices);
    m_fClosed = closed != 0;
    m_fBoxValid = false;
    m_members.AllRemove();
    for (Point *p : members)
        AppendPnt(p, false, true);
    m_prmTbl.Read(ar, version);
    BYTE target = 0;
    ar >> target;
    m_fCalcTarget = target != 0;
    m_prmTbl.Initialize(db, &m_members, m_no);
    return true;
}
