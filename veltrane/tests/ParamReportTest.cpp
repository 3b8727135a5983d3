// The parameter report of the engines: its text lines byte for byte and its cells.
#include "veltrane/conversion/CoordConvHelmert.h"
#include "veltrane/conversion/CoordConvNoTrend.h"
#include "veltrane/conversion/CoordConvParaTrans.h"
#include "veltrane/conversion/CoordConvSimilar.h"
#include "veltrane/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// Gives the tests the rotation cell of the report.
struct RotationProbe : CoordConvParam {
    using CoordConvParam::ParamItem;
    using CoordConvParam::rotationItem;
};

std::vector<std::string> Text(const std::vector<CString> &lines) {
    std::vector<std::string> out;
    for (const CString &line : lines)
        out.emplace_back(static_cast<const char *>(line));
    return out;
}

TEST(ParamReport, TheSecondTranslationWithTheScaleCorrectionAndNotes) {
    Veltrane db;
    db.Append(BasisPoint(1, "A", 0.0, 0.0, 355.5, -292.75));
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    CoordCnvOption option;
    option.m_nFlag = 2 | CoordCnvOption::kAddGeoidHeight;
    option.m_dScaleFactor = 0.9999;
    option.m_dMeanHeight = 637.0;
    option.m_dMeanGeoidHeight = 12.25;
    option.m_nTakeGeoid = 1;
    option.m_fResidualInterp = true;
    option.m_fDatumShift = true;
    // The datum shift needs the shifted Tokyo coordinate of the basis point.
    Point *a = db.Find(CString("A"));
    a->SetTky3PrmCrd(a->GetTokyoDatum());
    ASSERT_TRUE(engine.Calculation(option));

    std::vector<CString> lines;
    ASSERT_TRUE(engine.GetParamStrings(&lines, &db, CoordConvParam::PrmStrNotes));
    EXPECT_EQ(Text(lines), std::vector<std::string>({
                               "変換方式       ローカル変換方式(平行移動)",
                               "x方向並進           355.500000 m",
                               "y方向並進          -292.750000 m",
                               "平均縮尺係数       0.999900000",
                               "平均標高            637.000000 m",
                               "平均ジオイド高       12.250000 m",
                               "３パラメータ変換後、変換パラメータが求められています。",
                               "変換基準点との距離の逆数を重みとした最小２乗内挿が行われています。",
                           }));
    // Without the notes flag the report ends with the parameters.
    lines.clear();
    ASSERT_TRUE(engine.GetParamStrings(&lines, &db, CoordConvParam::PrmStrBlock));
    EXPECT_EQ(lines.size(), 6u);

    std::vector<ResPrtLine> cells;
    ASSERT_TRUE(engine.GetParamStrings(&cells, &db));
    ASSERT_EQ(cells.size(), 6u);
    for (const ResPrtLine &line : cells) {
        ASSERT_EQ(line.GetCells().size(), 2u);
        EXPECT_EQ(line.GetCells()[0].attr, 21);
        EXPECT_EQ(line.GetCells()[1].attr, 36);
    }
    EXPECT_EQ(cells[1].GetCells()[0].text, "x方向並進");
    EXPECT_EQ(cells[1].GetCells()[1].text, "     355.500000 m");
    EXPECT_EQ(cells[3].GetCells()[1].text, "    0.999900000");
}

TEST(ParamReport, WithoutTheScaleCorrectionNoMeansAreListed) {
    Veltrane db;
    db.Append(BasisPoint(1, "A", 0.0, 0.0, 355.5, -292.75));
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    CoordCnvOption option;
    option.m_nFlag = 1 | CoordCnvOption::kAddGeoidHeight;
    ASSERT_TRUE(engine.Calculation(option));
    std::vector<CString> lines;
    ASSERT_TRUE(engine.GetParamStrings(&lines, &db, CoordConvParam::PrmStrNotes));
    EXPECT_EQ(Text(lines), std::vector<std::string>({
                               "変換方式       ローカル変換方式(平行移動)",
                               "x方向並進           355.500000 m",
                               "y方向並進          -292.750000 m",
                           }));
}

TEST(ParamReport, RotationsFromSixtySecondsOnAreDegreesMinutesSeconds) {
    const auto shortForm =
        RotationProbe::rotationItem("回転", "           ", "                ", 59.9999);
    EXPECT_EQ(shortForm.label + shortForm.gap + shortForm.text,
              "回転                   59.9999 秒");
    const auto longForm =
        RotationProbe::rotationItem("回転", "           ", "                ", 60.0);
    EXPECT_EQ(longForm.label + longForm.gap + longForm.text, "回転              0-01-00.0000");
    const auto negative =
        RotationProbe::rotationItem("x軸回転", "        ", "             ", -3725.5);
    EXPECT_EQ(negative.label + negative.gap + negative.text, "x軸回転          -1-02-05.5000");
    EXPECT_EQ(negative.cell, negative.text);
}

TEST(ParamReport, PlainHelmertReportsScaleAndRotationAsFitted) {
    Veltrane db;
    const double a = 1.00002, b = 4.0e-6;
    const double pts[][2] = {{0.0, 0.0}, {1000.0, 0.0}, {0.0, 1000.0}};
    for (int i = 0; i < 3; ++i) {
        const double x = pts[i][0], y = pts[i][1];
        db.Append(BasisPoint(i + 1, CString("H") + std::to_string(i).c_str(), x, y,
                             a * x + b * y + 100.0, -b * x + a * y - 50.0));
    }
    CoordConvHelmert engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(CoordCnvOption()));
    std::vector<CString> lines;
    ASSERT_TRUE(engine.GetParamStrings(&lines, &db, CoordConvParam::PrmStrNotes));
    EXPECT_EQ(Text(lines), std::vector<std::string>({
                               "変換方式       ZUB方式(最良線形最小バイアス推定: QUENDOR)",
                               "x方向並進       100.000000 m",
                               "y方向並進       -50.000000 m",
                               "スケール        1.000020000",
                               "回転            0.8251 秒",
                           }));
}

TEST(ParamReport, TheSimilarityCellKeepsNineDecimalsOfTheRotation) {
    Veltrane db;
    // X' = X + t Y + 10, Y' = Y - t X + 20 with t = 1e-5 (2.0626 seconds).
    db.Append(BasisPoint(1, "A", 0.0, 0.0, 10.0, 20.0));
    db.Append(BasisPoint(2, "B", 100.0, 0.0, 110.0, 19.999));
    CoordConvSimilar engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(CoordCnvOption()));
    std::vector<ResPrtLine> cells;
    ASSERT_TRUE(engine.GetParamStrings(&cells, &db));
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[3].GetCells()[0].text, "回転");
    EXPECT_EQ(cells[3].GetCells()[1].text, "    2.062648062 秒");
    std::vector<CString> lines;
    ASSERT_TRUE(engine.GetParamStrings(&lines, &db, CoordConvParam::PrmStrNotes));
    EXPECT_EQ(Text(lines).back(), "回転            2.0626 秒");
}

TEST(ParamReport, TheNoTrendReportIsTheMethodAlone) {
    Veltrane db;
    db.Append(BasisPoint(1, "A", 0.0, 0.0, 10.0, 20.0));
    CoordConvNoTrend engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    CoordCnvOption option;
    option.m_fResidualInterp = true;
    ASSERT_TRUE(engine.Calculation(option));
    std::vector<CString> lines;
    ASSERT_TRUE(engine.GetParamStrings(&lines, &db, CoordConvParam::PrmStrNotes));
    EXPECT_EQ(Text(lines), std::vector<std::string>(
                               {"変換方式       ローカル変換方式(重み付け補間による方法)"}));
    std::vector<ResPrtLine> cells;
    ASSERT_TRUE(engine.GetParamStrings(&cells, &db));
    EXPECT_EQ(cells.size(), 1u);
}

} // namespace
