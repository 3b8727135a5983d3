#pragma once

#include "platform/core/CFile.h"
#include "platform/core/CString.h"

// The four corner values of the grid cell of a position and its bounds in whole arc seconds.
struct GeoidCell {
    double v00 = 0.0; // (i, j): south-west
    double v01 = 0.0; // (i, j + 1): north-west
    double v10 = 0.0; // (i + 1, j): south-east
    double v11 = 0.0; // (i + 1, j + 1): north-east
    int south = 0;
    int west = 0;
    int north = 0;
    int east = 0;
};

// Reads geoid heights from the published ASCII geoid grid: rows every 60" of latitude from 20
// degrees north, columns every 90" of longitude from 120 degrees east, each row 43 lines of 28
// values of 9 characters, 999 for no data. The header is 254 bytes and each line 254 bytes, or
// 259 and 253 when the version field (bytes 52 to 59) is "ver2    ". One file is open at a time.
//
// Error codes: 0 none, 2 the file cannot be opened, 3 no file is open, 4 a header or value
// cannot be read (or is not a number), 5 the position is outside the grid (also on its north and
// east edges, whose cells lie beyond the last row and column), 6 a corner has no data.
class GeoidGridReader {
  public:
    // Grid extent and steps, arc seconds.
    static constexpr double kSouth = 72000.0;
    static constexpr double kNorth = 180000.0;
    static constexpr double kWest = 432000.0;
    static constexpr double kEast = 540000.0;
    static constexpr double kLatStep = 60.0;
    static constexpr double kLonStep = 90.0;
    static constexpr double kNoData = 999.0;

    GeoidGridReader() = default;
    GeoidGridReader(const GeoidGridReader &) = delete;
    GeoidGridReader &operator=(const GeoidGridReader &) = delete;

    // 1 when the file is open and its header read, else 0; an open file is closed first.
    int GeoidOpen(const CString &path);
    int GeoidClose();
    int GeoidGetError() const { return m_nError; }
    // The value of column i and row j: 1, or 0 with *value 999 when it cannot be read or the
    // column or row lies outside the grid.
    int GeoidReadValue(int i, int j, double *value);
    // The geoid height at latitude and longitude (radians) by bilinear interpolation of the
    // cell's corners: 1, or 0 with *height 0. The cell, when given, gets the corners read.
    int GeoidGetHeight(double lat, double lon, double *height, GeoidCell *cell);
    // e (1 - f) v01 + (1 - e)(1 - f) v00 + f (1 - e) v10 + f e v11 with e = dLat / latStep and
    // f = dLon / lonStep.
    static double GeoidBilinear(double dLon, double dLat, double lonStep, double latStep,
                                const GeoidCell &cell);

  private:
    CFile m_file;
    int m_nHeaderLength = 254;
    int m_nLineLength = 254;
    int m_nError = 0;
    char m_version[9] = {};
    CString m_path;
};
