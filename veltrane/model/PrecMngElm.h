#pragma once

#include "kernels/Brennic/JGDRoundMode.h"
#include "platform/core/CString.h"

class Coordinate;
class CrdTrnsBlockTbl;
class Point;
class Veltrane;

// One pair of points for precision management: their X and Y differences and distance in the
// Tokyo datum (old) and in JGD2000 (new), and the change between the two. The points are not
// owned; a pair keeps the names of its points, so a pair whose point left the database still
// shows the old name.
class PrecMngElm {
  public:
    // Millimetres, half up.
    static JGDRoundMode m_rndDefault;

    PrecMngElm();
    PrecMngElm(const Point *p1, const Point *p2);
    PrecMngElm(const PrecMngElm &other) = default;
    PrecMngElm &operator=(const PrecMngElm &other) = default;

    // A new pair of the same points; a missing point keeps its stored name.
    PrecMngElm *Clone() const;

    const Point *GetPt1() const { return m_pt1; }
    const Point *GetPt2() const { return m_pt2; }
    // The point's current name, or the stored one when the point is missing.
    CString GetPt1Name() const;
    CString GetPt2Name() const;
    // Takes the point and, unless it is null, its name.
    bool SetPt1(const Point *p);
    bool SetPt2(const Point *p);
    // A name other than the stored one is stored and lets go of the point.
    bool SetPt1Name(const CString &name);
    bool SetPt2Name(const CString &name);
    void SwapPoint();
    // Puts the point of smaller Tokyo Y first (on equal Y the smaller or equal X); whether it
    // swapped. False when a point is missing.
    bool Normalize();

    // Both points present with valid Tokyo coordinates and valid results in the block (0 or
    // more; int, so that a literal 0 is a block and not a block table).
    bool IsValid(int block) const;
    // The same with the block JGD2000 results that the blocks' priority gives.
    bool IsValid(const CrdTrnsBlockTbl *blocks) const;

    // Tokyo-datum figures of the rounded coordinates; 0 when a point is missing.
    double GetOldDiffX(const JGDRoundMode &rnd) const;
    double GetOldDiffY(const JGDRoundMode &rnd) const;
    double GetOldDistance(const JGDRoundMode &rnd) const;
    // The old distance reduced to the projection plane: mean height h, geoid height n (metres),
    // scale factor k.
    double GetOldPlaneDistance(double h, double n, double k, const JGDRoundMode &rnd) const;

    // JGD2000 figures of the coordinates that the database gives for precision management; 0
    // when a point or the database is missing or a coordinate is not there. Block -1 (and the
    // forms without a block or with the block table) is the block the database's priority gives.
    double GetNewDiffX(const Veltrane *db, int block, const JGDRoundMode &rnd) const;
    double GetNewDiffY(const Veltrane *db, int block, const JGDRoundMode &rnd) const;
    double GetNewDistance(const Veltrane *db, int block, const JGDRoundMode &rnd) const;
    double GetNewDistance(const Veltrane *db, const JGDRoundMode &rnd) const;
    double GetNewDiffX(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                       const JGDRoundMode &rnd) const;
    double GetNewDiffY(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                       const JGDRoundMode &rnd) const;
    double GetNewDistance(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                          const JGDRoundMode &rnd) const;

    // Old minus new.
    double GetDeltaX(const Veltrane *db, int block, const JGDRoundMode &rnd) const;
    double GetDeltaY(const Veltrane *db, int block, const JGDRoundMode &rnd) const;
    double GetDeltaS(const Veltrane *db, int block, const JGDRoundMode &rnd) const;
    double GetDeltaX(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                     const JGDRoundMode &rnd) const;
    double GetDeltaY(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                     const JGDRoundMode &rnd) const;
    double GetDeltaS(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                     const JGDRoundMode &rnd) const;

  private:
    // The two new coordinates; false unless both are there and valid.
    bool newCoords(const Veltrane *db, int block, Coordinate *c1, Coordinate *c2) const;

    CString m_name1;
    CString m_name2;
    const Point *m_pt1 = nullptr;
    const Point *m_pt2 = nullptr;
};
