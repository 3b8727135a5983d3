#pragma once

#include "exchange/Dorrimet/PlaneCoord.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "ombresk/JMeshCode.h"
#include "tests/support/TempFolder.h"
#include "veltrane/model/T2JErrIdx.h"

#include <gtest/gtest.h>

#include <string>

// Plane zone IX (origin 36 N, 139 50 E) on Bessel 1841, where the error indexes of the tests
// lie, and EDX files in the test folder.
class ErrIdxTest : public testsupport::TempFolderTest {
  protected:
    static JMeshCode mesh(unsigned code) {
        JMeshCode m;
        m.SetMeshCode3(code);
        return m;
    }
    static T2JErrIdxTbl table(std::initializer_list<T2JErrIdx> indexes) {
        T2JErrIdxTbl t;
        for (const T2JErrIdx &i : indexes)
            t.Append(i);
        return t;
    }

    const EarthEllips m_bessel{6377397.155, 299.152813};
    const PlaneCrdJpn m_zones{&m_bessel};
    const PlaneArea *m_zone9 = m_zones.GetAreaFromNo(9);
};

// A point in zone IX computed with PROJ 9.1.1:
//   cs2cs +proj=longlat +ellps=bessel +to +proj=tmerc +lat_0=36 +lon_0=139.83333333333333
//         +k=0.9999 +x_0=0 +y_0=0 +ellps=bessel
struct Zone9Point {
    double x; // northing
    double y; // easting
};

// Corners of mesh 53394600 (south-west corner 35 40 00 N, 139 45 00 E).
constexpr Zone9Point kSW4600 = {-36974.481760, -7543.478089};
constexpr Zone9Point kNW4600 = {-36050.064394, -7542.694067}; // 35 40 30, 139 45 00
constexpr Zone9Point kNE4600 = {-36050.952088, -6411.289754}; // 35 40 30, 139 45 45
constexpr Zone9Point kSE4600 = {-36975.369367, -6411.956173}; // 35 40 00, 139 45 45
// Its 150 x 225 second cell.
constexpr Zone9Point kNW4600Cell = {-32352.382147, -7539.556380}; // 35 42 30, 139 45 00
constexpr Zone9Point kNE4600Cell = {-32355.382296, -1884.888894}; // 35 42 30, 139 48 45
constexpr Zone9Point kSE4600Cell = {-36977.480432, -1885.869321}; // 35 40 00, 139 48 45
// North-east corner of mesh 53394729 (south-west corner 35 41 00 N, 139 59 15 E) and of its
// 150 x 225 second cell.
constexpr Zone9Point kNE4729 = {-34191.627219, 15082.256225};     // 35 41 30, 140 00 00
constexpr Zone9Point kNE4729Cell = {-30485.096754, 19598.777878}; // 35 43 30, 140 03 00

// Plane coordinates agree with PROJ's to a tenth of a millimetre.
constexpr double kPlaneTolerance = 1e-4;

inline void ExpectPoint(double x, double y, const Zone9Point &expected) {
    EXPECT_NEAR(x, expected.x, kPlaneTolerance);
    EXPECT_NEAR(y, expected.y, kPlaneTolerance);
}
