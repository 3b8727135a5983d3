#pragma once

// Kinds of coordinates and points of the point database. Each has a fixed 32-bit underlying type:
// the values are stored in the project file and cross the library's interface as integers.

// Which coordinate set of a point.
enum CoordinateKind : int {
    CrdKindTokyo = 0,       // Tokyo datum
    CrdKindObsITRF = 1,     // observed in the new datum
    CrdKindJGD2000 = 2,     // JGD2000 result of a block
    CrdKindKnownJGD2K = 3,  // known JGD2000
    CrdKindAdjustedJGD = 4, // adjusted JGD2000 of a block
};

// The role of an observed new-datum coordinate.
enum ITRFCoordKind : int {
    ITRFKindNone = 0,
    ITRFKindCnvBasis = 1, // conversion basis
    ITRFKindChkObs = 2,   // check observation
};

// The kind of a point as the tables select it.
enum PointKind : int {
    PntKindCnvBasis = 0,
    PntKindChkObs = 1,
    PntKindOther = 2,         // conversion target
    PntKindAdjustRelated = 3, // related to an adjust-known point
    PntKindAdjustOther = 4,   // not related to an adjust-known point, a mark or a check
};

// Which residual a precision check judges.
enum PRECISION_CHECK_ID : int {
    PrecChkNone = -1,
    PrecChkCnvPrec = 0,    // conversion precision: observed to JGD2000
    PrecChkChkObs = 1,     // check-observation precision
    PrecChkCrdDiff = 2,    // coordinate difference: Tokyo to observed
    PrecChkCnvParam = 3,   // conversion parameter: Tokyo to JGD2000
    PrecChkAdjCnvPrec = 5, // adjusted conversion precision: known to adjusted
};

// Order of a reference point.
enum KjnPointKind : int {
    KjnKindNone = 0,
    KjnKind1 = 1,
    KjnKind2 = 2,
    KjnKind3 = 3,
    KjnKind4 = 4,
};
