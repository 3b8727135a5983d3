#pragma once

#include "exchange/Dorrimet/Coordinate.h"
#include "veltrane/conversion/CrdCnvPrmTbl.h"
#include "veltrane/model/Point.h"

#include <utility>
#include <vector>

class PointTable;

// What a preparation or a conversion may change, kept so that one that is cancelled or fails
// leaves everything as it was: the points' values that it writes and the parameter tables
// (engines, adjustment engine, flags, kind, option, precision tables). Unless Commit is called,
// the destructor puts it all back, also when an exception unwinds the conversion. The points
// stay the same objects (tables and indexes hold them) and get their values back by assignment.
// What is kept twice goes back last kept first, so the first value kept wins. A preparation and
// the conversion after it that keep into one state are undone together.
//
// Everything is copied when it is kept; putting it back only moves the copies in, so it cannot
// fail, not even while a bad_alloc unwinds the conversion.
class ConversionState {
  public:
    ConversionState() = default;
    ConversionState(const ConversionState &) = delete;
    ConversionState &operator=(const ConversionState &) = delete;
    ~ConversionState();

    // What a conversion of the block writes on the points of the table: their results of the
    // block (block 0: the whole area's) and the latitudes and longitudes of their coordinates.
    void Keep(PointTable &points, unsigned block);
    // What a preparation with the option changes on the points of the table: the
    // use-for-calculation flag and, when the Tokyo coordinates are shifted first, the shifted
    // Tokyo coordinate. Kept in table order: the table must list the same points until they go
    // back, as it does while a preparation runs.
    void KeepForPreparation(PointTable &points, const CoordCnvOption &option);
    void Keep(CrdCnvPrmTbl &table);
    // The changes stay: what was kept is let go.
    void Commit();

  private:
    // What a conversion changes on one point.
    struct Converted {
        Point *point;
        PointBlockResult result;
        PointGivenBL places;
    };
    // The values a preparation changes, of the points of a table in table order.
    struct Prepared {
        PointTable *points;
        std::vector<bool> use;
        std::vector<Coordinate> shifted;
    };

    std::vector<Converted> m_results;
    std::vector<Prepared> m_prepared;
    std::vector<std::pair<CrdCnvPrmTbl *, CrdCnvPrmTbl>> m_tables;
};
