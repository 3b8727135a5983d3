#pragma once

#include "exchange/Dorrimet/IPointRegister.h"
#include "veltrane/model/Point.h"

#include <deque>
#include <list>
#include <map>

class JIProgMsgBase;
class LotRegister;
class Veltrane;

// A point read from a file, waiting to be stored.
struct PendingPoint {
    unsigned id = 0;         // the ID it will carry
    int fileNo = 0;          // the number the file gave it
    int ordinal = 0;         // its place among the points of the file, from 0
    Point point;             // ID, name and the read coordinate
    Point *stored = nullptr; // the stored point of the same name at reading time
    bool asNew = false;      // stored as a point of its own beside `stored`
};

// The database's side of IPointRegister. A read stores nothing while the file is read: every
// point is decided on and queued, and EndRegister (or EndRegisterWithLots) applies the queue, so
// a cancelled or refused read leaves the database unchanged.
//
// Each read point is matched to at most one stored point of its name, and no stored point to two
// read points: the n-th point of a name in the file meets the n-th stored point of that name (in
// table order), further ones meet none. A point whose stored namesake holds a coordinate of the
// kind read is asked about (AskCrdRewrite). A Tokyo-datum read never changes a stored point: the
// read point is stored beside its namesake, under the same name. Other kinds merge into the stored
// point or, by the kind, become a new point linked to it; once the answer was "overwrite all",
// every later namesake of the read merges. A new point gets an ID above every ID in the database,
// so no two points share an ID.
class PointRegister : public IPointRegister {
  public:
    explicit PointRegister(Veltrane *db);
    PointRegister(const PointRegister &) = delete;
    PointRegister &operator=(const PointRegister &) = delete;
    ~PointRegister() override;

    // Starts a read of that kind: the queue emptied, both answers forgotten.
    void Init(CoordinateKind kind, ITRFCoordKind itrf);

    // Decides and queues one point; false only when the user cancelled the read.
    bool RegisterPoint(int no, const CString &name, double x, double y, double h,
                       int hUsed) override;
    // Not used by any reader: false.
    bool RegisterPoint(int no, const CString &name, double x, double y, double h, int hUsed,
                       double b, double l, int zone, double n, int nUsed, int status) override;
    // Where EndRegister reports the points it stored (null: nowhere). The report keeps the
    // window painted; a cancel is not taken, since half a queue must never be stored.
    void SetProgress(JIProgMsgBase *progress) { m_pProgress = progress; }

    // Stores the queue (nothing after a cancel); false only when a point cannot be stored.
    bool EndRegister() override;
    // As EndRegister for a read of points and lots: every stored or merged point is registered
    // with the lots under its place among the points of the file.
    bool EndRegisterWithLots(LotRegister *lots);

    CoordinateKind GetKind() const { return m_kind; }
    bool IsCancelled() const { return m_fCancelled; }

  private:
    // The first stored point of the name that no earlier point of this read met; null when none.
    Point *takeNamesake(const CString &name);
    // The stored point the pending point became or was merged into; null when it cannot be
    // stored.
    Point *store(PendingPoint &pending, bool withLots);
    Point *merge(const PendingPoint &pending);
    // The first "%s%03d" of the name that no stored point carries.
    CString freeNumberedName(const CString &name) const;

    Veltrane *m_pDataBase;
    CoordinateKind m_kind = CrdKindTokyo;
    ITRFCoordKind m_itrf = ITRFKindNone;
    bool m_fOverwriteAll = false;
    bool m_fCancelled = false;
    std::list<PendingPoint> m_pending;
    unsigned m_nextID = 1;
    int m_readCount = 0; // points handed over in this read
    // The stored points of each name not yet met in this read, in table order; made at the
    // first point of a read.
    std::map<CString, std::deque<Point *>> m_namesakes;
    bool m_namesakesMade = false;
    JIProgMsgBase *m_pProgress = nullptr;
};
