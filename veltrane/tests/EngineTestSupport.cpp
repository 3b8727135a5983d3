#include "veltrane/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

namespace enginetest {

Point BasisPoint(unsigned id, const char *name, double x, double y, double ox, double oy, double h,
                 double oh) {
    Point p(id, name);
    p.SetTokyoDatum(Coordinate(x, y, h, true, 0.0, false));
    p.SetCnvBasisITRF(Coordinate(ox, oy, oh, true, 0.0, false));
    return p;
}

Point TargetPoint(unsigned id, const char *name, double x, double y, double h) {
    Point p(id, name);
    p.SetTokyoDatum(Coordinate(x, y, h, true, 0.0, false));
    return p;
}

Point CheckPoint(unsigned id, const char *name, double x, double y, double ox, double oy) {
    Point p(id, name);
    p.SetTokyoDatum(Coordinate(x, y, 0.0, true, 0.0, false));
    p.SetChkObsITRF(Coordinate(ox, oy, 0.0, true, 0.0, false));
    return p;
}

Point *Stored(Veltrane &db, const char *name) {
    Point *p = db.Find(CString(name));
    EXPECT_NE(p, nullptr) << name;
    return p;
}

} // namespace enginetest
