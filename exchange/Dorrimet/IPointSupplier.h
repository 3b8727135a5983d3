#pragma once

#include "platform/core/CString.h"

// Gives a file writer the points to write. Writers call GetPointSize once and
// then a getter for indexes 0 .. size-1 in order; a getter that answers false
// leaves that point out.
class IPointSupplier {
  public:
    virtual ~IPointSupplier() = default;

    virtual unsigned GetPointSize() = 0;
    // Point index as plane X, Y and height; status, when not null, receives the
    // point's CoordConvStatusD (0 when it has none).
    virtual bool GetPoint(unsigned index, CString *name, double *x, double *y, double *h,
                          bool *hUsed, int *status) = 0;
    // As GetPoint, plus latitude b and longitude l as packed D.MMSS values
    // (seconds to 7 decimals) and the plane-rectangular zone number (1-19).
    virtual bool GetPointWithBL(unsigned index, CString *name, double *x, double *y, double *b,
                                double *l, int *zone, double *h, bool *hUsed, int *status) = 0;

    // An interface holds nothing: copying copies nothing.
    IPointSupplier(const IPointSupplier &) = default;
    IPointSupplier &operator=(const IPointSupplier &) = default;

  protected:
    IPointSupplier() = default;
};
