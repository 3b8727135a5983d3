#include "veltrane/database/Veltrane.h"

#include "exchange/Vesk/VeskBase.h"
#include "platform/core/CFileFind.h"
#include "platform/core/Path.h"
#include "tests/support/SurveyData.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"
#include "veltrane/model/JFileCrdCnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

namespace {

// The survey area's basis and check points converted by the centroid translation; its targets
// written as an exchange file in the Tokyo datum.
class FileConvertTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::vector<testsupport::SurveyPoint> known, targets;
        for (const testsupport::SurveyPoint &s : testsupport::SurveyZone9())
            (s.kind == "target" ? targets : known).push_back(s);
        testsupport::AddSurveyPoints(m_db, known);
        m_db.SetCoordCnvKind(CrdCnvParaTrans2);
        ASSERT_TRUE(m_db.PrepareCoordConv(m_db.GetCoordCnvOption(), nullptr));
        ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr));

        Veltrane source;
        testsupport::AddSurveyPoints(source, targets);
        m_targets = targets;
        ASSERT_TRUE(source.WriteVesk(path("src.sim"), CrdKindTokyo, ITRFKindNone, 0,
                                     VESK_VERSION_03, false));
    }
    Veltrane m_db;
    std::vector<testsupport::SurveyPoint> m_targets;
};

TEST_F(FileConvertTest, AnExchangeFileConvertsWithTheCurrentEngine) {
    EXPECT_EQ(m_db.JudgeFileFormat(path("src.sim")), JGDCrdFmtExchange);
    std::vector<CString> messages;
    ASSERT_TRUE(m_db.CoordConvExecute(path("src.sim"), path("dst.sim"), "", ConvertToNew,
                                      JGDCrdFmtExchange, &messages, nullptr));
    Veltrane result;
    result.SetCurrentPlaneArea(9);
    ASSERT_TRUE(result.ReadVesk(path("dst.sim"), nullptr, CrdKindObsITRF, ITRFKindCnvBasis));
    ASSERT_EQ(result.size(), m_targets.size());
    const CoordConvParam *engine = m_db.GetSelectedCoordConvParam();
    for (const testsupport::SurveyPoint &s : m_targets) {
        Coordinate expected;
        CoordConvStatusD status;
        ASSERT_TRUE(engine->Transform(Coordinate(s.tokyoX, s.tokyoY, s.tokyoH, true, 0, false),
                                      &expected, &status));
        const Coordinate got = result.Find(s.name)->GetObservedITRF();
        EXPECT_NEAR(got.GetX(), expected.GetX(), 1e-6) << ToUtf8(s.name);
        EXPECT_NEAR(got.GetY(), expected.GetY(), 1e-6) << ToUtf8(s.name);
    }
    // The comment block describes the conversion.
    const std::string written = get("dst.sim");
    EXPECT_NE(written.find(CString("座標変換プログラム名").Bytes()), std::string::npos);
}

TEST_F(FileConvertTest, MissingEnginesAreReportedNotConverted) {
    std::vector<CString> messages;
    EXPECT_FALSE(m_db.BlockCoordConvExecute(path("src.sim"), path("dst.sim"), "", ConvertToNew,
                                            JGDCrdFmtExchange, 3, &messages, nullptr));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], CString("ブロック番号が 3 のブロックが見つからなかったため、"
                                   "変換を行うことができませんでした。"));
    EXPECT_FALSE(exists("dst.sim"));

    Veltrane empty;
    messages.clear();
    EXPECT_FALSE(empty.CoordConvExecute(path("src.sim"), path("dst.sim"), "", ConvertToNew,
                                        JGDCrdFmtExchange, &messages, nullptr));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        messages[0],
        CString("変換パラメータが取得できななかったため、変換を行うことができませんでした。"));
    EXPECT_FALSE(m_db.CoordConvExecute(path("src.sim"), path("dst.sim"), "", ConvertToNew,
                                       JGDCrdFmtUnknown, nullptr, nullptr));
    put("not coordinates\r\n", "other.txt");
    EXPECT_EQ(m_db.JudgeFileFormat(path("other.txt")), JGDCrdFmtUnknown);
}

// Every source of a folder converted by a job of its own, named after its source: the
// destination path of each, and the number of points each output holds.
std::map<std::string, std::size_t> convertFolder(Veltrane &db, const CString &folder) {
    std::vector<CString> sources;
    CFileFind find;
    for (bool more = find.FindFile(Path::Join(folder, "*.sim")); more;) {
        more = find.FindNextFile();
        sources.push_back(find.GetFilePath());
    }
    std::map<std::string, std::size_t> outputs;
    for (const CString &source : sources) {
        JFileCrdCnvElm job(source);
        EXPECT_TRUE(job.MakeDstFilePath(0)) << ToUtf8(source);
        std::vector<CString> messages;
        EXPECT_TRUE(db.CoordConvExecute(source, job.GetDstFilePath(), "", ConvertToNew,
                                        JGDCrdFmtExchange, &messages, nullptr))
            << ToUtf8(source) << ": " << (messages.empty() ? "" : ToUtf8(messages[0]));
        std::string native;
        EXPECT_TRUE(Path::ToNative(job.GetDstFilePath(), native));
        Veltrane result;
        result.SetCurrentPlaneArea(9);
        EXPECT_TRUE(
            result.ReadVesk(job.GetDstFilePath(), nullptr, CrdKindObsITRF, ITRFKindCnvBasis));
        outputs[native] = result.size();
    }
    return outputs;
}

// Names as other programs write them: an emoji, kana decomposed as a Mac or Linux file manager
// writes them, and the cp932 bytes of a name unpacked from a Windows archive (no UTF-8). Each
// output is named after its source as spelled, never with "?" for what cp932 lacks.
TEST_F(FileConvertTest, AFolderConversionNamesItsOutputsAsItsSourcesAreSpelled) {
    using testsupport::Utf8Bytes;
    const std::string titles[] = {Utf8Bytes(u8"\U0001F600"
                                            "1"),
                                  Utf8Bytes(u8"\u30CF\u309A"
                                            "1"),
                                  "\x91\xAA\x93\x5F"
                                  "1"};
    namespace fs = std::filesystem;
    fs::create_directory(m_dir / "in");
    for (const std::string &title : titles)
        testsupport::WriteFileBytes(m_dir / "in" / (title + ".sim"), get("src.sim"));
    const auto outputs = convertFolder(m_db, path("in"));
    ASSERT_EQ(outputs.size(), std::size(titles));
    for (const std::string &title : titles) {
        const std::string output = (m_dir / "in" / (title + Utf8Bytes(u8"～変換後.sim"))).string();
        ASSERT_EQ(outputs.count(output), 1u) << output;
        EXPECT_EQ(outputs.at(output), m_targets.size());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "in"), fs::directory_iterator()),
              2 * static_cast<std::ptrdiff_t>(std::size(titles)));
    // The comments of an output name its source as a cp932 file shows it.
    for (const auto &[title, shown] : {std::pair{titles[0], "?1.sim"}, {titles[1], "ハ?1.sim"}}) {
        const std::string output =
            testsupport::ReadFileBytes(m_dir / "in" / (title + Utf8Bytes(u8"～変換後.sim")));
        EXPECT_NE(output.find((CString("変換元のファイル名  ：") + shown).Bytes()),
                  std::string::npos)
            << output;
    }
}

// Two sources of one folder that only "〜" U+301C and "～" U+FF5E tell apart: each is converted,
// from its own points, into an output of its own spelling.
TEST_F(FileConvertTest, LookAlikeSourcesAreEachConverted) {
    using testsupport::Utf8Bytes;
    namespace fs = std::filesystem;
    fs::create_directory(m_dir / "in");
    testsupport::WriteFileBytes(m_dir / "in" / Utf8Bytes(u8"出力〜1.sim"), get("src.sim"));
    Veltrane one;
    testsupport::AddSurveyPoints(one, {m_targets.front()});
    ASSERT_TRUE(
        one.WriteVesk(Path::FromNative((m_dir / "in" / Utf8Bytes(u8"出力～1.sim")).string()),
                      CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, false));
    const auto outputs = convertFolder(m_db, path("in"));
    const std::map<std::string, std::size_t> expected = {
        {(m_dir / "in" / Utf8Bytes(u8"出力〜1～変換後.sim")).string(), m_targets.size()},
        {(m_dir / "in" / Utf8Bytes(u8"出力～1～変換後.sim")).string(), 1u}};
    EXPECT_EQ(outputs, expected);
}

// A line a conversion cannot take as it stands, in each of the three converted formats: a NUL
// (which would reach the output, ending the line's text there for other programs) and a UTF-8
// line in a cp932 file (which read as cp932 is other characters). The conversion stops at it,
// says so, and writes nothing.
TEST_F(FileConvertTest, ConversionsStopAtANulLineAndAtAUtf8LineOfACp932File) {
    struct Form {
        JGDCrdFileFormat format;
        std::vector<std::string> lines; // a point named N on line 2, a cp932 name on line 3
    };
    const Form forms[] = {
        {JGDCrdFmtExchange,
         {"A00,", "A01,1,N,-30000.5,-7000.25,1.5,", "A01,2,測点2,-30001,-7001,,", "A99,"}},
        {JGDCrdFmtKjnText,
         {"A00,", "A01,00001,N,35.0,139.0,-30000.5,-7000.25,09,1.5,,",
          "A01,00002,測点2,35.0,139.0,-30001,-7001,09,,,", "A99,"}},
        {JGDCrdFmtGridText, {"# points", "-30000.5 -7000.25 N", "-30001 -7001 測点2"}},
    };
    const std::pair<std::string, CString> bad[] = {
        {std::string("N\0Q", 3), "行にNUL文字が含まれています。"},
        {testsupport::Utf8Bytes(u8"杭1"), "UTF-8の行とShift_JISの行が混在しています。Shift_JIS"
                                          "かUTF-8のどちらかにそろえて保存し直してください。"}};
    for (const Form &form : forms) {
        for (const auto &[name, reason] : bad) {
            std::string bytes;
            for (std::string line : form.lines) {
                const std::size_t at = line.find(",N,") != std::string::npos ? line.find(",N,") + 1
                                       : line.size() > 2 && line.back() == 'N' ? line.size() - 1
                                                                               : std::string::npos;
                if (at != std::string::npos)
                    line.replace(at, 1, name);
                bytes += line + "\r\n";
            }
            put(bytes, "bad.txt");
            std::vector<CString> messages;
            EXPECT_FALSE(m_db.CoordConvExecute(path("bad.txt"), path("out.txt"), "", ConvertToNew,
                                               form.format, &messages, nullptr))
                << form.format;
            EXPECT_FALSE(exists("out.txt")) << form.format;
            EXPECT_NE(std::find(messages.begin(), messages.end(),
                                "2行目：" + reason + "変換を中止しました。"),
                      messages.end())
                << form.format << ": " << (messages.empty() ? "" : ToUtf8(messages[0]));
        }
    }
}

} // namespace
