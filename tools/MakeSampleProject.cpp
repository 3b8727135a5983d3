// Builds the sample project that the desktop program opens: the basis and check points of the
// reference survey area in plane system 9, converted with the centroid translation, written as a
// project file.
//
//   MakeSampleProject OUTPUT.zub
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Path.h"
#include "tests/support/SurveyData.h"
#include "veltrane/database/Veltrane.h"

#include <cstdio>
#include <exception>
#include <vector>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeSampleProject OUTPUT.zub\n");
        return 2;
    }
    try {
        std::vector<testsupport::SurveyPoint> marks;
        for (const testsupport::SurveyPoint &m : testsupport::SurveyZone9())
            if (m.kind != "target")
                marks.push_back(m);
        Veltrane db;
        testsupport::AddSurveyPoints(db, marks);
        db.SetCoordCnvKind(CrdCnvParaTrans2);
        if (!db.PrepareCoordConv(db.GetCoordCnvOption(), nullptr) ||
            !db.CoordConvExecute(CrdCnvParaTrans2, nullptr)) {
            std::fprintf(stderr, "MakeSampleProject: the conversion failed\n");
            return 1;
        }
        CFile file(Path::FromNative(argv[1]), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        if (!db.Write(ar)) {
            std::fprintf(stderr, "MakeSampleProject: the project could not be written\n");
            return 1;
        }
        ar.Close();
        file.Close();
    } catch (const CException &e) {
        std::fprintf(stderr, "MakeSampleProject: %s\n", ToUtf8(e.GetErrorMessage()).c_str());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "MakeSampleProject: %s\n", e.what());
        return 1;
    }
    return 0;
}
