#pragma once

#include "exchange/Dorrimet/IPointSupplier.h"
#include "kernels/Brennic/JGDRoundMode.h"
#include "veltrane/model/PointTable.h"

class PlaneArea;
class Veltrane;

// Gives a file writer (and the means of the scale correction) the database's points of one
// coordinate kind. SetCondition switches the database's current tab and ITRF switch and fills
// the supplier's own table; RestoreTable must follow before the database is used otherwise.
class PointSupplier : public IPointSupplier {
  public:
    // Flag bit of SetCondition: the JGD2000 results by block priority.
    static constexpr unsigned kByBlockPriority = 0x1000;

    // The condition of one write: SetCondition when made, RestoreTable when it ends, also when
    // the writer throws.
    class ConditionScope {
      public:
        ConditionScope(PointSupplier &supplier, CoordinateKind kind, ITRFCoordKind itrf,
                       unsigned flags)
            : m_supplier(supplier) {
            m_supplier.SetCondition(kind, itrf, flags);
        }
        ~ConditionScope() { m_supplier.RestoreTable(); }
        ConditionScope(const ConditionScope &) = delete;
        ConditionScope &operator=(const ConditionScope &) = delete;

      private:
        PointSupplier &m_supplier;
    };

    explicit PointSupplier(Veltrane *db);
    ~PointSupplier() override;

    // Kind 2 passes flag bits 0 to 2 as the switches of the result table (basis points tied to
    // old marks, check points, adjusted points).
    void SetCondition(CoordinateKind kind, ITRFCoordKind itrf, unsigned flags);
    // Gives the database back its tab and ITRF switch and rebuilds its current-tab table.
    void RestoreTable();
    // compute: latitude and longitude are computed from X and Y rounded to `digits` decimals.
    void SetRound(bool compute, int digits);

    unsigned GetPointSize() override;
    // The index of the point among those to write; -1 when it is not one of them.
    int IndexOf(const Point *p) const { return m_table.Find(p); }
    bool GetPoint(unsigned index, CString *name, double *x, double *y, double *h, bool *hUsed,
                  int *status) override;
    bool GetPointWithBL(unsigned index, CString *name, double *x, double *y, double *b, double *l,
                        int *zone, double *h, bool *hUsed, int *status) override;
    // As GetPointWithBL with latitude and longitude in radians.
    virtual bool GetPointWithBLRad(unsigned index, CString *name, double *x, double *y, double *b,
                                   double *l, int *zone, double *h, bool *hUsed, int *status);

  private:
    // The point and its coordinate of the kind; false when there is none.
    bool pointAt(unsigned index, const Point **point, Coordinate *coord, int *status) const;
    bool pointWithBL(unsigned index, CString *name, double *x, double *y, double *b, double *l,
                     int *zone, double *h, bool *hUsed, int *status);

    Veltrane *m_pDataBase;
    int m_nSavedTab = 0;
    int m_nSavedITRF = 1;
    CoordinateKind m_kind = CrdKindTokyo;
    PointTable m_table{true};
    bool m_fByBlockPriority = false;
    bool m_fCalcBL = false;
    JGDRoundMode m_round{-3, 261};
    const PlaneArea *m_pZone = nullptr;
};
