#include "ombresk/JCnvPrmData.h"

#include "kernels/Lunmarg/Angle.h"

#include "tests/support/Bytes.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using testsupport::bytes;
using testsupport::RecordingProgress;

const std::string kType1Header = "JGD2000-TokyoDatum Ver.2.1.1\r\nMeshCode dB(sec) dL(sec)\r\n";

// Three nodes of two first-level meshes, out of order.
const std::string kSmallGrid = kType1Header + "53404600 -3.0 2.0\r\n"
                                              "53394601 12.0 0.5\r\n"
                                              "53394600 1.5 -0.25\r\n";

// Its cache, byte by byte.
std::string smallCache() {
    std::string header = "TKY2JGD Parameter(binary) Ver.2.1.1";
    header.resize(64, '\0');
    return header + bytes({0x64, 0, 0, 0, 2, 0, 0, 0}) +
           // table 5339 (0x14DB), two nodes: 4600 (0x11F8) 1.5 -0.25, 4601 12.0 0.5
           bytes({0xDB, 0x14, 2, 0, 0, 0}) +
           bytes({0xF8, 0x11, 0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x80, 0xBE}) +
           bytes({0xF9, 0x11, 0x00, 0x00, 0x40, 0x41, 0x00, 0x00, 0x00, 0x3F}) +
           // table 5340, one node: 4600 -3.0 2.0
           bytes({0xDC, 0x14, 1, 0, 0, 0}) +
           bytes({0xF8, 0x11, 0x00, 0x00, 0x40, 0xC0, 0x00, 0x00, 0x00, 0x40});
}

JMeshCode mesh(UINT code) {
    JMeshCode c;
    c.SetMeshCode3(code);
    return c;
}

class JCnvPrmDataTest : public testsupport::TempFolderTest {
  protected:
    void expectEmpty(const JCnvPrmData &data) const {
        EXPECT_FALSE(data.IsDataReady());
        EXPECT_EQ(data.GetTableCount(), 0u);
        EXPECT_TRUE(data.GetFileVerStr1().IsEmpty());
        EXPECT_TRUE(data.GetFilePath().IsEmpty());
    }
    // Ready with the grid of the file at path, of that many nodes.
    void expectHeld(const JCnvPrmData &data, const CString &path, std::size_t nodes) const {
        EXPECT_TRUE(data.IsDataReady());
        EXPECT_EQ(data.GetFilePath(), path);
        EXPECT_EQ(data.GetElmCount(), nodes);
        EXPECT_FALSE(data.GetFileVerStr1().IsEmpty());
    }
};

} // namespace

TEST_F(JCnvPrmDataTest, CacheIsWrittenByteForByte) {
    JCnvPrmData data;
    ASSERT_EQ(data.Read(put(kSmallGrid, "grid.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    RecordingProgress progress;
    ASSERT_TRUE(data.WriteBin(path("grid.bin"), &progress));
    EXPECT_EQ(get("grid.bin"), smallCache());
    EXPECT_EQ(progress.totals, std::vector<int>{100});
    EXPECT_EQ(progress.log.front(), "start kind 3 100");
    EXPECT_EQ(progress.steps, (std::vector<int>{50, 100}));
    EXPECT_EQ(progress.ends, 1);
}

TEST_F(JCnvPrmDataTest, HandWrittenCacheIsRead) {
    JCnvPrmData data;
    RecordingProgress progress;
    ASSERT_EQ(data.ReadBin(put(smallCache(), "grid.bin"), false, &progress), CNVPRM_READ_SUCCESS);
    EXPECT_TRUE(data.IsDataReady());
    EXPECT_STREQ(data.GetFileVerStr1(), "Ver.2.1.1");
    EXPECT_STREQ(data.GetFileVerStr2(), "2.1.1");
    EXPECT_STREQ(data.GetFileName(), "grid.bin");
    EXPECT_EQ(data.GetElmCount(), 3u);
    ASSERT_NE(data.Find(mesh(53394600)), nullptr);
    EXPECT_EQ(data.Find(mesh(53394600))->GetdB(), 1.5f);
    EXPECT_EQ(data.Find(mesh(53394600))->GetdL(), -0.25f);
    EXPECT_EQ(data.Find(mesh(53394601))->GetdB(), 12.0f);
    EXPECT_EQ(data.Find(mesh(53404600))->GetdB(), -3.0f);
    EXPECT_EQ(data.Find(mesh(53404601)), nullptr);
    EXPECT_EQ(progress.steps, (std::vector<int>{50, 100}));
    EXPECT_EQ(progress.totals.size(), 1u);
    EXPECT_EQ(progress.ends, 1);

    // Trailing bytes after the promised tables are not read.
    ASSERT_EQ(data.ReadBin(put(smallCache() + "tail", "tail.bin"), false, nullptr),
              CNVPRM_READ_SUCCESS);
    EXPECT_EQ(data.GetElmCount(), 3u);
}

TEST_F(JCnvPrmDataTest, ManyNodesSurviveTheCacheRoundTrip) {
    // Every square of two second-level meshes in each of three first-level meshes,
    // shuffled, with distinct shifts.
    std::vector<std::string> lines;
    for (UINT code1 : {5339u, 5340u, 5439u})
        for (UINT code2 : {0u, 77u})
            for (UINT code3 = 0; code3 < 100; ++code3) {
                const UINT code = code1 * 10000 + code2 * 100 + code3;
                lines.push_back(std::to_string(code) + " " + std::to_string(code % 997 / 8.0) +
                                " " + std::to_string(-(code % 991) / 16.0) + "\r\n");
            }
    std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
    std::string text = kType1Header;
    for (const auto &line : lines)
        text += line;

    JCnvPrmData merged, shell;
    ASSERT_EQ(merged.Read(put(text, "grid.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_EQ(shell.Read(path("grid.par"), true, nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_TRUE(merged.WriteBin(path("grid.bin"), nullptr));
    JCnvPrmData cached;
    ASSERT_EQ(cached.ReadBin(path("grid.bin"), false, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(cached.GetElmCount(), lines.size());
    for (UINT code1 : {5339u, 5340u, 5439u})
        for (UINT code2 : {0u, 77u})
            for (UINT code3 = 0; code3 < 100; ++code3) {
                const UINT code = code1 * 10000 + code2 * 100 + code3;
                const JCnvPrmElm *a = cached.Find(mesh(code));
                const JCnvPrmElm *b = shell.Find(mesh(code));
                ASSERT_NE(a, nullptr) << code;
                ASSERT_NE(b, nullptr) << code;
                EXPECT_EQ(a->GetdB(), static_cast<float>(code % 997 / 8.0)) << code;
                EXPECT_EQ(a->GetdL(), static_cast<float>(-(code % 991) / 16.0)) << code;
                EXPECT_EQ(b->GetdB(), a->GetdB());
                EXPECT_EQ(b->GetdL(), a->GetdL());
            }
    EXPECT_EQ(cached.Find(mesh(53390100)), nullptr);
}

TEST_F(JCnvPrmDataTest, VersionTextsInTheCacheHeader) {
    // A short version is padded to nine places and read back without the blanks.
    JCnvPrmData data;
    ASSERT_EQ(data.Read(put("JGD2000-TokyoDatum V.2\r\nx\r\n53394600 1 2\r\n", "short.par"), false,
                        nullptr),
              CNVPRM_READ_SUCCESS);
    ASSERT_TRUE(data.WriteBin(path("short.bin"), nullptr));
    EXPECT_EQ(get("short.bin").substr(0, 36),
              std::string("TKY2JGD Parameter(binary)       V.2") + '\0');
    ASSERT_EQ(data.ReadBin(path("short.bin"), false, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_STREQ(data.GetFileVerStr1(), "V.2");
    EXPECT_STREQ(data.GetFileVerStr2(), "2");

    // A version longer than the header holds is cut at 64 bytes, never written past them.
    const std::string longVer = "Ver.1." + std::string(100, '7');
    ASSERT_EQ(
        data.Read(put("JGD2000-TokyoDatum " + longVer + "\r\nx\r\n53394600 1 2\r\n", "long.par"),
                  false, nullptr),
        CNVPRM_READ_SUCCESS);
    ASSERT_TRUE(data.WriteBin(path("long.bin"), nullptr));
    const std::string cache = get("long.bin");
    ASSERT_EQ(cache.size(), 64u + 8u + 6u + 10u);
    EXPECT_EQ(cache.substr(0, 64), ("TKY2JGD Parameter(binary) " + longVer).substr(0, 64));
    EXPECT_EQ(cache.substr(64, 4), bytes({0x64, 0, 0, 0}));
    ASSERT_EQ(data.ReadBin(path("long.bin"), false, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_STREQ(data.GetFileVerStr1(), longVer.substr(0, 38).c_str());
}

TEST_F(JCnvPrmDataTest, SemiDynamicCacheReadsBackAsPlainNodes) {
    std::string text = "for SemiDynaEXE Ver.1.0.0\r\n";
    for (int i = 0; i < 15; ++i)
        text += "h\r\n";
    text += "53394600 0.25 -0.5 0.125\r\n";
    JCnvPrmData data;
    ASSERT_EQ(data.Read(put(text, "semi.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_NE(data.FindSemiDynPrm(mesh(53394600)), nullptr);
    ASSERT_TRUE(data.WriteBin(path("semi.bin"), nullptr));
    EXPECT_EQ(get("semi.bin").size(), 64u + 8u + 6u + 10u);
    ASSERT_EQ(data.ReadBin(path("semi.bin"), false, nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_NE(data.Find(mesh(53394600)), nullptr);
    EXPECT_EQ(data.Find(mesh(53394600))->GetdL(), -0.5f);
    EXPECT_EQ(data.FindSemiDynPrm(mesh(53394600)), nullptr);
}

TEST_F(JCnvPrmDataTest, WriteBinRefusesAndLeavesNoFile) {
    JCnvPrmData data;
    RecordingProgress progress;
    // Not ready.
    EXPECT_FALSE(data.WriteBin(path("a.bin"), &progress));
    EXPECT_FALSE(exists("a.bin"));
    EXPECT_TRUE(progress.totals.empty());
    // Ready but without a table.
    ASSERT_EQ(data.Read(put(kType1Header, "empty.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_TRUE(data.IsDataReady());
    EXPECT_FALSE(data.WriteBin(path("a.bin"), nullptr));
    EXPECT_FALSE(exists("a.bin"));
    // A folder that does not exist.
    ASSERT_EQ(data.Read(put(kSmallGrid, "grid.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_FALSE(data.WriteBin(path("no/such/folder.bin"), nullptr));

    // Cancelled after the first table: false, and an older cache stays as it was.
    put("older cache", "a.bin");
    progress.onProgress = [](int) { return false; };
    EXPECT_FALSE(data.WriteBin(path("a.bin"), &progress));
    EXPECT_EQ(get("a.bin"), "older cache");
    EXPECT_EQ(progress.steps, (std::vector<int>{50}));
    EXPECT_EQ(progress.ends, 1);
}

TEST_F(JCnvPrmDataTest, FailedWriteAnswersFalseAndKeepsTheOlderCache) {
    std::string text = kType1Header;
    for (int i = 0; i < 100; ++i)
        text += std::to_string(53390000 + i) + " 1 2\r\n";
    JCnvPrmData data;
    ASSERT_EQ(data.Read(put(text, "grid.par"), false, nullptr), CNVPRM_READ_SUCCESS);

    // The file may not grow past 200 bytes: the first table's write fails.
    put("older cache", "grid.bin");
    RecordingProgress progress;
    bool written = true;
    {
        testsupport::FileSizeLimit limit(200);
        written = data.WriteBin(path("grid.bin"), &progress);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(get("grid.bin"), "older cache");
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir).size(), 2u); // and no file beside it
    EXPECT_EQ(progress.totals.size(), 1u);
    EXPECT_EQ(progress.ends, 1);
}

TEST_F(JCnvPrmDataTest, BadCachesAreRefusedAndLeaveNothing) {
    const std::string good = smallCache();
    JCnvPrmData data;
    auto readBin = [&](const std::string &content) {
        return data.ReadBin(put(content, "bad.bin"), false, nullptr);
    };
    std::string text = good;
    text[24] = 'X'; // "TKY2JGD Parameter(binarX"
    EXPECT_EQ(readBin(text), CNVPRM_READ_HEADER_ERROR);
    expectEmpty(data);
    EXPECT_EQ(readBin(good.substr(0, 63)), CNVPRM_READ_HEADER_ERROR);
    text = good;
    text[29] = '-'; // "Ver-2.1.1": no "." left in the version
    text.replace(26, 9, "Ver-2-1-1");
    EXPECT_EQ(readBin(text), CNVPRM_READ_HEADER_ERROR);
    EXPECT_EQ(readBin(good.substr(0, 66)), CNVPRM_READ_HEADER_ERROR);
    EXPECT_EQ(readBin(good.substr(0, 70)), CNVPRM_READ_DATA_ERROR);
    expectEmpty(data);

    // More tables promised than the file holds; a table cut short in its code,
    // its count and its nodes.
    text = good;
    text[68] = 3;
    EXPECT_EQ(readBin(text), CNVPRM_READ_DATA_ERROR);
    expectEmpty(data);
    EXPECT_EQ(readBin(good.substr(0, 73)), CNVPRM_READ_DATA_ERROR);
    EXPECT_EQ(readBin(good.substr(0, 76)), CNVPRM_READ_DATA_ERROR);
    EXPECT_EQ(readBin(good.substr(0, good.size() - 1)), CNVPRM_READ_DATA_ERROR);
    expectEmpty(data);

    // Node and table counts that are negative or beyond the file: refused before
    // anything is allocated.
    text = good;
    text.replace(74, 4, bytes({0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(readBin(text), CNVPRM_READ_DATA_ERROR);
    text.replace(74, 4, bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(readBin(text), CNVPRM_READ_DATA_ERROR);
    text = good;
    text.replace(68, 4, bytes({0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(readBin(text), CNVPRM_READ_DATA_ERROR);
    expectEmpty(data);

    EXPECT_EQ(data.ReadBin(path("missing.bin"), false, nullptr), CNVPRM_READ_OPEN_ERROR);
    expectEmpty(data);
}

TEST_F(JCnvPrmDataTest, EachReadReplacesTheData) {
    JCnvPrmData data;
    const CString grid = put(kSmallGrid, "grid.par");
    const CString other = put(kType1Header + "54390605 7 8\r\n", "other.par");
    const CString cache = put(smallCache(), "grid.bin");

    ASSERT_EQ(data.Read(grid, false, nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_EQ(data.Read(other, false, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(data.GetElmCount(), 1u);
    EXPECT_EQ(data.Find(mesh(53394600)), nullptr);
    EXPECT_EQ(data.GetFilePath(), other);

    // A cache read twice, or after a text read, holds one table per first-level mesh.
    ASSERT_EQ(data.ReadBin(cache, false, nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_EQ(data.ReadBin(cache, false, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(data.GetTableCount(), 2u);
    EXPECT_EQ(data.GetElmCount(), 3u);
    EXPECT_EQ(data.Find(mesh(54390605)), nullptr);

    // The stored path is read again: the cache is no text file (one line, no header).
    EXPECT_EQ(data.GetFilePath(), cache);
    ASSERT_EQ(data.Read(true, nullptr), CNVPRM_READ_HEADER_ERROR);
    data.SetFilePath(grid);
    ASSERT_EQ(data.Read(true, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(data.GetElmCount(), 3u);
    data.SetFilePath(cache);
    ASSERT_EQ(data.ReadBin(true, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(data.GetElmCount(), 3u);

    // A failed read after a good one keeps the good one.
    ASSERT_EQ(data.Read(put(kSmallGrid + "53404601 1\r\n", "cut.par"), false, nullptr),
              CNVPRM_READ_DATA_ERROR);
    expectHeld(data, cache, 3);

    data.Read(grid, false, nullptr);
    data.Clear();
    expectEmpty(data);
    EXPECT_EQ(data.GetFileType(), CNVPRM_TYPE_DETECT);
    EXPECT_TRUE(data.GetFileVerStr2().IsEmpty());
}

TEST_F(JCnvPrmDataTest, CacheTablesOfOneMeshAreJoinedAndSorted) {
    // Table 5340 first, then 5339 split in two tables with its nodes out of order.
    std::string cache = smallCache().substr(0, 64) + bytes({0x64, 0, 0, 0, 3, 0, 0, 0}) +
                        bytes({0xDC, 0x14, 1, 0, 0, 0}) +
                        bytes({0xF8, 0x11, 0x00, 0x00, 0x40, 0xC0, 0x00, 0x00, 0x00, 0x40}) +
                        bytes({0xDB, 0x14, 1, 0, 0, 0}) +
                        bytes({0xF9, 0x11, 0x00, 0x00, 0x40, 0x41, 0x00, 0x00, 0x00, 0x3F}) +
                        bytes({0xDB, 0x14, 1, 0, 0, 0}) +
                        bytes({0xF8, 0x11, 0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x80, 0xBE});
    for (bool stoppable : {false, true}) {
        JCnvPrmData data;
        ASSERT_EQ(data.ReadBin(put(cache, "joined.bin"), stoppable, nullptr), CNVPRM_READ_SUCCESS);
        ASSERT_EQ(data.GetTableCount(), 2u);
        EXPECT_EQ(data.GetTable(0)->GetCode1(), 5339);
        EXPECT_EQ(data.GetTable(0)->GetSize(), 2u);
        ASSERT_NE(data.Find(mesh(53394600)), nullptr);
        EXPECT_EQ(data.Find(mesh(53394600))->GetdB(), 1.5f);
        ASSERT_NE(data.Find(mesh(53394601)), nullptr);
        ASSERT_NE(data.Find(mesh(53404600)), nullptr);
        // The data sorted now writes the canonical cache.
        ASSERT_TRUE(data.WriteBin(path("canonical.bin"), nullptr));
        EXPECT_EQ(get("canonical.bin"), smallCache());
    }
}

TEST_F(JCnvPrmDataTest, TextReadProgressCancelAndStop) {
    std::string text = kType1Header;
    for (int i = 0; i < 200; ++i)
        text += std::to_string(53390000 + i / 100 * 100 + i % 100) + " 1.25 -2.5\r\n";
    const CString file = put(text, "grid.par");
    JCnvPrmData data;

    RecordingProgress progress;
    ASSERT_EQ(data.Read(file, false, &progress), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(progress.totals, std::vector<int>{100});
    EXPECT_EQ(progress.log.front(), "start kind 3 100");
    EXPECT_EQ(progress.ends, 1);
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_TRUE(std::is_sorted(progress.steps.begin(), progress.steps.end()));
    EXPECT_EQ(std::adjacent_find(progress.steps.begin(), progress.steps.end()),
              progress.steps.end());
    EXPECT_LE(progress.steps.back(), 100);
    // Lines x 30 / bytes: 203 lines of about 24 bytes is more than 100 % and stays 100.
    EXPECT_EQ(progress.steps.back(), 100);

    // The callback cancels half-way: the grid read before stays.
    const CString other = put(kType1Header + "53394600 1 2\r\n", "other.par");
    ASSERT_EQ(data.Read(other, false, nullptr), CNVPRM_READ_SUCCESS);
    RecordingProgress cancel;
    cancel.onProgress = [](int done) { return done < 50; };
    EXPECT_EQ(data.Read(file, false, &cancel), CNVPRM_READ_STOPPED);
    expectHeld(data, other, 1);
    EXPECT_EQ(cancel.ends, 1);

    // Another party sets the stop flag while the file is read.
    RecordingProgress stopper;
    stopper.onProgress = [&data](int done) {
        if (done >= 40)
            data.StopReading();
        return true;
    };
    EXPECT_EQ(data.Read(file, true, &stopper), CNVPRM_READ_STOPPED);
    expectHeld(data, other, 1);
    EXPECT_EQ(stopper.ends, 1);
    // A new read clears the flag.
    EXPECT_EQ(data.Read(file, true, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(data.GetElmCount(), 200u);
}

TEST_F(JCnvPrmDataTest, CacheReadCancelAndStop) {
    const CString cache = put(smallCache(), "grid.bin");
    JCnvPrmData data;
    RecordingProgress cancel;
    cancel.onProgress = [](int) { return false; };
    EXPECT_EQ(data.ReadBin(cache, false, &cancel), CNVPRM_READ_STOPPED);
    expectEmpty(data);
    EXPECT_EQ(cancel.steps, (std::vector<int>{50}));
    EXPECT_EQ(cancel.ends, 1);

    RecordingProgress stopper;
    stopper.onProgress = [&data](int) {
        data.StopReading();
        return true;
    };
    EXPECT_EQ(data.ReadBin(cache, true, &stopper), CNVPRM_READ_STOPPED);
    expectEmpty(data);
    EXPECT_EQ(stopper.steps.size(), 1u);
    EXPECT_EQ(stopper.ends, 1);
}

TEST(JCnvPrm1stTblTest, SortsFindsAndStops) {
    std::vector<WORD> keys;
    for (WORD k = 0; k < 7800; k += 7)
        keys.push_back(k);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(11));

    for (bool stoppable : {false, true}) {
        JCnvPrm1stTbl table(5339);
        for (WORD k : keys)
            table.Append(new JCnvPrmElm(JMeshCodeElm(k), k * 0.5f, -k * 0.25f));
        std::atomic<bool> stop{false};
        ASSERT_TRUE(table.ExecSort(stoppable ? &stop : nullptr));
        EXPECT_TRUE(table.IsSorted());
        ASSERT_EQ(table.GetSize(), keys.size());
        for (WORD k : keys) {
            const JCnvPrmElm *elm = table.Find(JMeshCodeElm(k));
            ASSERT_NE(elm, nullptr);
            EXPECT_EQ(elm->GetdB(), k * 0.5f);
        }
        EXPECT_EQ(table.Find(JMeshCodeElm(WORD(1))), nullptr);
        EXPECT_EQ(table.Find(JMeshCodeElm(WORD(7800))), nullptr);
    }

    // A stopped sort answers false and loses no node.
    JCnvPrm1stTbl table(5339);
    for (WORD k : keys)
        table.Append(std::make_unique<JCnvPrmElm>(JMeshCodeElm(k), 0.0f, 0.0f));
    std::atomic<bool> stop{true};
    EXPECT_FALSE(table.ExecSort(&stop));
    EXPECT_EQ(table.GetSize(), keys.size());

    // Equal keys keep their order in the merge sort.
    JCnvPrm1stTbl equal(5339);
    equal.Append(new JCnvPrmElm(JMeshCodeElm(WORD(5)), 1.0f, 0.0f));
    equal.Append(new JCnvPrmElm(JMeshCodeElm(WORD(2)), 0.0f, 0.0f));
    equal.Append(new JCnvPrmElm(JMeshCodeElm(WORD(5)), 2.0f, 0.0f));
    ASSERT_TRUE(equal.ExecSort());
    EXPECT_EQ(equal.GetAt(1)->GetdB(), 1.0f);
    EXPECT_EQ(equal.GetAt(2)->GetdB(), 2.0f);

    EXPECT_TRUE(equal.IsSame(mesh(53390000)));
    EXPECT_TRUE(equal.IsLessThan(mesh(53400000)));
    EXPECT_TRUE(equal.IsGreaterThan(mesh(53380000)));
    EXPECT_FALSE(equal.IsLessThan(mesh(53390000)));
}

TEST(JCnvPrmDataAppendTest, AppendGroupsByFirstLevelMesh) {
    JCnvPrmData data;
    EXPECT_EQ(data.GetFileType(), CNVPRM_TYPE_TKY2JGD);
    EXPECT_FALSE(data.IsDataReady());
    data.Append(mesh(53394600), new JCnvPrmElm(JMeshCodeElm(WORD(0)), 1.0f, 2.0f));
    data.Append(mesh(53404600), new JSemiDynPrmElm(JMeshCodeElm(WORD(0)), 3.0f, 4.0f, 5.0f));
    data.Append(mesh(53394700), new JCnvPrmElm(JMeshCodeElm(WORD(0)), 6.0f, 7.0f));
    data.Append(mesh(53394800), nullptr);
    ASSERT_EQ(data.GetTableCount(), 2u);
    EXPECT_EQ(data.GetTable(0)->GetCode1(), 5339);
    EXPECT_EQ(data.GetTable(0)->GetSize(), 2u);
    // The node takes the key of the code it is filed under.
    EXPECT_EQ(data.GetTable(0)->GetAt(1)->GetKey(), 4700);
    ASSERT_NE(data.Find(mesh(53394700)), nullptr);
    EXPECT_EQ(data.Find(mesh(53394700))->GetdB(), 6.0f);
    ASSERT_NE(data.FindSemiDynPrm(mesh(53404600)), nullptr);
    EXPECT_EQ(data.FindSemiDynPrm(mesh(53404600))->GetdH(), 5.0f);
    EXPECT_EQ(data.FindSemiDynPrm(mesh(53394600)), nullptr);
    EXPECT_EQ(data.Find(JMeshCode(5339, 46, 255)), nullptr);
}

// The grids of the sorted tables give the shifts of the very nodes that Find gives for the
// square of a point and its neighbours: inside a mesh, across first-level edges, where a
// table is missing, for a code given twice (the first line wins), on both sides of 100
// degrees east (where the first-level code of a point is no longer that of its corner), and
// again once an Append has unsorted the data.
TEST_F(JCnvPrmDataTest, ShiftLookupsGiveTheNodesThatFindGives) {
    // Squares around two corners of four first-level meshes: 5339/5340/5439/5440 (5440
    // missing) and 5299/5200/5399/5300 at 100 degrees east; every seventh square missing.
    const int centres[2][2] = {{129600, 504000}, {127200, 360000}};
    std::string text = kType1Header;
    int n = 0;
    for (const auto &centre : centres)
        for (int latSec = centre[0] - 90; latSec <= centre[0] + 60; latSec += 30)
            for (int lonSec = centre[1] - 135; lonSec <= centre[1] + 90; lonSec += 45) {
                const JMeshCode code = JMeshCode::CreateMeshCode(latSec, lonSec, 2);
                if (code.GetCode1() == 5440 || ++n % 7 == 0)
                    continue;
                text += std::string(code.GetCodeStr().GetString()) + " " + std::to_string(n) +
                        ".5 -" + std::to_string(n) + ".25\r\n";
            }
    text += "53390000 1000 2000\r\n53390000 3000 4000\r\n";
    JCnvPrmData data;
    ASSERT_EQ(data.Read(put(text, "corners.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    data.Append(JMeshCode::CreateMeshCode(129600, 504000, 2),
                new JCnvPrmElm(JMeshCodeElm(WORD(0)), 5.0f, 6.0f));

    auto expectAgreement = [&](const char *when) {
        int found = 0;
        for (const auto &centre : centres)
            for (double dLat = -115.5; dLat < 90; dLat += 11.0)
                for (double dLon = -170.5; dLon < 135; dLon += 16.0) {
                    const JMeshCode s = JMeshCode::CreateMeshCode(
                        (centre[0] + dLat) / Angle::m_RI, (centre[1] + dLon) / Angle::m_RI, 2);
                    SCOPED_TRACE(testing::Message() << when << " " << s.GetCodeStr().GetString());
                    const JMeshCode codes[4] = {s, s.GetAdjMeshCode(30, 0), s.GetAdjMeshCode(0, 45),
                                                s.GetAdjMeshCode(30, 45)};
                    const int lat = s.GetLatSec(), lon = s.GetLonSec();
                    float dB = -1, dL = -1;
                    const JCnvPrmElm *node = data.Find(s);
                    ASSERT_EQ(data.FindShift(lat, lon, &dB, &dL), node != nullptr);
                    if (node != nullptr) {
                        ++found;
                        EXPECT_EQ(dB, node->GetdB());
                        EXPECT_EQ(dL, node->GetdL());
                    }
                    bool all = true;
                    for (const JMeshCode &code : codes)
                        all = all && data.Find(code) != nullptr;
                    float cellB[4], cellL[4];
                    ASSERT_EQ(data.FindCellShifts(lat, lon, cellB, cellL), all);
                    for (int k = 0; all && k < 4; ++k) {
                        EXPECT_EQ(cellB[k], data.Find(codes[k])->GetdB());
                        EXPECT_EQ(cellL[k], data.Find(codes[k])->GetdL());
                    }
                }
        EXPECT_GT(found, 100);
    };
    expectAgreement("unsorted after Append");
    ASSERT_EQ(data.Read(put(text, "corners.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    expectAgreement("sorted");

    float dB = 0, dL = 0;
    ASSERT_TRUE(data.FindShift(53 * 2400, 139 * 3600, &dB, &dL));
    EXPECT_EQ(dB, 1000.0f);
    EXPECT_EQ(dL, 2000.0f);
    EXPECT_FALSE(data.FindShift(54 * 2400, 140 * 3600, &dB, &dL));
}

// Nodes added as values are sorted, found and indexed like nodes appended whole; the node
// objects given out stay where they are whatever the table does next.
TEST(JCnvPrm1stTblTest, NodesAddedAsValuesSortFindAndStay) {
    std::vector<WORD> keys;
    for (WORD k = 0; k < 7800; k += 13)
        keys.push_back(k);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(3));
    for (bool stoppable : {false, true}) {
        JCnvPrm1stTbl table(5339);
        for (WORD k : keys)
            table.AppendNode(k, k * 0.5f, -k * 0.25f);
        // The same key again later: the stable sort keeps it second.
        table.AppendNode(keys.front(), 99.0f, 99.0f);
        std::atomic<bool> stop{false};
        ASSERT_TRUE(table.ExecSort(stoppable ? &stop : nullptr));
        EXPECT_TRUE(table.IsSorted());
        ASSERT_EQ(table.GetSize(), keys.size() + 1);
        for (WORD k : keys) {
            const JCnvPrmElm *elm = table.Find(JMeshCodeElm(k));
            ASSERT_NE(elm, nullptr) << k;
            EXPECT_EQ(elm->GetKey(), k);
            EXPECT_EQ(elm->GetdL(), -k * 0.25f);
        }
        if (!stoppable) {
            EXPECT_EQ(table.Find(JMeshCodeElm(keys.front()))->GetdB(), keys.front() * 0.5f);
        }
        EXPECT_EQ(table.Find(JMeshCodeElm(WORD(1))), nullptr);
    }

    JCnvPrm1stTbl table(5339);
    table.AppendNode(10, 1.0f, 2.0f);
    table.AppendNode(20, 3.0f, 4.0f);
    const JCnvPrmElm *first = table.GetAt(0);
    const JCnvPrmElm *second = table.Find(JMeshCodeElm(WORD(20)));
    ASSERT_EQ(second, table.GetAt(1));
    // Adding after the objects were given out, in each way, then reordering.
    table.AppendNode(5, 5.0f, 6.0f);
    table.AppendSemiDynNode(15, 7.0f, 8.0f, 9.0f);
    table.Append(new JCnvPrmElm(JMeshCodeElm(WORD(1)), 10.0f, 11.0f));
    JCnvPrm1stTbl other(5339);
    other.AppendNode(25, 12.0f, 13.0f);
    const JCnvPrmElm *fromOther = other.GetAt(0);
    table.AppendAll(other);
    EXPECT_EQ(other.GetSize(), 0u);
    ASSERT_TRUE(table.ExecSort());
    ASSERT_EQ(table.GetSize(), 6u);
    EXPECT_EQ(first->GetKey(), 10);
    EXPECT_EQ(first->GetdB(), 1.0f);
    EXPECT_EQ(second->GetdL(), 4.0f);
    EXPECT_EQ(table.Find(JMeshCodeElm(WORD(10))), first);
    EXPECT_EQ(table.Find(JMeshCodeElm(WORD(25))), fromOther);
    const std::vector<WORD> order = {1, 5, 10, 15, 20, 25};
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(table.GetAt(i)->GetKey(), order[i]);
    EXPECT_NE(dynamic_cast<const JSemiDynPrmElm *>(table.Find(JMeshCodeElm(WORD(15)))), nullptr);
    EXPECT_EQ(dynamic_cast<const JSemiDynPrmElm *>(table.Find(JMeshCodeElm(WORD(5)))), nullptr);
}

// Readers on several threads ask a freshly read table for its nodes at the same time.
TEST_F(JCnvPrmDataTest, NodesAreFoundFromSeveralThreadsAtOnce) {
    std::string text = kType1Header;
    for (int code3 = 0; code3 < 100; ++code3)
        text += "533946" + std::to_string(100 + code3).substr(1) + " " + std::to_string(code3) +
                " 1\r\n";
    JCnvPrmData data;
    ASSERT_EQ(data.Read(put(text, "grid.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    std::vector<const JCnvPrmElm *> seen[4];
    std::vector<std::thread> readers;
    for (auto &found : seen)
        readers.emplace_back([&data, &found] {
            for (int code3 = 0; code3 < 100; ++code3)
                found.push_back(data.Find(mesh(53394600 + code3)));
        });
    for (auto &reader : readers)
        reader.join();
    for (const auto &found : seen) {
        ASSERT_EQ(found.size(), 100u);
        for (int code3 = 0; code3 < 100; ++code3) {
            ASSERT_NE(found[code3], nullptr);
            EXPECT_EQ(found[code3], seen[0][code3]);
            EXPECT_EQ(found[code3]->GetdB(), static_cast<float>(code3));
        }
    }
}

// A first-level mesh of more nodes than its index can number (codes given many times) is
// read, sorted and searched without the index.
TEST_F(JCnvPrmDataTest, TableOfManyRepeatedCodesIsSearchedWithoutIndex) {
    std::string text = kType1Header;
    // 70,000 lines over the 6,400 squares of mesh 5339, each square about 11 times.
    for (int i = 0; i < 70000; ++i) {
        char line[48];
        std::snprintf(line, sizeof line, "5339%d%d%02d %d 0.5\r\n", i / 100 % 8, i / 800 % 8,
                      i % 100, i);
        text += line;
    }
    text += "53400000 1 2\r\n";
    JCnvPrmData data;
    ASSERT_EQ(data.Read(put(text, "many.par"), false, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(data.GetElmCount(), 70001u);
    for (int latSec = 53 * 2400; latSec < 53 * 2400 + 300; latSec += 30)
        for (int lonSec = 139 * 3600; lonSec < 140 * 3600 + 90; lonSec += 45) {
            const JCnvPrmElm *node = data.Find(JMeshCode::CreateMeshCode(latSec, lonSec, 2));
            float dB = -1, dL = -1;
            ASSERT_EQ(data.FindShift(latSec, lonSec, &dB, &dL), node != nullptr);
            if (node != nullptr) {
                EXPECT_EQ(dB, node->GetdB());
                EXPECT_EQ(dL, node->GetdL());
            }
        }
    float dB = 0, dL = 0;
    ASSERT_TRUE(data.FindShift(53 * 2400, 140 * 3600, &dB, &dL));
    EXPECT_EQ(dB, 1.0f);
}
