#pragma once

// The tabs of the point views.
enum TABID : int {
    TabTokyo = 0,    // old (Tokyo datum) coordinates
    TabObsITRF = 1,  // observed new coordinates
    TabCalcJGD = 2,  // computed new coordinates
    TabPrecChk = 3,  // precision check
    TabAreaChk = 4,  // area check
    TabKnownJGD = 5, // known new coordinates
};

// The view beside the point list; 1 is the coordinate list.
enum ViewID : int {
    ViewCoordList = 1,
};

// What the last conversion converted.
enum JGDTargetCrdKind : int {
    JGDTargetNone = -2,     // nothing converted yet
    JGDTargetBlocks = -1,   // blocks, each with its own parameters
    JGDTargetWholeArea = 0, // the whole area
};

// The result of reading a project file.
enum JDDbReadRetCode : int {
    DbReadLoaded = 0,
    DbReadShort = 1,      // the file ended early or is damaged
    DbReadNotProject = 2, // not a project file, or a version the database does not read
};
