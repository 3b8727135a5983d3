#include "veltrane/database/Veltrane.h"

#include "exchange/Vesk/VeskBase.h"
#include "tests/support/SurveyData.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>

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

} // namespace
