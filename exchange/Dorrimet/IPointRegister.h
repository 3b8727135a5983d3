#pragma once

#include "platform/core/CString.h"

// Receives the points that a file reader finds.
class IPointRegister {
  public:
    virtual ~IPointRegister() = default;

    // One point: number, name, plane X and Y, height and whether the height was
    // given. False makes the reader stop with its refused-registration state.
    virtual bool RegisterPoint(int no, const CString &name, double x, double y, double h,
                               int hUsed) = 0;
    // A fuller form (with latitude and longitude in radians, zone number, geoid
    // height and its flag, and conversion status) that no reader calls; it is
    // kept for the implementations, which refuse it with false.
    virtual bool RegisterPoint(int no, const CString &name, double x, double y, double h, int hUsed,
                               double b, double l, int zone, double n, int nUsed, int status) = 0;
    // Called once after the last point of a successful read; false makes the
    // reader's Read fail.
    virtual bool EndRegister() = 0;

    // An interface holds nothing: copying copies nothing.
    IPointRegister(const IPointRegister &) = default;
    IPointRegister &operator=(const IPointRegister &) = default;

  protected:
    IPointRegister() = default;
};
