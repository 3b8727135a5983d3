#include "tests/support/ProjectDump.h"

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Path.h"
#include "tests/support/TempFolder.h"
#include "veltrane/database/Veltrane.h"

#include <sstream>
#include <vector>

namespace testsupport {

namespace {

void dump(std::ostream &s, const Coordinate &c) {
    s << c.GetX() << ' ' << c.GetY() << ' ' << c.GetH() << ' ' << c.IsValid() << ' ' << c.GetB()
      << ' ' << c.GetL() << '\n';
}

} // namespace

std::string ProjectDump(Veltrane &db, const CString &path) {
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        EXPECT_TRUE(db.Write(ar));
        ar.Close();
        file.Close();
    }
    std::string native;
    EXPECT_TRUE(Path::ToNative(path, native));
    std::ostringstream s;
    s.precision(17);
    s << ReadFileBytes(native) << '\n';

    std::vector<const CrdCnvPrmTbl *> tables{db.GetCrdCnvPrmTbl()};
    std::vector<unsigned> blocks{0};
    for (unsigned i = 0; i < db.GetBlockCount(); ++i) {
        const CrdTrnsBlock *block = db.GetCrdTrnsBlockTbl()->GetBlock(i, false);
        tables.push_back(block->GetCrdCnvPrmTbl());
        blocks.push_back(block->GetNo());
    }
    for (const Point *p : db) {
        s << p->GetName().Bytes() << ' ' << p->GetUseForCalc() << '\n';
        for (const Coordinate &c :
             {p->GetTokyoDatum(), p->GetObservedITRF(), p->GetCrdTky3Prm(), p->GetKnownJGD2K()})
            dump(s, c);
        for (unsigned no : blocks) {
            s << no << ' ' << p->GetCrdCnvStat(no) << '\n';
            for (const Coordinate &c : {p->GetJGD2000(no), p->GetCrdTrndJGD2K(no),
                                        p->GetAdjTrndJGD2K(no), p->GetAdjustedJGD2K(no)})
                dump(s, c);
        }
    }
    const Coordinate probe(-31000, -8000, 20, true, 0, false);
    for (const CrdCnvPrmTbl *t : tables) {
        s << t->IsCrdCnvCompleted() << t->IsAdjustClcCompleted() << t->GetCoordCnvKind()
          << t->GetCoordCnvOption().m_nFlag << '\n';
        for (PRECISION_CHECK_ID id : {PrecChkCnvPrec, PrecChkChkObs, PrecChkAdjCnvPrec})
            s << t->GetPrecChkTable(id)->size() << ' ' << t->GetPrecChkTable(id)->GetDiffAverageS()
              << '\n';
        for (const CoordConvParam *e :
             {t->GetSelectedCoordConvParamForAdjust(), t->GetCoordConvParam(CrdCnvHelmert),
              t->GetCoordConvParam(CrdCnvAffine2), t->GetCoordConvParam(CrdCnvHelmert3),
              t->GetCoordConvParam(CrdCnvParaTrans2)}) {
            Coordinate out;
            if (e && e->Transform(probe, &out, nullptr)) {
                const CoordCnvOption o = e->GetCoordCnvOption();
                s << out.GetX() << ' ' << out.GetY() << ' ' << o.m_nFlag << o.m_fResidualInterp
                  << o.m_fDatumShift;
            }
            s << (e != nullptr) << '\n';
        }
    }
    return s.str();
}

} // namespace testsupport
