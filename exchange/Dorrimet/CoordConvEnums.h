#pragma once

// Values that cross from the file formats to the point database and the
// conversion engines. Each has a fixed 32-bit underlying type: the values are
// stored in files and read back as integers.

// The conversion method of an engine.
enum CoordCnvKind : int {
    CrdCnvBlockOwn = -1, // where a block runs its conversion: the block's own kind
    CrdCnvParaTrans = 0,
    CrdCnvSimilar = 1,
    CrdCnvHelmert = 2,
    CrdCnvAffine = 3,
    CrdCnvNotUsed = 4,
    CrdCnvTKY2JGD = 5, // grid parameters
    CrdCnvNoTrend = 6,
    CrdCnvAffine2 = 7,
    CrdCnvHelmert3 = 8,
    CrdCnvParaTrans2 = 9,
};

// How a converted coordinate was obtained.
enum CoordConvStatusD : int {
    CrdCnvStatNone = 0,
    CrdCnvStatGrid = 1,       // by the grid parameters
    CrdCnvStatDatumShift = 2, // by the 3-parameter datum shift, outside the grid
    CrdCnvStatParaTrans = 3,
    CrdCnvStatSimilar = 4,
    CrdCnvStatHelmert = 5,
    CrdCnvStatAffine = 6,
    CrdCnvStatNoTrend = 7, // weighted interpolation without trend
};

// The direction of a file-to-file conversion.
enum ConvertMode : int {
    ConvertToNew = 0,  // Tokyo datum to the new datum (Transform)
    ConvertToOld = 1,  // new datum to the Tokyo datum (ReverseTransform)
    ConvertByFile = 2, // the datum the file says it holds to the other
};

// The coordinate-file kind that a format's JudgeFormat decides.
enum JGDCrdFileFormat : int {
    JGDCrdFmtUnknown = -1,
    JGDCrdFmtExchange = 1,
    JGDCrdFmtGridText = 2,
    JGDCrdFmtKjnText = 3,   // reference-point result text
    JGDCrdFmtExchangeS = 5, // single-letter exchange variant
};
