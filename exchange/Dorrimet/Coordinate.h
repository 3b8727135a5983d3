#pragma once

#include "platform/core/CString.h"

class CArchive;
class JGDRoundMode;
class PlaneArea;

// How GetDMSStr separates degrees, minutes and seconds, read as bits: bit 0 set
// chooses hyphens, clear chooses blanks.
enum CrdFmtStyle : int {
    CrdFmtBlank = 0,
    CrdFmtHyphen = 1,
};

// One survey point's position: latitude and longitude in radians (derived from
// the plane values through a zone), plane-rectangular X (northing) and Y
// (easting), a height and a geoid height in metres, each with a used flag, and a
// valid flag.
class Coordinate {
  public:
    // Every number 0, every flag false.
    Coordinate();
    // B and L 0; valid.
    Coordinate(double x, double y, double h, bool hUsed, double n, bool nUsed);
    Coordinate(const Coordinate &other) = default;
    Coordinate &operator=(const Coordinate &other) = default;
    virtual ~Coordinate();

    void SetB(double b) { B = b; }
    void SetL(double l) { L = l; }
    void SetBL(double b, double l) {
        B = b;
        L = l;
    }
    double GetB() const { return B; }
    double GetL() const { return L; }

    void SetX(double x) { X = x; }
    void SetY(double y) { Y = y; }
    void SetH(double h) { H = h; }
    // Leaves the valid flag as it is.
    void SetXYH(double x, double y, double h, bool used);
    double GetX() const { return X; }
    double GetY() const { return Y; }
    double GetH() const { return H; }
    bool IsHUsed() const { return hUsed; }

    void SetN(double n) { N = n; }
    void SetNUsed(bool used) { nUsed = used; }
    double GetN() const { return N; }
    bool IsNUsed() const { return nUsed; }

    void SetValid(bool v) { valid = v; }
    bool IsValid() const { return valid; }

    // Ellipsoidal height: 0 without a height, H without a geoid height, else H + N.
    double GetElpsH() const;

    // B and L from X and Y by the zone's inverse projection; a null zone changes
    // nothing.
    void CalcBL(const PlaneArea *zone);
    // As above from X and Y rounded by the mode; the stored X and Y stay as they are.
    void CalcBL(const PlaneArea *zone, const JGDRoundMode &mode);

    // "%11.*lf" with the given decimals.
    CString GetStrX(int decimals) const;
    CString GetStrY(int decimals) const;
    CString GetStrH(int decimals) const;
    CString GetStrN(int decimals) const;
    CString GetStrB(int decimals, CrdFmtStyle style) const;
    CString GetStrL(int decimals, CrdFmtStyle style) const;

    // Degrees, minutes and seconds of an angle in radians, as "%3d %02d %*.*lf"
    // (hyphens for blanks with CrdFmtHyphen) with the seconds two digits wide
    // before the point: " 35 07 05.25". The seconds are rounded at the decimals
    // printed and carried into the minutes and degrees, so "60" never shows. A
    // negative angle has its "-" right before the degree digits, in the 3
    // columns of the degrees as "%3d" puts it: "-35 30 00.00", " -0 30 00.00"
    // for minus half a degree; an angle that prints as all zeros has no sign.
    // Negative decimals count as 0, more than 15 as 15. A NaN or infinite angle
    // gives an empty text.
    static CString GetDMSStr(double radians, int decimals, CrdFmtStyle style);

    // Record of 32 bytes: X, Y, H as doubles, then hUsed and valid as int32 0/1.
    // Write on a loading archive throws CArchiveException::readOnly, Read on a
    // storing one CArchiveException::writeOnly; a short file throws the
    // archive's endOfFile and leaves the coordinate unchanged. Read reads any
    // non-zero flag as true and leaves B, L, N and nUsed as they were. Both
    // answer true.
    bool Write(CArchive &ar) const;
    bool Read(CArchive &ar);

  private:
    double B = 0.0;
    double L = 0.0;
    double X = 0.0;
    double Y = 0.0;
    double H = 0.0;
    bool hUsed = false;
    double N = 0.0;
    bool nUsed = false;
    bool valid = false;
};
