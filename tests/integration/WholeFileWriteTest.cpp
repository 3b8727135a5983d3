// Every file a library writes is replaced whole or not at all: a writer cut by a file-size limit
// answers failure and leaves the bytes that were there, and a file conversion cancelled at any of
// its reports leaves the destination folder as it was.
#include "exchange/Vesk/VeskBase.h"
#include "kernels/Grisveld/TransMercator.h"
#include "ombresk/OmbreskMngr.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Path.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/GridParFile.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/SurveyData.h"
#include "tests/support/TempFolder.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/JGDDSysCond.h"
#include "veltrane/model/T2JErrIdxDB.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::FileSizeLimit;
using testsupport::FolderSnapshot;
using testsupport::RecordingProgress;

// What a writer answered: success, or the reason it gave (empty when it gives none).
struct Outcome {
    bool ok = false;
    std::string reason;
};

// A writer of one file at the path it is given; named when its failure names the full disk (the
// size limit reads as one).
struct Writer {
    const char *name;
    std::function<Outcome(const CString &path)> write;
    bool named = true;
};

Outcome answered(bool ok, const std::vector<CString> &messages = {}) {
    Outcome outcome{ok, {}};
    for (const CString &m : messages)
        outcome.reason += m.Bytes() + "\n";
    return outcome;
}

// Runs the writer, taking a file exception for its failure.
Outcome run(const Writer &writer, const CString &path) {
    try {
        return writer.write(path);
    } catch (const CException &e) {
        return {false, e.GetErrorMessage().Bytes()};
    }
}

const PlaneAreaMercator &mercator(const PlaneArea *zone) {
    return dynamic_cast<const PlaneAreaMercator &>(*zone);
}

// The survey project of zone IX converted by the centroid translation, as a whole and as one
// block; grid parameters over its area; and files of its points to convert.
class WholeFileWriteTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        for (const char *sub : {"in", "out", "ref", "logs"})
            fs::create_directory(m_dir / sub);
        testsupport::AddSurveyPoints(m_db, testsupport::SurveyZone9());
        m_db.SetCoordCnvKind(CrdCnvParaTrans2);
        ASSERT_TRUE(m_db.PrepareCoordConv(m_db.GetCoordCnvOption(), nullptr));
        ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr));

        auto *block = new CrdTrnsBlock(1);
        for (const auto &[x, y] : {std::pair{-35000.0, -12000.0},
                                   {-27000.0, -12000.0},
                                   {-27000.0, -3900.0},
                                   {-35000.0, -3900.0}})
            block->AppendCrd(x, y);
        ASSERT_TRUE(block->SetClose() && m_db.GetCrdTrnsBlockTbl()->Append(block));
        for (Point *p : m_db)
            m_db.AppendSelect(p);
        ASSERT_EQ(m_db.AppendSelectedPoints(1), m_db.size());
        ASSERT_TRUE(m_db.PrepareBlockCoordConv(CoordCnvOption(), nullptr));
        ASSERT_TRUE(m_db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));

        // Uniform shifts at every node from 35 35 N 139 37 30 E to 35 50 N 139 55 30 E.
        std::vector<testsupport::GridNode> nodes;
        for (int lat = 128100; lat <= 129000; lat += 30)
            for (int lon = 502650; lon <= 503730; lon += 45)
                nodes.push_back({lat, lon, 11.6, -11.8, 0.0});
        testsupport::WriteParFile(m_dir / "in" / "TKY2JGD.par", "JGD2000-TokyoDatum Ver.2.1.1", 1,
                                  nodes, false);
        m_grid.SetOldTransMercator(mercator(m_db.GetCurrentPlaneArea(false)).GetTransMercator());
        m_grid.SetNewTransMercator(mercator(m_db.GetCurrentPlaneArea(true)).GetTransMercator());
        ASSERT_EQ(m_grid.ReadCnvPrmData(in("TKY2JGD.par"), nullptr), CNVPRM_READ_SUCCESS);

        ASSERT_TRUE(
            m_db.WriteVesk(in("src.sim"), CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, false));
        ASSERT_TRUE(m_db.WriteKjnTxt(in("src.kjn"), CrdKindTokyo, ITRFKindNone, 0));
        ASSERT_TRUE(m_db.WriteT2JTxt(in("src.t2j"), CrdKindTokyo, ITRFKindNone, 0));
    }

    CString in(const char *name) const { return path("in/") + name; }

    // The nine file conversions: three formats, each with the whole area's engine, the block's
    // and the grid. The reference-point conversions keep their log in logs/.
    std::vector<Writer> conversions(JIProgMsgBase *progress, std::vector<CString> *messages) {
        struct Format {
            const char *name;
            const char *source;
            JGDCrdFileFormat format;
        };
        std::vector<Writer> all;
        for (const Format &f : {Format{"exchange", "src.sim", JGDCrdFmtExchange},
                                Format{"reference-point", "src.kjn", JGDCrdFmtKjnText},
                                Format{"grid-text", "src.t2j", JGDCrdFmtGridText}}) {
            const CString src = in(f.source);
            const CString log = f.format == JGDCrdFmtKjnText ? path("logs/conversion.log") : "";
            const JGDCrdFileFormat format = f.format;
            all.push_back({f.name, [=, this](const CString &dst) {
                               return answered(m_db.CoordConvExecute(src, dst, log, ConvertToNew,
                                                                     format, messages, progress),
                                               *messages);
                           }});
            all.push_back({f.name, [=, this](const CString &dst) {
                               return answered(m_db.BlockCoordConvExecute(src, dst, log,
                                                                          ConvertToNew, format, 1,
                                                                          messages, progress),
                                               *messages);
                           }});
            all.push_back({f.name, [=, this](const CString &dst) {
                               return answered(m_db.T2JCoordConvExecute(src, dst, log, ConvertToNew,
                                                                        format, &m_grid, messages,
                                                                        progress),
                                               *messages);
                           }});
        }
        return all;
    }

    Veltrane m_db;
    OmbreskMngr m_grid;
};

TEST_F(WholeFileWriteTest, EveryWriterCutAtHalfItsSizeLeavesThePreviousBytes) {
    T2JErrIdxDB indexes;
    ASSERT_TRUE(m_db.T2JCalcConvErrIdx(CString(), &m_grid, &indexes, nullptr, false, 0));
    ASSERT_GT(indexes.GetErrIdxTbl()->GetSize(), 0u);
    RecordingProgress progress;
    std::vector<CString> messages;

    std::vector<Writer> writers = {
        {"project file",
         [&](const CString &p) {
             CFile file(p, CFile::modeCreate | CFile::modeWrite);
             CArchive ar(&file, CArchive::store);
             const bool written = m_db.Write(ar);
             ar.Close();
             file.Close();
             return answered(written);
         },
         true},
        {"conditions file", [&](const CString &p) { return answered(JGDDSysCond().Write(p)); },
         false},
        {"print-item file",
         [&](const CString &p) { return answered(m_db.GetPrtItemInfo().Write(p)); }, false},
        {"exchange file",
         [&](const CString &p) {
             return answered(
                 m_db.WriteVesk(p, CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, false));
         },
         true},
        {"single-letter exchange file",
         [&](const CString &p) {
             return answered(m_db.WriteApaVesk(p, CrdKindTokyo, ITRFKindNone, 0));
         },
         true},
        {"reference-point result text",
         [&](const CString &p) {
             return answered(m_db.WriteKjnTxt(p, CrdKindTokyo, ITRFKindNone, 0));
         },
         true},
        {"grid-conversion text",
         [&](const CString &p) {
             return answered(m_db.WriteT2JTxt(p, CrdKindTokyo, ITRFKindNone, 0));
         },
         true},
        {"EDX file",
         [&](const CString &p) { return answered(indexes.GetErrIdxTbl()->WriteEDXFile(p)); },
         false},
        {"grid cache", [&](const CString &p) { return answered(m_grid.WriteCnvPrmBin(p)); }, false},
    };
    for (const Writer &conversion : conversions(&progress, &messages))
        writers.push_back(conversion);

    for (const Writer &writer : writers) {
        SCOPED_TRACE(writer.name);
        messages.clear();
        const Outcome whole = run(writer, path("ref/file"));
        ASSERT_TRUE(fs::exists(m_dir / "ref" / "file")) << whole.reason;
        const auto size = fs::file_size(m_dir / "ref" / "file");
        fs::remove(m_dir / "ref" / "file");

        // Over a file that was there, and where none was.
        for (const bool previous : {true, false}) {
            if (previous)
                put("previous bytes\r\n", "out/file");
            const auto before = FolderSnapshot(m_dir / "out");
            messages.clear();
            Outcome cut;
            {
                FileSizeLimit limit(size / 2);
                cut = run(writer, path("out/file"));
            }
            EXPECT_FALSE(cut.ok) << previous;
            EXPECT_EQ(FolderSnapshot(m_dir / "out"), before) << previous;
            if (writer.named) {
                EXPECT_NE(cut.reason.find(CString("ディスクがいっぱい").Bytes()), std::string::npos)
                    << cut.reason;
            }
            fs::remove(m_dir / "out" / "file");
        }
    }
}

TEST_F(WholeFileWriteTest, ACancelledFileConversionLeavesTheDestinationFolderAsItWas) {
    const std::string cancelled =
        CString("情報：ユーザーにより変換処理は途中で中止されました。").Bytes();
    const std::string failedLog = CString("情報：変換は正常に行われず終了しました。").Bytes();
    put("another file\r\n", "out/keep.txt");
    std::vector<CString> messages;
    const std::size_t count = conversions(nullptr, &messages).size();
    for (std::size_t i = 0; i < count; ++i) {
        // How many reports a whole run makes.
        RecordingProgress counting;
        const Writer whole = conversions(&counting, &messages)[i];
        SCOPED_TRACE(std::string(whole.name) + " #" + std::to_string(i));
        messages.clear();
        ASSERT_TRUE(run(whole, path("ref/dst")).ok);
        const int reports = counting.reports;
        ASSERT_GT(reports, 2);

        // Where the destination was free, and over an older file of that name.
        if (i % 2 == 1)
            put("older\r\n", "out/dst");
        const auto before = FolderSnapshot(m_dir / "out");
        for (const int at : {1, reports / 2, reports}) {
            RecordingProgress cancel(at);
            messages.clear();
            const Outcome outcome = run(conversions(&cancel, &messages)[i], path("out/dst"));
            EXPECT_FALSE(outcome.ok) << at;
            EXPECT_NE(outcome.reason.find(cancelled), std::string::npos) << outcome.reason;
            EXPECT_EQ(FolderSnapshot(m_dir / "out"), before) << at;
            // The log of a reference-point conversion is kept: it says how the run ended.
            if (std::string(whole.name) == "reference-point") {
                const std::string log =
                    testsupport::ReadFileBytes(m_dir / "logs" / "conversion.log");
                EXPECT_NE(log.find(failedLog), std::string::npos) << at;
            }
        }
        fs::remove(m_dir / "out" / "dst");
    }

    // A log that cannot be made stops the conversion before the destination is touched.
    put("older\r\n", "out/dst");
    const auto before = FolderSnapshot(m_dir / "out");
    messages.clear();
    RecordingProgress progress;
    EXPECT_FALSE(m_db.CoordConvExecute(in("src.kjn"), path("out/dst"), path("no/such/log"),
                                       ConvertToNew, JGDCrdFmtKjnText, &messages, &progress));
    EXPECT_EQ(FolderSnapshot(m_dir / "out"), before);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "変換結果用のログファイルがオープンできませんでした。 ファイル:[" +
                               path("no/such/log") + "]");
}

} // namespace
