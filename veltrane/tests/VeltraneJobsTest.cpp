#include "veltrane/database/Veltrane.h"

#include "kernels/Grisveld/TransMercator.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/OmbreskMngr.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/GridParFile.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/SystemCallFaults.h"
#include "veltrane/model/T2JErrIdxDB.h"
#include "veltrane/tests/ErrIdxFixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::GridNode;
using testsupport::MeshCode8;
using testsupport::RecordingProgress;

// A small grid with answers in a few tiles of the national walk, each square's node and its
// north and east neighbours present:
//   mesh 5339, four squares at its south-west corner (nodes 3 x 3);
//   mesh 5239, one square at its north-east corner whose neighbours lie in 5339 and 5240;
//   the first tile of the walk (3022) and the last (6954), one square each;
//   a square in the row after the last (7054) and one in the column after it (6955): outside.
std::vector<GridNode> smallGrid() {
    std::vector<GridNode> nodes;
    auto square = [&nodes](int lat, int lon) {
        for (const auto &[dLat, dLon] : {std::pair{0, 0}, {30, 0}, {0, 45}})
            nodes.push_back({lat + dLat, lon + dLon, 0.01 * (lat % 7), -0.02 * (lon % 5), 0.0});
    };
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            nodes.push_back({127200 + 30 * i, 500400 + 45 * j, 1.0 + 0.125 * i - 0.0625 * j,
                             -2.0 + 0.25 * j, 0.0});
    square(127170, 503955);
    square(72000, 439200);
    square(165600, 554400);
    square(168000, 554400);
    square(165600, 558000);
    return nodes;
}

class VeltraneJobsTest : public ErrIdxTest {
  protected:
    void SetUp() override {
        ErrIdxTest::SetUp();
        testsupport::WriteParFile(m_dir / "grid.par", "JGD2000-TokyoDatum Ver.2.1.1", 1,
                                  smallGrid(), false);
        ASSERT_EQ(m_grid.ReadCnvPrmData(path("grid.par"), nullptr), CNVPRM_READ_SUCCESS);
        fs::create_directory(m_dir / "edx");
        ASSERT_TRUE(m_db.SetCurrentPlaneArea(9));
    }

    // The files under the EDX folder, relative to it.
    std::set<std::string> edxFiles() const {
        std::set<std::string> files;
        for (const auto &e : fs::recursive_directory_iterator(m_dir / "edx"))
            if (e.is_regular_file())
                files.insert(fs::relative(e.path(), m_dir / "edx").string());
        return files;
    }
    // The meshes of an EDX file, each checked against the grid's own index of its square.
    std::vector<std::string> meshesOf(const char *file) const {
        T2JErrIdxTbl table;
        EXPECT_TRUE(table.ReadEDXFile(path(file), true)) << file;
        EXPECT_EQ(table.GetT2JVerStr(), m_grid.GetFileVerStr1());
        std::vector<std::string> codes;
        for (unsigned i = 0; i < table.GetSize(); ++i)
            codes.push_back(expectIndexOfGrid(*table.GetData(i), 0.005));
        return codes;
    }
    std::string expectIndexOfGrid(const T2JErrIdx &index, double tolerance) const {
        double gamma = 0, delta = 0;
        EXPECT_TRUE(m_grid.CalcCnvErrIndex(index.GetMeshCode(), &gamma, &delta));
        EXPECT_NEAR(index.GetGamma(), gamma, tolerance);
        EXPECT_NEAR(index.GetDelta(), delta, tolerance);
        return index.GetMeshCode().GetCodeStr().Bytes();
    }

    const double m_b0 = 36.0 * 3600.0 / Angle::m_RI;
    const double m_l0 = (139.0 * 3600.0 + 50.0 * 60.0) / Angle::m_RI;
    const EarthEllips m_grs80{6378137.0, 298.257222101};
    const TransMercator m_oldTM{&m_bessel, m_b0, m_l0, 0.9999, 0.0, 0.0};
    const TransMercator m_newTM{&m_grs80, m_b0, m_l0, 0.9999, 0.0, 0.0};
    OmbreskMngr m_grid{&m_oldTM, &m_newTM};
    Veltrane m_db;
};

const std::vector<std::string> kCorner5339 = {"53390000", "53390001", "53390010", "53390011"};

TEST_F(VeltraneJobsTest, WholeAreaWalksFortyRowsOfThirtyThreeTiles) {
    RecordingProgress progress;
    T2JErrIdxDB target;
    target.Append(new T2JErrIdxTbl);
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, &target, &progress, true, 0));
    EXPECT_EQ(target.GetErrIdxTbl(), nullptr); // emptied, and not filled

    EXPECT_EQ(edxFiles(), (std::set<std::string>{"3022.edx", "5239.edx", "5339.edx", "6954.edx"}));
    EXPECT_EQ(meshesOf("edx/5339.edx"), kCorner5339);
    EXPECT_EQ(meshesOf("edx/5239.edx"), std::vector<std::string>{MeshCode8(127170, 503955)});
    EXPECT_EQ(meshesOf("edx/6954.edx"), std::vector<std::string>{MeshCode8(165600, 554400)});

    // One report a row, from the row's latitude: 0 for the first, 100 for the last.
    ASSERT_EQ(progress.log.size(), 42u);
    EXPECT_EQ(progress.log.front(), "start kind 2 100");
    EXPECT_EQ(progress.log[1], "progress 0");
    EXPECT_EQ(progress.log[2], "progress 2"); // 2400 of 93600
    EXPECT_EQ(progress.log[40], "progress 100");
    EXPECT_EQ(progress.log.back(), "end");

    // Without a progress display the same files come.
    fs::remove_all(m_dir / "edx");
    fs::create_directory(m_dir / "edx");
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, nullptr, true, 0));
    EXPECT_EQ(edxFiles().size(), 4u);
}

TEST_F(VeltraneJobsTest, SecondLevelFilesAndSubfolders) {
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, nullptr, true, 1));
    EXPECT_EQ(edxFiles(),
              (std::set<std::string>{"3022-00.edx", "5239-77.edx", "5339-00.edx", "6954-00.edx"}));
    EXPECT_EQ(meshesOf("edx/5339-00.edx"), kCorner5339);

    fs::remove_all(m_dir / "edx");
    fs::create_directory(m_dir / "edx");
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, nullptr, true, 2));
    EXPECT_EQ(edxFiles(),
              (std::set<std::string>{"3022/3022.edx", "3022/3022-00.edx", "5239/5239.edx",
                                     "5239/5239-77.edx", "5339/5339.edx", "5339/5339-00.edx",
                                     "6954/6954.edx", "6954/6954-00.edx"}));
}

TEST_F(VeltraneJobsTest, CancelAndFailuresEndTheWalkWithFalseAndLeaveTheFolderAsItWas) {
    // The files of an earlier run, one of them older.
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, nullptr, true, 0));
    put("older\r\n", "edx/5339.edx");
    const auto before = testsupport::FolderSnapshot(m_dir / "edx");

    // Cancelled in the first walk, and in the second one of the files with subfolders.
    for (const int at : {3, 41}) {
        RecordingProgress progress;
        progress.cancelAtProgress = at;
        EXPECT_FALSE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, &progress, true, 2));
        EXPECT_EQ(progress.progressCalls, at);
        EXPECT_EQ(progress.log.back(), "end");
        EXPECT_EQ(testsupport::FolderSnapshot(m_dir / "edx"), before) << at;
    }

    // A folder that fills after two files were written: they are withdrawn, none is cut.
    fs::create_directory(m_dir / "ref");
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("ref"), &m_grid, nullptr, nullptr, true, 0));
    const auto small = fs::file_size(m_dir / "ref" / "5239.edx");
    const auto large = fs::file_size(m_dir / "ref" / "5339.edx");
    ASSERT_LT(small, large);
    bool written = true;
    {
        testsupport::FileSizeLimit limit((small + large) / 2);
        written = m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, nullptr, true, 0);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir / "edx"), before);

    // A folder that is a file: nothing can be written, and that is no success.
    put("", "file");
    RecordingProgress failing;
    EXPECT_FALSE(m_db.T2JCalcConvErrIdx(path("file"), &m_grid, nullptr, &failing, true, 0));
    EXPECT_EQ(failing.log.back(), "end");
    EXPECT_FALSE(m_db.T2JCalcConvErrIdx(path("file"), &m_grid, nullptr, nullptr, true, 2));

    OmbreskMngr empty(&m_oldTM, &m_newTM);
    EXPECT_FALSE(m_db.T2JCalcConvErrIdx(path("edx"), &empty, nullptr, nullptr, true, 0));
    EXPECT_FALSE(m_db.T2JCalcConvErrIdx(path("edx"), nullptr, nullptr, nullptr, true, 0));
    EXPECT_FALSE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, nullptr, true, 3));
    EXPECT_FALSE(m_db.CalcSemiDynErrIdx(&empty, nullptr, nullptr));
}

TEST_F(VeltraneJobsTest, FilesThatCannotBePutInPlaceAreToldAndLeaveTheFolderAsItWas) {
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, nullptr, true, 2));
    put("older\r\n", "edx/5339/5339.edx");
    const auto before = testsupport::FolderSnapshot(m_dir / "edx");

    // Once the second walk has written 5339-00.edx, another program moves the folder 5339
    // away: the third of the files, 5339/5339.edx, cannot be put in place.
    RecordingProgress progress;
    const int rowOf5339InTheSecondWalk = 40 + (127200 - 72000) / 300 + 1;
    progress.onProgress = [&](int) {
        if (progress.progressCalls + 1 == rowOf5339InTheSecondWalk)
            fs::rename(m_dir / "edx" / "5339", m_dir / "moved");
        return true;
    };
    testsupport::ScriptedPrompts prompts({IDOK});
    EXPECT_FALSE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, &progress, true, 2));
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].first, "EDXファイルを書き込めませんでした。\n" +
                                          path("edx/5339/5339.edx") + "が見つかりません。");

    fs::rename(m_dir / "moved", m_dir / "edx" / "5339");
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir / "edx"), before);
}

TEST_F(VeltraneJobsTest, FilesInPlaceThatTheDiskDidNotConfirmAreToldAsWritten) {
    int syncs = 0;
    {
        testsupport::SystemCallFaults counting;
        ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, nullptr, nullptr, true, 2));
        syncs = counting.Count(testsupport::SystemCallFaults::Fsync);
    }
    // The same run into a fresh folder, whose last synchronisation, of a folder once every file
    // is in place, fails.
    fs::create_directory(m_dir / "again");
    testsupport::ScriptedPrompts prompts({IDOK});
    {
        testsupport::SystemCallFaults faults;
        faults.FailAt(testsupport::SystemCallFaults::Fsync, syncs, EIO);
        EXPECT_TRUE(m_db.T2JCalcConvErrIdx(path("again"), &m_grid, nullptr, nullptr, true, 2));
    }
    ASSERT_EQ(prompts.asked.size(), 1u);
    const CString told = prompts.asked[0].first;
    EXPECT_GE(told.Find("は書き込みましたが、ディスクが書き込みを確認しませんでした。"), 0)
        << told.Bytes();
    EXPECT_LT(told.Find("書き込めませんでした"), 0) << told.Bytes();
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir / "again"),
              testsupport::FolderSnapshot(m_dir / "edx"));
}

TEST_F(VeltraneJobsTest, ProjectAreaTakesTheSquaresAroundItsPoints) {
    T2JErrIdxDB target;
    // No points: nothing to walk around.
    EXPECT_FALSE(m_db.T2JCalcConvErrIdx(CString(), &m_grid, &target, nullptr, false, 0));

    // Two points inside the four answered squares of 5339 (35 20' 10" N 139 00' 20" E and
    // 40 seconds north, 50 east of it): the walk covers 3 x 3 squares, four answer.
    for (const auto &[lat, lon] : {std::pair{127210.0, 500420.0}, {127250.0, 500470.0}}) {
        double x = 0, y = 0;
        ASSERT_TRUE(m_zone9->BLtoXY(lat / Angle::m_RI, lon / Angle::m_RI, &x, &y));
        Point p(1, "P");
        p.SetCoord(Coordinate(x, y, 0.0, false, 0.0, false), CrdKindTokyo, ITRFKindNone);
        m_db.Append(p);
    }
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(path("edx"), &m_grid, &target, nullptr, false, 0));
    ASSERT_NE(target.GetErrIdxTbl(), nullptr);
    EXPECT_EQ(target.GetErrIdxTbl(1), nullptr);
    const T2JErrIdxTbl &table = *target.GetErrIdxTbl();
    EXPECT_EQ(table.GetT2JVerStr(), m_grid.GetFileVerStr1());
    std::vector<std::string> codes;
    for (unsigned i = 0; i < table.GetSize(); ++i)
        codes.push_back(expectIndexOfGrid(*table.GetData(i), 0.0));
    EXPECT_EQ(codes, kCorner5339);
    EXPECT_TRUE(edxFiles().empty());
}

TEST_F(VeltraneJobsTest, SemiDynamicIndexesFillTheTargetWithTheirCells) {
    // Semi-dynamic nodes 150 x 225 seconds apart from the south-west corner of 53394600.
    std::vector<GridNode> nodes;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            nodes.push_back({128400 + 150 * i, 503100 + 225 * j, 0.5 * i, 0.25 * j, 0.1});
    testsupport::WriteParFile(m_dir / "semi.par", "for SemiDynaEXE Ver.1.0.0", 15, nodes, true);
    OmbreskMngr semi(&m_oldTM, &m_newTM);
    ASSERT_EQ(semi.ReadSemiDynamicData(path("semi.par"), nullptr), CNVPRM_READ_SUCCESS);

    T2JErrIdxDB target;
    RecordingProgress progress;
    ASSERT_TRUE(m_db.CalcSemiDynErrIdx(path("edx"), &semi, &target, &progress));
    EXPECT_EQ(edxFiles(), std::set<std::string>{"5339/5339.edx"});
    EXPECT_EQ(progress.progressCalls, 40);
    ASSERT_NE(target.GetErrIdxTbl(), nullptr);
    EXPECT_EQ(target.GetFileType(), CNVPRM_TYPE_SEMIDYNA);
    const T2JErrIdxTbl &table = *target.GetErrIdxTbl();
    ASSERT_EQ(table.GetSize(), 4u);
    EXPECT_EQ(table.GetData(0)->GetMeshCode().GetCodeStr(), "53394600");
    EXPECT_EQ(table.GetData(3)->GetMeshCode().GetCodeStr(), MeshCode8(128550, 503325).c_str());
    double index = 0, sum = 0;
    ASSERT_TRUE(semi.CalcSemiDynErrIndex(table.GetData(0)->GetMeshCode(), &index, &sum));
    EXPECT_EQ(table.GetData(0)->GetGamma(), index);
    EXPECT_EQ(table.GetData(0)->GetDelta(), sum);
    // The corners are those of the 150 x 225 second cell in zone IX.
    double x = 0, y = 0;
    table.GetData(0)->GetSWCrd(&x, &y);
    ExpectPoint(x, y, kSW4600);
    table.GetData(0)->GetNECrd(&x, &y);
    ExpectPoint(x, y, kNE4600Cell);

    // Without a folder: the target alone, emptied first.
    fs::remove_all(m_dir / "edx");
    fs::create_directory(m_dir / "edx");
    ASSERT_TRUE(m_db.CalcSemiDynErrIdx(&semi, &target, nullptr));
    EXPECT_TRUE(edxFiles().empty());
    ASSERT_NE(target.GetErrIdxTbl(), nullptr);
    EXPECT_EQ(target.GetErrIdxTbl(1), nullptr);
}

TEST_F(VeltraneJobsTest, ParameterPathAndJobsOfTheProject) {
    EXPECT_EQ(m_db.GetCnvPrmFilePath("/opt/zentrova"), "/opt/zentrova/TKY2JGD.par");
    m_db.SetCnvPrmDir("par");
    m_db.SetCnvPrmFile("a.par");
    EXPECT_EQ(m_db.GetCnvPrmFilePath("/opt/zentrova/"), "/opt/zentrova/par/a.par");

    ASSERT_TRUE(m_db.GetFileCrdCnvTbl()->Append(new JFileCrdCnvElm("a.sim"), false));
    m_db.AllRemove();
    EXPECT_EQ(m_db.GetFileCrdCnvTbl()->GetSize(), 0u);
}

} // namespace
