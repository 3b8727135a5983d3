#include "veltrane/model/DisplaySettings.h"

#include "veltrane/tests/SettingsFileTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::Bytes;

class DisplaySettingsTest : public SettingsFileTest {
  protected:
    // Every prefix of the record is refused and leaves the setting as it was.
    template <typename Setting>
    void expectCutShortRefused(Setting &setting, const std::string &record,
                               const std::string &before) {
        for (std::size_t n = 0; n < record.size(); ++n) {
            SCOPED_TRACE(n);
            EXPECT_FALSE(load(setting, record.substr(0, n)));
            EXPECT_EQ(saved(setting), before);
        }
    }
};

TEST_F(DisplaySettingsTest, AdmDisplayYearIsATwoDigitEdition) {
    JAdmDspSetting adm;
    EXPECT_EQ(adm.GetDisplayYear(), -1);
    EXPECT_TRUE(adm.GetDispCityName());
    EXPECT_TRUE(adm.GetDispCityLine());
    EXPECT_EQ(adm.GetPrefSize(), 0);

    for (int refused : {0, 100, -1, -99}) {
        EXPECT_FALSE(adm.SetDisplayYear(refused)) << refused;
        EXPECT_EQ(adm.GetDisplayYear(), -1);
    }
    EXPECT_TRUE(adm.SetDisplayYear(1));
    EXPECT_TRUE(adm.SetDisplayYear(99));
    EXPECT_FALSE(adm.SetDisplayYear(0));
    EXPECT_EQ(adm.GetDisplayYear(), 99);
}

TEST_F(DisplaySettingsTest, AdmPrefecturesAreUniqueAndAscending) {
    JAdmDspSetting adm;
    EXPECT_TRUE(adm.AppendPrefCode(13));
    EXPECT_TRUE(adm.AppendPrefCode(1));
    EXPECT_TRUE(adm.AppendPrefCode(47));
    EXPECT_FALSE(adm.AppendPrefCode(13));
    ASSERT_EQ(adm.GetPrefSize(), 3);
    EXPECT_EQ(adm.GetPrefCode(0), 1);
    EXPECT_EQ(adm.GetPrefCode(1), 13);
    EXPECT_EQ(adm.GetPrefCode(2), 47);
    EXPECT_EQ(adm.GetPrefCode(3), 0);
    EXPECT_EQ(adm.GetPrefCode(-1), 0);

    // Clear takes the codes only.
    adm.SetDisplayYear(12);
    adm.SetDispCityName(false);
    adm.Clear();
    EXPECT_EQ(adm.GetPrefSize(), 0);
    EXPECT_EQ(adm.GetDisplayYear(), 12);
    EXPECT_FALSE(adm.GetDispCityName());
}

TEST_F(DisplaySettingsTest, AdmBoundaryFileNamesNeedAnEditionAndAPrefecture) {
    JAdmDspSetting adm;
    adm.AppendPrefCode(0);
    adm.AppendPrefCode(1);
    adm.AppendPrefCode(47);
    adm.AppendPrefCode(48);
    EXPECT_EQ(adm.GetPrefFileName(1, false).Bytes(), ""); // no edition chosen

    adm.SetDisplayYear(7);
    EXPECT_EQ(adm.GetPrefFileName(1, false).Bytes(), "N03-07A-01.txt");
    EXPECT_EQ(adm.GetPrefFileName(1, true).Bytes(), "N03-07A-2K_01.txt");
    EXPECT_EQ(adm.GetPrefFileName(2, false).Bytes(), "N03-07A-47.txt");
    EXPECT_EQ(adm.GetPrefFileName(0, false).Bytes(), "");
    EXPECT_EQ(adm.GetPrefFileName(3, true).Bytes(), "");
    EXPECT_EQ(adm.GetPrefFileName(4, false).Bytes(), "");
}

TEST_F(DisplaySettingsTest, AdmRecordBytes) {
    JAdmDspSetting adm;
    adm.SetDisplayYear(7);
    adm.SetDispCityName(false);
    adm.AppendPrefCode(47);
    adm.AppendPrefCode(1);
    adm.AppendPrefCode(13);
    EXPECT_EQ(saved(adm), Bytes().i32(7).u8(0).u8(1).i32(3).i32(1).i32(13).i32(47).data());
    EXPECT_EQ(saved(JAdmDspSetting()), Bytes().i32(-1).u8(1).u8(1).i32(0).data());
}

TEST_F(DisplaySettingsTest, AdmReadReplacesEverything) {
    JAdmDspSetting adm;
    adm.AppendPrefCode(40);
    // Codes out of order and twice, a switch stored as 2.
    ASSERT_TRUE(load(adm, Bytes().i32(21).u8(2).u8(0).i32(3).i32(30).i32(5).i32(30)));
    EXPECT_EQ(adm.GetDisplayYear(), 21);
    EXPECT_TRUE(adm.GetDispCityName());
    EXPECT_FALSE(adm.GetDispCityLine());
    ASSERT_EQ(adm.GetPrefSize(), 2);
    EXPECT_EQ(adm.GetPrefCode(0), 5);
    EXPECT_EQ(adm.GetPrefCode(1), 30);
    EXPECT_EQ(adm.GetPrefFileName(1, true).Bytes(), "N03-21A-2K_30.txt");
}

TEST_F(DisplaySettingsTest, AdmYearZeroFromAFileNamesNoFile) {
    JAdmDspSetting adm;
    ASSERT_TRUE(load(adm, Bytes().i32(0).u8(1).u8(1).i32(1).i32(13)));
    EXPECT_EQ(adm.GetDisplayYear(), 0);
    EXPECT_EQ(adm.GetPrefFileName(0, false).Bytes(), "");
    EXPECT_EQ(adm.GetPrefFileName(0, true).Bytes(), "");
}

TEST_F(DisplaySettingsTest, AdmBrokenRecordLeavesTheSetting) {
    JAdmDspSetting adm;
    adm.SetDisplayYear(9);
    adm.AppendPrefCode(26);
    const std::string before = saved(adm);
    expectCutShortRefused(adm, Bytes().i32(21).u8(0).u8(0).i32(2).i32(30).i32(5), before);
    EXPECT_FALSE(load(adm, Bytes().i32(21).u8(0).u8(0).i32(-1)));
    EXPECT_EQ(saved(adm), before);
}

TEST_F(DisplaySettingsTest, EdxMeshesAreUniqueAndInMeshOrder) {
    JEdxDspSetting edx;
    EXPECT_TRUE(edx.GetDispMeshLine());
    EXPECT_EQ(edx.GetDisplayVer().Bytes(), "");
    EXPECT_TRUE(edx.AppendCode(JMeshCode(5339, 46, 0)));
    EXPECT_TRUE(edx.AppendCode(JMeshCode(5339, 45, 255)));
    EXPECT_TRUE(edx.AppendCode(JMeshCode(5240, 0, 0)));
    EXPECT_FALSE(edx.AppendCode(JMeshCode(5339, 46, 0)));
    ASSERT_EQ(edx.GetCodeSize(), 3);
    EXPECT_EQ(edx.GetCode(0), JMeshCode(5240, 0, 0));
    EXPECT_EQ(edx.GetCode(1), JMeshCode(5339, 45, 255));
    EXPECT_EQ(edx.GetCode(2), JMeshCode(5339, 46, 0));
    EXPECT_EQ(edx.GetCode(3), JMeshCode(0, 255, 255));
    EXPECT_EQ(edx.GetCode(-1), JMeshCode(0, 255, 255));

    std::vector<JMeshCode> codes{JMeshCode(1, 2, 3)};
    edx.GetCodeVec(&codes);
    EXPECT_EQ(codes, (std::vector<JMeshCode>{JMeshCode(5240, 0, 0), JMeshCode(5339, 45, 255),
                                             JMeshCode(5339, 46, 0)}));
    edx.GetCodeVec(nullptr);

    edx.SetDisplayVer("2.1.1");
    edx.SetDispMeshLine(false);
    edx.ClearEdxCodes();
    EXPECT_EQ(edx.GetCodeSize(), 0);
    EXPECT_FALSE(edx.GetDispMeshLine());
    edx.AppendCode(JMeshCode(5339, 0, 0));
    edx.Clear();
    EXPECT_EQ(edx.GetCodeSize(), 0);
    EXPECT_TRUE(edx.GetDispMeshLine());
    EXPECT_EQ(edx.GetDisplayVer().Bytes(), "2.1.1");
}

TEST_F(DisplaySettingsTest, EdxRecordBytes) {
    JEdxDspSetting edx;
    edx.SetDispMeshLine(false);
    edx.SetDisplayVer("第2版");
    edx.AppendCode(JMeshCode(5339, 46, 0));
    edx.AppendCode(JMeshCode(5339, 45, 255));
    edx.AppendCode(JMeshCode(5240, 0, 0));
    const std::string record = Bytes()
                                   .u8(0)
                                   .raw(yText("\x91\xE6\x32\x94\xC5"))
                                   .i32(3)
                                   .i16(5240)
                                   .u8(0)
                                   .u8(0)
                                   .i16(5339)
                                   .u8(45)
                                   .u8(255)
                                   .i16(5339)
                                   .u8(46)
                                   .u8(0);
    EXPECT_EQ(saved(edx), record);

    JEdxDspSetting read;
    read.AppendCode(JMeshCode(6441, 0, 0));
    ASSERT_TRUE(load(read, record));
    EXPECT_FALSE(read.GetDispMeshLine());
    EXPECT_EQ(read.GetDisplayVer().Bytes(), "第2版");
    ASSERT_EQ(read.GetCodeSize(), 3);
    EXPECT_EQ(read.GetCode(0), JMeshCode(5240, 0, 0));
    EXPECT_EQ(read.GetCode(1), JMeshCode(5339, 45, 255));
    EXPECT_EQ(read.GetCode(2), JMeshCode(5339, 46, 0));
    EXPECT_EQ(saved(JEdxDspSetting()), Bytes().u8(1).raw(yText("")).i32(0).data());
}

TEST_F(DisplaySettingsTest, EdxBrokenRecordLeavesTheSetting) {
    JEdxDspSetting edx;
    edx.SetDisplayVer("1.0");
    edx.AppendCode(JMeshCode(5339, 46, 0));
    const std::string before = saved(edx);
    expectCutShortRefused(edx, Bytes().u8(0).raw(yText("2.0")).i32(1).i16(5240).u8(1).u8(2),
                          before);
    EXPECT_FALSE(load(edx, Bytes().u8(0).raw(yText("2.0")).i32(-3)));
    EXPECT_EQ(saved(edx), before);
}

TEST_F(DisplaySettingsTest, GrpRecordBytesKeepEveryField) {
    EXPECT_EQ(saved(JGrpDspSetting()),
              Bytes().i32(1).i32(1).u8(1).u8(1).u8(1).i32(0).i32(100).i32(255).u8(1).data());

    // Each field different from its default and from the others.
    const std::string record =
        Bytes().i32(7).i32(-8).u8(0).u8(1).u8(0).i32(9).i32(10).i32(11).u8(0);
    JGrpDspSetting grp;
    ASSERT_TRUE(load(grp, record));
    EXPECT_EQ(saved(grp), record);

    JGrpDspSetting copy;
    copy = grp;
    EXPECT_EQ(saved(JGrpDspSetting(copy)), record);
    expectCutShortRefused(grp, saved(JGrpDspSetting()), record);
}

TEST_F(DisplaySettingsTest, DrawSwitchRecord) {
    EXPECT_EQ(archived(JGDDrawSw()), Bytes().i32(1).i32(0).i32(1).i32(0).i32(0).i32(0).data());
    EXPECT_FALSE(JGDDrawSw().IsDrawErrIdx());

    JGDDrawSw sw;
    unarchive(sw, Bytes().i32(0).i32(1).i32(0).i32(-5).i32(42).i32(2));
    EXPECT_TRUE(sw.IsDrawErrIdx());
    EXPECT_EQ(archived(sw), Bytes().i32(0).i32(1).i32(0).i32(1).i32(42).i32(1).data());
}

TEST_F(DisplaySettingsTest, DrawSwitchRecordCutShortOrWrongWay) {
    JGDDrawSw sw;
    unarchive(sw, Bytes().i32(0).i32(1).i32(0).i32(1).i32(42).i32(1));
    const std::string before = archived(sw);
    const std::string other = Bytes().i32(1).i32(0).i32(1).i32(0).i32(7).i32(0);
    for (std::size_t n = 0; n < other.size(); ++n) {
        EXPECT_EQ(archiveCause([&] { unarchive(sw, other.substr(0, n)); }),
                  CArchiveException::endOfFile)
            << n;
        EXPECT_EQ(archived(sw), before);
    }

    put(before, "record.bin");
    CFile file(path("record.bin"), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(archiveCause([&] { sw.Write(ar); }), CArchiveException::readOnly);
}

} // namespace
