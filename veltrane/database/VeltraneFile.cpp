#include "veltrane/database/DatabaseVersion.h"
#include "veltrane/database/Veltrane.h"

#include "platform/core/CArchive.h"
#include "platform/core/CException.h"
#include "veltrane/model/ArchiveFields.h"

#include <cstring>
#include <new>

namespace {

constexpr std::size_t kTitleSize = 64;
constexpr char kTitle[] = "KARNOLIT DB";
constexpr char kOldTitle[] = "DOLVANE DB";

// The version a stored title and version stand for; 0 for a file that is not a project.
unsigned long checkHeaderAndConvertVerNo(const char (&title)[kTitleSize], std::uint32_t stored) {
    if (std::memcmp(title, kOldTitle, sizeof kOldTitle) == 0) // the terminating zero counts
        return stored == 100 ? 1 : stored == 200 ? 2 : stored;
    if (std::memcmp(title, kTitle, sizeof kTitle) == 0)
        return stored;
    return 0;
}

// The smallest point record of a version: name, four numbers, three (five) coordinates, the
// block count and the names.
std::uint64_t minimumPointRecord(unsigned long version) {
    return 1 + 4 * 4 + (version > 99 ? 5 : 3) * 32 + 4 + 1 + (version > 99 ? 1 : 0);
}

} // namespace

bool Veltrane::IsValidVersion(unsigned long version) { return ::IsValidVersion(version); }

bool Veltrane::Write(CArchive &ar) {
    char title[kTitleSize] = {};
    std::memcpy(title, kTitle, sizeof kTitle);
    ar.Write(title, kTitleSize);
    ar << static_cast<std::uint32_t>(kDatabaseVersion);
    MakeTmpIdxMap(); // later records name points by their position

    WriteInt(ar, static_cast<int>(size()));
    for (const Point *p : *this)
        p->Write(ar);
    const PrecisionChkTable *basis = m_prmTbl.GetPrecChkTable(PrecChkCnvPrec);
    const PrecisionChkTable *check = m_prmTbl.GetPrecChkTable(PrecChkChkObs);
    if (basis == nullptr || check == nullptr)
        return false;
    basis->Write2(ar);
    check->Write2(ar);

    m_drawSw.Write(ar);
    m_zukakuCond.Write(ar);
    WriteFlag(ar, m_fCompleted);
    WriteInt(ar, m_curTab);
    WriteInt(ar, m_curPrec);
    WriteInt(ar, m_curRightView);
    WriteInt(ar, m_curITRFKind);
    WriteInt(ar, GetCoordCnvKind());
    WriteInt(ar, m_planeNo);
    ar << m_cnvPrmFile << m_cnvPrmDir;
    WriteCoordCnvOption(ar, GetCoordCnvOption());
    WriteInt(ar, m_limitSw);
    m_prtItemInfo.Write(ar);
    m_precMngTable.Write(this, ar);
    ar << m_cnvPrmVer;
    m_blocks.Write(this, ar);
    WriteInt(ar, m_targetKind);
    m_fileJobs.Write(ar);
    m_datCond.Write(ar);
    m_lots.Write(this, ar);
    WriteFlag(ar, m_fAdjustValid);
    WriteInt(ar, m_curRsltCrd);
    return true;
}

JDDbReadRetCode Veltrane::Read(CArchive &ar, bool keepKind) {
    Initialize(keepKind);
    char title[kTitleSize];
    std::uint32_t stored = 0;
    if (ar.Read(title, kTitleSize) != kTitleSize ||
        ar.Read(&stored, sizeof stored) != sizeof stored)
        return DbReadShort;
    const unsigned long version = checkHeaderAndConvertVerNo(title, stored);
    if (!IsValidVersion(version))
        return DbReadNotProject;
    try {
        readRecords(ar, version);
    } catch (const CException &) {
        Initialize(keepKind); // a damaged file leaves an empty project, never half of one
        return DbReadShort;
    } catch (const std::bad_alloc &) {
        Initialize(keepKind);
        return DbReadShort;
    }

    calcAllPointBL();
    ClearTmpVector();
    MakeTmpIdxMap();
    // The fitted parameters are not stored: fit them again and convert with the stored kind.
    const CoordCnvKind kind = GetCoordCnvKind();
    if (PrepareCoordConv(GetCoordCnvOption(), nullptr)) {
        const CoordConvParam *engine = GetCoordConvParam(kind);
        if (engine && engine->IsCalced())
            CoordConvExecute(kind, nullptr);
    }
    return DbReadLoaded;
}

void Veltrane::readRecords(CArchive &ar, unsigned long version) {
    auto damaged = [&ar] {
        AfxThrowArchiveException(CArchiveException::badIndex, ar.GetFile()->GetFilePath());
    };
    const std::int32_t count = ReadInt(ar); // a project always goes on past its header
    if (count < 0)
        damaged();
    ar.CheckRemaining(static_cast<std::uint64_t>(count), minimumPointRecord(version));
    for (std::int32_t i = 1; i <= count; ++i) {
        Point p(static_cast<unsigned>(i));
        p.Read(ar, version);
        if (Append(p) == nullptr)
            throw std::bad_alloc();
    }
    MakeTmpVector(); // records below name points by their position

    PrecisionChkTable *basis = m_prmTbl.GetPrecChkTable(PrecChkCnvPrec);
    PrecisionChkTable *check = m_prmTbl.GetPrecChkTable(PrecChkChkObs);
    if (version >= 102) {
        basis->Read2(ar);
        check->Read2(ar);
    } else {
        basis->Read(ar);
        check->Read(ar);
    }
    m_drawSw.Read(ar, version);
    m_zukakuCond.Read(ar, version);
    const bool completed = ReadFlag(ar);
    const int tab = ReadInt(ar);
    const int prec = ReadInt(ar);
    const int rightView = ReadInt(ar);
    const int itrf = ReadInt(ar);
    const int kind = ReadInt(ar);
    const int planeNo = ReadInt(ar);
    if (m_oldZones.GetAreaFromNo(planeNo) == nullptr)
        damaged(); // no plane system 1 to 19
    ar >> m_cnvPrmFile >> m_cnvPrmDir;
    SetCoordCnvOption(ReadCoordCnvOption(ar));

    m_limitSw = ReadInt(ar);
    m_prtItemInfo.Read(ar, version);
    if (!m_precMngTable.Read(this, ar, version))
        damaged();
    ar >> m_cnvPrmVer;
    m_fCompleted = completed;
    m_curTab = static_cast<TABID>(tab);
    m_curPrec = static_cast<PRECISION_CHECK_ID>(prec);
    m_curRightView = static_cast<ViewID>(rightView);
    m_curITRFKind = itrf;
    SetCoordCnvKind(static_cast<CoordCnvKind>(kind));
    m_planeNo = planeNo;

    if (!m_blocks.Read(this, ar, version))
        damaged();
    m_targetKind = static_cast<JGDTargetCrdKind>(ReadInt(ar));
    if (!m_fileJobs.Read(ar, version))
        damaged();
    m_datCond.Read(ar, version);
    if (!m_lots.Read(this, ar, version))
        damaged();
    if (version >= 100) {
        m_fAdjustValid = ReadFlag(ar);
        const int rslt = ReadInt(ar);
        SetCurrentRsltCrd(static_cast<CoordinateKind>(rslt));
    }
}
