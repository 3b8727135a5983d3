#include "exchange/Dorrimet/Coordinate.h"

#include "exchange/Dorrimet/PlaneArea.h"
#include "kernels/Brennic/JGDRoundMode.h"
#include "kernels/Lunmarg/AngleFunctions.h"
#include "platform/core/CArchive.h"
#include "platform/core/CException.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

CString archiveFileName(const CArchive &ar) {
    const CFile *file = ar.GetFile();
    return file ? file->GetFilePath() : CString();
}

CString formatNumber(double value, int decimals) {
    CString text;
    text.Format("%11.*lf", decimals, value);
    return text;
}

} // namespace

Coordinate::Coordinate() = default;

Coordinate::Coordinate(double x, double y, double h, bool hUsed, double n, bool nUsed)
    : X(x), Y(y), H(h), hUsed(hUsed), N(n), nUsed(nUsed), valid(true) {}

Coordinate::~Coordinate() = default;

void Coordinate::SetXYH(double x, double y, double h, bool used) {
    X = x;
    Y = y;
    H = h;
    hUsed = used;
}

double Coordinate::GetElpsH() const {
    if (!hUsed)
        return 0.0;
    return nUsed ? H + N : H;
}

void Coordinate::CalcBL(const PlaneArea *zone) {
    if (zone)
        zone->XYtoBL(X, Y, &B, &L);
}

void Coordinate::CalcBL(const PlaneArea *zone, const JGDRoundMode &mode) {
    if (zone)
        zone->XYtoBL(mode.rround(X), mode.rround(Y), &B, &L);
}

CString Coordinate::GetStrX(int decimals) const { return formatNumber(X, decimals); }
CString Coordinate::GetStrY(int decimals) const { return formatNumber(Y, decimals); }
CString Coordinate::GetStrH(int decimals) const { return formatNumber(H, decimals); }
CString Coordinate::GetStrN(int decimals) const { return formatNumber(N, decimals); }

CString Coordinate::GetStrB(int decimals, CrdFmtStyle style) const {
    return GetDMSStr(B, decimals, style);
}

CString Coordinate::GetStrL(int decimals, CrdFmtStyle style) const {
    return GetDMSStr(L, decimals, style);
}

CString Coordinate::GetDMSStr(double radians, int decimals, CrdFmtStyle style) {
    if (!std::isfinite(radians))
        return CString();
    decimals = std::clamp(decimals, 0, 15);

    int deg = 0;
    int min = 0;
    double sec = 0.0;
    const double packed = RadToDMS3(radians, &deg, &min, &sec, 7);
    long long absDeg = std::llabs(static_cast<long long>(deg));

    // The seconds as they will print: a value that prints as 60 carries.
    CString secText;
    secText.Format("%.*lf", decimals, sec);
    double shown = sec;
    ParseDouble(secText.Bytes(), shown);
    if (shown >= 60.0) {
        sec = shown = 0.0;
        if (++min > 59) {
            min -= 60;
            ++absDeg;
        }
    }

    const bool negative = packed < 0.0 && (absDeg != 0 || min != 0 || shown != 0.0);
    CString degText;
    degText.Format(negative ? "-%lld" : "%lld", absDeg);

    const char sep = (static_cast<int>(style) & 1) ? '-' : ' ';
    // Below 10 seconds a literal "0" stands before a field one column narrower.
    // Without decimals there is no point to leave room for.
    CString text;
    if (shown >= 10.0)
        text.Format("%3s%c%02d%c%*.*lf", degText.GetString(), sep, min, sep,
                    decimals > 0 ? decimals + 3 : 2, decimals, sec);
    else
        text.Format("%3s%c%02d%c0%*.*lf", degText.GetString(), sep, min, sep,
                    decimals > 0 ? decimals + 2 : 1, decimals, sec);
    return text;
}

bool Coordinate::Write(CArchive &ar) const {
    if (ar.IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly, archiveFileName(ar));
    ar << X << Y << H << static_cast<std::int32_t>(hUsed ? 1 : 0)
       << static_cast<std::int32_t>(valid ? 1 : 0);
    return true;
}

bool Coordinate::Read(CArchive &ar) {
    if (ar.IsStoring())
        AfxThrowArchiveException(CArchiveException::writeOnly, archiveFileName(ar));
    // Read the whole record before changing anything.
    double x = 0.0;
    double y = 0.0;
    double h = 0.0;
    std::int32_t used = 0;
    std::int32_t isValid = 0;
    ar >> x >> y >> h >> used >> isValid;
    X = x;
    Y = y;
    H = h;
    hUsed = used != 0;
    valid = isValid != 0;
    return true;
}
