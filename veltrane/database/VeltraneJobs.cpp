#include "kernels/Lunmarg/Angle.h"
#include "kernels/Lunmarg/ProgressMsgBase.h"
#include "ombresk/OmbreskMngr.h"
#include "platform/core/CFile.h"
#include "platform/core/Path.h"
#include "platform/core/PendingFiles.h"
#include "platform/core/Prompt.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/T2JErrIdxDB.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The national extent of the error-index walk in arc-seconds: tile rows start from 72000 (20 N)
// while below 165601, tiles in a row from 439200 (122 E) while below 554401.
constexpr int kFirstLatSec = 72000;
constexpr int kLatLimitSec = 165601;
constexpr int kFirstLonSec = 439200;
constexpr int kLonLimitSec = 554401;
// Progress runs from 0 at the first row to 100 at the last.
constexpr int kLatSpanSec = 93600;

// Third-level squares and the semi-dynamic cells, in arc-seconds.
constexpr int kLatStep = 30;
constexpr int kLonStep = 45;
constexpr int kSemiLatStep = 150;
constexpr int kSemiLonStep = 225;

// Tiles of the whole-area files: first-level and second-level meshes.
constexpr int kTile1Lat = 2400;
constexpr int kTile1Lon = 3600;
constexpr int kTile2Lat = 300;
constexpr int kTile2Lon = 450;

bool gridReady(const OmbreskMngr *grid) { return grid != nullptr && grid->IsDataReady(); }

// Writes the tile's table as an EDX file named after its first mesh, to be put in place with the
// rest of the run; true when no folder is given.
bool writeTile(const T2JErrIdxTbl &table, const CString &folder, bool twoLevelName, bool subfolders,
               PendingFiles &pending) {
    if (folder.IsEmpty())
        return true;
    const JMeshCode &first = table.GetData(0)->GetMeshCode();
    CString name;
    if (twoLevelName)
        name.Format("%04d-%02d.edx", first.GetCode1(), first.GetCode2());
    else
        name.Format("%04d.edx", first.GetCode1());
    CString dir = folder;
    if (subfolders) {
        CString sub;
        sub.Format("%04d", first.GetCode1());
        dir = Path::Join(folder, sub);
        if (!pending.CreateFolder(dir))
            return false;
    }
    return table.WriteEDXFile(Path::Join(dir, name), &pending);
}

// Puts the files of a whole run in place; false, with the file and the reason told, when one
// cannot be (the folder then stays as it was). Files in place that the disk did not confirm
// are told too, and the run has made them.
bool commit(PendingFiles &pending) {
    try {
        pending.Commit();
    } catch (const CFileException &e) {
        CString message;
        if (e.m_bInPlace)
            message = e.GetErrorMessage();
        else
            message.Format("EDXファイルを書き込めませんでした。\n%s",
                           e.GetErrorMessage().GetString());
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
        return e.m_bInPlace;
    }
    return true;
}

// Whole arc-seconds of an angle in radians, truncated; false when it is not a number the walk
// can take.
bool wholeSeconds(double radians, int *seconds) {
    const double sec = radians * Angle::m_RI;
    if (!std::isfinite(sec) || sec < 0.0 || sec > 360.0 * 3600.0)
        return false;
    *seconds = static_cast<int>(sec);
    return true;
}

} // namespace

CString Veltrane::GetCnvPrmFilePath(const CString &programFolder) const {
    const CString folder =
        m_cnvPrmDir.IsEmpty() ? programFolder : Path::Join(programFolder, m_cnvPrmDir);
    return Path::Join(folder, m_cnvPrmFile);
}

bool Veltrane::doT2JCalcConvErrIdx_sub(const CString &folder, const OmbreskMngr *grid,
                                       ProgressMsgBase *progress, bool twoLevelName, int tileLat,
                                       int tileLon, bool subfolders, bool semiDynamic,
                                       T2JErrIdxDB *target, PendingFiles &pending) const {
    if (progress)
        progress->ProgressStart(PROGRESS_KIND(2), 100);
    const int latStep = semiDynamic ? kSemiLatStep : kLatStep;
    const int lonStep = semiDynamic ? kSemiLonStep : kLonStep;
    for (int lat0 = kFirstLatSec; lat0 < kLatLimitSec; lat0 += tileLat) {
        for (int lon0 = kFirstLonSec; lon0 < kLonLimitSec; lon0 += tileLon) {
            auto table = std::make_unique<T2JErrIdxTbl>();
            table->SetT2JVerStr(grid->GetFileVerStr1());
            for (int lat = lat0; lat < lat0 + tileLat; lat += latStep) {
                for (int lon = lon0; lon < lon0 + tileLon; lon += lonStep) {
                    const JMeshCode code = JMeshCode::CreateMeshCode(lat, lon, 2);
                    double index = 0.0;
                    double sum = 0.0;
                    if (semiDynamic ? grid->CalcSemiDynErrIndex(code, &index, &sum)
                                    : grid->CalcCnvErrIndex(code, &index, &sum))
                        table->Append(T2JErrIdx(code, index, sum));
                }
            }
            if (table->GetSize() == 0)
                continue;
            // A file that cannot be written ends the run: the caller must not take the
            // files for made.
            if (!writeTile(*table, folder, twoLevelName, subfolders, pending)) {
                if (progress)
                    progress->ProgressEnd();
                return false;
            }
            if (target)
                target->Append(table.release());
        }
        if (progress && !progress->Progress((lat0 - kFirstLatSec) * 100 / kLatSpanSec)) {
            progress->ProgressEnd();
            return false;
        }
    }
    const PlaneArea *zone = GetCurrentPlaneArea(false);
    if (target && zone) {
        target->SetFileType(grid->GetCnvPrmData()->GetFileType());
        target->CalcAllPntXY(zone->GetProjection());
    }
    if (progress)
        progress->ProgressEnd();
    return true;
}

bool Veltrane::T2JCalcConvErrIdx(const CString &folder, const OmbreskMngr *grid,
                                 T2JErrIdxDB *target, ProgressMsgBase *progress, bool wholeArea,
                                 int fileKind) const {
    if (!gridReady(grid))
        return false;
    if (target)
        target->AllRemoveErrIdxTbl();
    if (wholeArea) {
        // All the files or none: a run that stops discards what it wrote.
        PendingFiles pending;
        bool done = false;
        switch (fileKind) {
        case 0:
            done = doT2JCalcConvErrIdx_sub(folder, grid, progress, false, kTile1Lat, kTile1Lon,
                                           false, false, nullptr, pending);
            break;
        case 1:
            done = doT2JCalcConvErrIdx_sub(folder, grid, progress, true, kTile2Lat, kTile2Lon,
                                           false, false, nullptr, pending);
            break;
        case 2:
            done = doT2JCalcConvErrIdx_sub(folder, grid, progress, false, kTile1Lat, kTile1Lon,
                                           true, false, nullptr, pending) &&
                   doT2JCalcConvErrIdx_sub(folder, grid, progress, true, kTile2Lat, kTile2Lon, true,
                                           false, nullptr, pending);
            break;
        default:
            break;
        }
        return done && commit(pending);
    }

    // The squares around the project's points.
    const PlaneArea *zone = GetCurrentPlaneArea(false);
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
    if (zone == nullptr || !GetMinMax(&minX, &minY, &maxX, &maxY, CrdKindTokyo))
        return false;
    double b1 = 0.0, l1 = 0.0, b2 = 0.0, l2 = 0.0;
    int lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
    if (!zone->XYtoBL(minX, minY, &b1, &l1) || !zone->XYtoBL(maxX, maxY, &b2, &l2) ||
        !wholeSeconds(b1, &lat1) || !wholeSeconds(l1, &lon1) || !wholeSeconds(b2, &lat2) ||
        !wholeSeconds(l2, &lon2))
        return false;
    // From the square at or below the smallest angle to the one above the largest; no square
    // outside the national extent has an index, so the walk keeps within it.
    const int latFirst = std::max(std::min(lat1, lat2) / kLatStep * kLatStep, kFirstLatSec);
    const int latLast =
        std::min((std::max(lat1, lat2) / kLatStep + 1) * kLatStep, kLatLimitSec + kTile1Lat);
    const int lonFirst = std::max(std::min(lon1, lon2) / kLonStep * kLonStep, kFirstLonSec);
    const int lonLast =
        std::min((std::max(lon1, lon2) / kLonStep + 1) * kLonStep, kLonLimitSec + kTile1Lon);

    auto table = std::make_unique<T2JErrIdxTbl>();
    table->SetT2JVerStr(grid->GetFileVerStr1());
    for (int lat = latFirst; lat <= latLast; lat += kLatStep) {
        for (int lon = lonFirst; lon <= lonLast; lon += kLonStep) {
            const JMeshCode code = JMeshCode::CreateMeshCode(lat, lon, 2);
            double index = 0.0;
            double sum = 0.0;
            if (grid->CalcCnvErrIndex(code, &index, &sum))
                table->Append(T2JErrIdx(code, index, sum));
        }
    }
    if (target)
        target->Append(table.release());
    return true;
}

bool Veltrane::CalcSemiDynErrIdx(const CString &folder, const OmbreskMngr *grid,
                                 T2JErrIdxDB *target, ProgressMsgBase *progress) const {
    if (!gridReady(grid))
        return false;
    if (target)
        target->AllRemoveErrIdxTbl();
    PendingFiles pending;
    return doT2JCalcConvErrIdx_sub(folder, grid, progress, false, kTile1Lat, kTile1Lon, true, true,
                                   target, pending) &&
           commit(pending);
}

bool Veltrane::CalcSemiDynErrIdx(const OmbreskMngr *grid, T2JErrIdxDB *target,
                                 ProgressMsgBase *progress) const {
    return CalcSemiDynErrIdx(CString(), grid, target, progress);
}
