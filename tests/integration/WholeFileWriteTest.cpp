// Every file a library writes is replaced whole or not at all: a writer cut by a file-size limit
// answers failure and leaves the bytes that were there, and a file conversion cancelled at any of
// its reports leaves the destination folder as it was.
#include "exchange/Dorrimet/ConvertTally.h"
#include "exchange/Vesk/VeskBase.h"
#include "kernels/Grisveld/TransMercator.h"
#include "ombresk/OmbreskMngr.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/FuseVolume.h"
#include "tests/support/GridParFile.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/SurveyData.h"
#include "tests/support/SystemCallFaults.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/JGDDSysCond.h"
#include "veltrane/model/T2JErrIdxDB.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::FolderSnapshot;
using testsupport::RecordingProgress;

// A writer of one file at the path it is given; named when its failure names the full disk (the
// size limit reads as one).
struct Writer {
    std::string name;
    std::function<bool(const CString &path)> write;
    bool named = true;
};

// Runs the writer: its answer, and its reason (the exception's message, or the messages).
bool run(const Writer &writer, const CString &path, const std::vector<CString> &messages,
         std::string *reason) {
    reason->clear();
    bool ok = false;
    try {
        ok = writer.write(path);
    } catch (const CException &e) {
        *reason = e.GetErrorMessage().Bytes();
    }
    for (const CString &m : messages)
        *reason += m.Bytes() + "\n";
    return ok;
}

const TransMercator *mercator(const PlaneArea *zone) {
    return dynamic_cast<const PlaneAreaMercator &>(*zone).GetTransMercator();
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
        ASSERT_TRUE(m_db.PrepareCoordConv(m_db.GetCoordCnvOption(), nullptr));
        ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr));
        auto *block = new CrdTrnsBlock(1);
        for (const auto &[x, y] :
             {std::pair{-35000, -12000}, {-27000, -12000}, {-27000, -3900}, {-35000, -3900}})
            block->AppendCrd(x, y);
        ASSERT_TRUE(block->SetClose() && m_db.GetCrdTrnsBlockTbl()->Append(block));
        for (Point *p : m_db)
            m_db.AppendSelect(p);
        ASSERT_GT(m_db.AppendSelectedPoints(1), 20u);
        ASSERT_TRUE(m_db.PrepareBlockCoordConv(CoordCnvOption(), nullptr));
        ASSERT_TRUE(m_db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));

        // Even shifts at every node from 35 35 N 139 37 30 E to 35 50 N 139 55 30 E.
        std::vector<testsupport::GridNode> nodes;
        for (int lat = 128100; lat <= 129000; lat += 30)
            for (int lon = 502650; lon <= 503730; lon += 45)
                nodes.push_back({lat, lon, 11.6, -11.8, 0.0});
        testsupport::WriteParFile(m_dir / "in/grid.par", "JGD2000-TokyoDatum Ver.2.1.1", 1, nodes,
                                  false);
        m_grid.SetOldTransMercator(mercator(m_db.GetCurrentPlaneArea(false)));
        m_grid.SetNewTransMercator(mercator(m_db.GetCurrentPlaneArea(true)));
        ASSERT_EQ(m_grid.ReadCnvPrmData(path("in/grid.par"), nullptr), CNVPRM_READ_SUCCESS);

        ASSERT_TRUE(m_db.WriteVesk(path("in/src.sim"), CrdKindTokyo, ITRFKindNone, 0,
                                   VESK_VERSION_03, false));
        ASSERT_TRUE(m_db.WriteKjnTxt(path("in/src.kjn"), CrdKindTokyo, ITRFKindNone, 0));
        ASSERT_TRUE(m_db.WriteT2JTxt(path("in/src.t2j"), CrdKindTokyo, ITRFKindNone, 0));
    }

    // The nine file conversions: three formats, each with the whole area's engine, the block's
    // and the grid. The reference-point conversions keep their log in logs/.
    std::vector<Writer> conversions(JIProgMsgBase *progress, std::vector<CString> *messages) {
        std::vector<Writer> all;
        for (const auto &[name, format] : {std::pair{"src.sim", JGDCrdFmtExchange},
                                           {"src.kjn", JGDCrdFmtKjnText},
                                           {"src.t2j", JGDCrdFmtGridText}}) {
            const CString src = path("in/") + name;
            const CString log = format == JGDCrdFmtKjnText ? path("logs/kjn.log") : CString();
            const auto f = format;
            all.push_back({name, [=, this](const CString &dst) {
                               return m_db.CoordConvExecute(src, dst, log, ConvertToNew, f,
                                                            messages, progress);
                           }});
            all.push_back({std::string(name) + " block", [=, this](const CString &dst) {
                               return m_db.BlockCoordConvExecute(src, dst, log, ConvertToNew, f, 1,
                                                                 messages, progress);
                           }});
            all.push_back({std::string(name) + " grid", [=, this](const CString &dst) {
                               return m_db.T2JCoordConvExecute(src, dst, log, ConvertToNew, f,
                                                               &m_grid, messages, progress);
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
             return written;
         }},
        {"conditions file", [&](const CString &p) { return JGDDSysCond().Write(p); }, false},
        {"print items", [&](const CString &p) { return m_db.GetPrtItemInfo().Write(p); }, false},
        {"EDX file", [&](const CString &p) { return indexes.GetErrIdxTbl()->WriteEDXFile(p); },
         false},
        {"grid cache", [&](const CString &p) { return m_grid.WriteCnvPrmBin(p); }, false},
        {"exchange file",
         [&](const CString &p) {
             return m_db.WriteVesk(p, CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, false);
         }},
        {"single-letter",
         [&](const CString &p) { return m_db.WriteApaVesk(p, CrdKindTokyo, {}, 0); }},
        {"reference-point",
         [&](const CString &p) { return m_db.WriteKjnTxt(p, CrdKindTokyo, {}, 0); }},
        {"grid text", [&](const CString &p) { return m_db.WriteT2JTxt(p, CrdKindTokyo, {}, 0); }},
    };
    for (const Writer &conversion : conversions(&progress, &messages))
        writers.push_back(conversion);

    std::string reason;
    for (const Writer &writer : writers) {
        SCOPED_TRACE(writer.name);
        messages.clear();
        run(writer, path("ref/file"), messages, &reason);
        ASSERT_TRUE(fs::exists(m_dir / "ref/file")) << reason;
        const auto size = fs::file_size(m_dir / "ref/file");
        // Over a file that was there, and where none was.
        for (const bool previous : {true, false}) {
            if (previous)
                put("previous bytes\r\n", "out/file");
            const auto before = FolderSnapshot(m_dir / "out");
            messages.clear();
            bool ok = true;
            {
                testsupport::FileSizeLimit limit(size / 2);
                ok = run(writer, path("out/file"), messages, &reason);
            }
            EXPECT_FALSE(ok) << previous;
            EXPECT_EQ(FolderSnapshot(m_dir / "out"), before) << previous;
            if (writer.named) {
                EXPECT_NE(reason.find(CString("ディスクがいっぱい").Bytes()), std::string::npos)
                    << reason;
            }
            fs::remove(m_dir / "out/file");
        }
    }
}

TEST_F(WholeFileWriteTest, ACancelledFileConversionLeavesTheDestinationFolderAsItWas) {
    const std::string cancelled = CString("ユーザーにより変換処理は途中で中止").Bytes();
    put("another file\r\n", "out/keep.txt");
    std::vector<CString> messages;
    std::string reason;
    const std::size_t count = conversions(nullptr, &messages).size();
    for (std::size_t i = 0; i < count; ++i) {
        RecordingProgress counting; // how many reports a whole run makes
        const Writer whole = conversions(&counting, &messages)[i];
        SCOPED_TRACE(whole.name);
        ASSERT_TRUE(run(whole, path("ref/dst"), messages, &reason)) << reason;
        ASSERT_GT(counting.reports, 2);
        if (i % 2 == 1) // over an older file of that name, or where the name was free
            put("older\r\n", "out/dst");
        const auto before = FolderSnapshot(m_dir / "out");
        for (const int at : {1, counting.reports / 2, counting.reports}) {
            RecordingProgress cancel(at);
            messages.clear();
            EXPECT_FALSE(
                run(conversions(&cancel, &messages)[i], path("out/dst"), messages, &reason));
            EXPECT_NE(reason.find(cancelled), std::string::npos) << reason;
            EXPECT_EQ(FolderSnapshot(m_dir / "out"), before) << at;
        }
        fs::remove(m_dir / "out/dst");
    }
    // The log is kept: it says how the run ended.
    const std::string log = testsupport::ReadFileBytes(m_dir / "logs/kjn.log");
    EXPECT_NE(log.find(CString("変換は正常に行われず終了しました").Bytes()), std::string::npos);

    // A log that cannot be made stops the conversion before the destination is touched.
    put("older\r\n", "out/dst");
    const auto before = FolderSnapshot(m_dir / "out");
    EXPECT_FALSE(m_db.CoordConvExecute(path("in/src.kjn"), path("out/dst"), path("no/log"),
                                       ConvertToNew, JGDCrdFmtKjnText, nullptr, nullptr));
    EXPECT_EQ(FolderSnapshot(m_dir / "out"), before);
}

TEST_F(WholeFileWriteTest, AFileThatTakesTheFreeDestinationNameMeanwhileIsNeverReplaced) {
    std::vector<CString> messages;
    std::string reason;
    const std::size_t count = conversions(nullptr, &messages).size();
    for (std::size_t i = 0; i < count; ++i) {
        RecordingProgress progress;
        progress.onReport = [&](int report) {
            if (report == 1)
                put("another program's file\r\n", "out/new");
        };
        const Writer conversion = conversions(&progress, &messages)[i];
        SCOPED_TRACE(conversion.name);
        ASSERT_FALSE(exists("out/new"));
        messages.clear();
        EXPECT_FALSE(run(conversion, path("out/new"), messages, &reason));
        EXPECT_EQ(get("out/new"), "another program's file\r\n");
        EXPECT_EQ(messages.back(), ConvertTally::STOPPED) << reason;
        fs::remove(m_dir / "out/new");
    }
    // The log of the reference-point conversions says how they ended.
    const std::string log = testsupport::ReadFileBytes(m_dir / "logs/kjn.log");
    EXPECT_NE(log.find(CString("変換は正常に行われず終了しました").Bytes()), std::string::npos);
    EXPECT_EQ(log.find(CString("変換終了時刻").Bytes()), std::string::npos);
}

// The lines of a file, without their CR LF.
std::vector<std::string> linesOf(const std::string &bytes) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

TEST_F(WholeFileWriteTest, ACancelledOrStoppedConversionSaysItWroteNothingAndWritesNoNote) {
    // Each source holds a point line its conversion does not convert: a run that puts its output
    // in place says it copied that line; one that is cancelled or stopped must not.
    const std::pair<const char *, const char *> unconverted[] = {
        {"in/src.sim", "A01,   99,OUT,1.0,2.0,,"},
        {"in/src.kjn", "A01,00099,OUT,35.1,139.1,1.0,2.0,09,,,"},
        {"in/src.t2j", "x y OUT"},
    };
    for (const auto &[name, line] : unconverted) {
        const std::string source = get(name);
        put(std::string(line) + "\r\n" + source, name);
    }
    const std::string copied = CString("変換せずに出力").Bytes();
    const std::string asItStood = CString("そのまま出力").Bytes();
    const std::string cancelText = CString("ユーザーにより変換処理は途中で中止").Bytes();
    const auto says = [](const std::vector<CString> &messages, const std::string &text) {
        for (const CString &m : messages)
            if (m.Bytes().find(text) != std::string::npos)
                return true;
        return false;
    };
    std::vector<CString> messages;
    std::string reason;
    const std::size_t count = conversions(nullptr, &messages).size();
    for (std::size_t i = 0; i < count; ++i) {
        RecordingProgress counting;
        const Writer whole = conversions(&counting, &messages)[i];
        SCOPED_TRACE(whole.name);
        messages.clear();
        run(whole, path("ref/dst"), messages, &reason);
        EXPECT_TRUE(says(messages, copied)) << reason;
        ASSERT_GT(counting.reports, 2);

        // Cancelled half way: over an older file, and into a file written in place, which
        // shows whatever the conversion wrote before it let go of it.
        put("older\r\n", "out/dst");
        const int memory = ::memfd_create("dst", 0);
        ASSERT_GE(memory, 0);
        const CString inPlace = CString("/proc/self/fd/") + std::to_string(memory).c_str();
        for (const CString &dst : {path("out/dst"), inPlace}) {
            RecordingProgress cancel(counting.reports / 2);
            messages.clear();
            EXPECT_FALSE(run(conversions(&cancel, &messages)[i], dst, messages, &reason));
            EXPECT_TRUE(says(messages, cancelText)) << reason;
            EXPECT_EQ(messages.back(), ConvertTally::CANCELLED) << reason;
            EXPECT_FALSE(says(messages, copied) || says(messages, asItStood)) << reason;
        }
        EXPECT_EQ(get("out/dst"), "older\r\n");
        const std::string written = testsupport::ReadFileBytes(inPlace.Bytes());
        ::close(memory);
        EXPECT_FALSE(written.empty());
        EXPECT_EQ(written.find(CString("中止").Bytes()), std::string::npos) << written;
    }

    // Stopped at a line that cannot be read into cp932.
    for (const auto &[name, line] : unconverted)
        put(testsupport::WrittenAs(linesOf(get(name)), testsupport::TextForm::Utf8MarkCrLf) +
                reinterpret_cast<const char *>(u8"\U00020BB7\r\n"),
            name);
    for (std::size_t i = 0; i < count; ++i) {
        const Writer stopping = conversions(nullptr, &messages)[i];
        SCOPED_TRACE(stopping.name);
        messages.clear();
        EXPECT_FALSE(run(stopping, path("out/dst"), messages, &reason));
        EXPECT_TRUE(says(messages, CString("変換を中止しました").Bytes())) << reason;
        EXPECT_EQ(messages.back(), ConvertTally::STOPPED) << reason;
        EXPECT_FALSE(says(messages, copied) || says(messages, asItStood)) << reason;
        EXPECT_EQ(get("out/dst"), "older\r\n");
    }
}

TEST_F(WholeFileWriteTest, EveryConversionWritesOntoUsbSticks) {
    for (const auto kind : {testsupport::FuseVolume::Fat, testsupport::FuseVolume::ExFat}) {
        const fs::path mount = m_dir / (kind == testsupport::FuseVolume::Fat ? "fat" : "exfat");
        fs::create_directory(mount);
        testsupport::FuseVolume stick(mount, kind);
        if (!stick.ready)
            GTEST_SKIP() << stick.reason;
        const CString root = FromUtf8(stick.root().string());
        std::vector<CString> messages;
        std::string reason;
        for (const Writer &conversion : conversions(nullptr, &messages)) {
            SCOPED_TRACE(conversion.name);
            // The same conversion on this disk, of the same name: as many lines (the files differ
            // in the time of the run and the folder only).
            messages.clear();
            fs::remove(m_dir / "ref/dst");
            ASSERT_TRUE(run(conversion, path("ref/dst"), messages, &reason)) << reason;
            // To a new name, as "～変換後" names are, and over the file then there.
            for (int pass = 0; pass < 2; ++pass) {
                messages.clear();
                EXPECT_TRUE(run(conversion, root + "/dst", messages, &reason)) << reason;
            }
            EXPECT_EQ(linesOf(testsupport::ReadFileBytes(stick.root() / "dst")).size(),
                      linesOf(get("ref/dst")).size());
            fs::remove(stick.root() / "dst");
        }
        EXPECT_TRUE(FolderSnapshot(stick.root()).empty());
    }
}

TEST_F(WholeFileWriteTest, AConversionTheDiskDidNotConfirmIsToldAsWritten) {
    std::vector<CString> messages;
    std::string reason;
    const std::size_t count = conversions(nullptr, &messages).size();
    for (std::size_t i = 0; i < count; ++i) {
        const Writer conversion = conversions(nullptr, &messages)[i];
        SCOPED_TRACE(conversion.name);
        int syncs = 0;
        {
            testsupport::SystemCallFaults counting;
            messages.clear();
            ASSERT_TRUE(run(conversion, path("out/dst"), messages, &reason)) << reason;
            syncs = counting.Count(testsupport::SystemCallFaults::Fsync);
        }
        const auto size = fs::file_size(m_dir / "out/dst");
        fs::remove(m_dir / "out/dst");
        // The last synchronisation, of the folder once the output is in place, fails.
        bool ok = false;
        {
            testsupport::SystemCallFaults faults;
            faults.FailAt(testsupport::SystemCallFaults::Fsync, syncs, EIO);
            messages.clear();
            ok = run(conversion, path("out/dst"), messages, &reason);
        }
        EXPECT_TRUE(ok) << reason;
        EXPECT_NE(
            reason.find(
                CString("は書き込みましたが、ディスクが書き込みを確認しませんでした。").Bytes()),
            std::string::npos)
            << reason;
        EXPECT_EQ(reason.find(CString("何も書き出していません").Bytes()), std::string::npos)
            << reason;
        EXPECT_EQ(fs::file_size(m_dir / "out/dst"), size);
        fs::remove(m_dir / "out/dst");
    }
}

} // namespace
