#include "veltrane/model/DisplaySettings.h"

#include "veltrane/tests/SettingsFileTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::Bytes;

class DisplaySettingsTest : public SettingsFileTest {
  protected:
    // A broken record and every part of it are refused and leave the setting
    // as it was.
    template <typename Setting> void expectRefused(Setting &setting, const std::string &broken) {
        const std::string before = saved(setting);
        for (std::size_t n = 0; n <= broken.size(); ++n) {
            EXPECT_FALSE(load(setting, broken.substr(0, n))) << n;
            EXPECT_EQ(saved(setting), before) << n;
        }
    }
};

TEST_F(DisplaySettingsTest, AdmYearsCodesAndFileNames) {
    JAdmDspSetting adm;
    EXPECT_EQ(adm.GetPrefFileName(0, false).Bytes(), ""); // no edition yet
    EXPECT_FALSE(adm.SetDisplayYear(0));
    EXPECT_FALSE(adm.SetDisplayYear(100));
    EXPECT_EQ(adm.GetDisplayYear(), -1);
    EXPECT_TRUE(adm.SetDisplayYear(99));
    EXPECT_TRUE(adm.SetDisplayYear(7));
    for (int code : {47, 1, 0, 48})
        EXPECT_TRUE(adm.AppendPrefCode(code));
    EXPECT_FALSE(adm.AppendPrefCode(47));
    ASSERT_EQ(adm.GetPrefSize(), 4);
    EXPECT_EQ(adm.GetPrefCode(0), 0);
    EXPECT_EQ(adm.GetPrefCode(2), 47);
    EXPECT_EQ(adm.GetPrefCode(4), 0);
    EXPECT_EQ(adm.GetPrefFileName(1, false).Bytes(), "N03-07A-01.txt");
    EXPECT_EQ(adm.GetPrefFileName(2, true).Bytes(), "N03-07A-2K_47.txt");
    for (int i : {0, 3, 4, -1})
        EXPECT_EQ(adm.GetPrefFileName(i, true).Bytes(), "") << i;
}

TEST_F(DisplaySettingsTest, AdmRecord) {
    JAdmDspSetting adm;
    adm.SetDisplayYear(7);
    adm.SetDispCityName(false);
    for (int code : {47, 1, 13})
        adm.AppendPrefCode(code);
    EXPECT_EQ(saved(adm), Bytes().i32(7).u8(0).u8(1).i32(3).i32(1).i32(13).i32(47).data());
    EXPECT_EQ(saved(JAdmDspSetting()), Bytes().i32(-1).u8(1).u8(1).i32(0).data());

    // Codes out of order and twice, a switch stored as 2; the old codes go.
    ASSERT_TRUE(load(adm, Bytes().i32(21).u8(2).u8(0).i32(3).i32(30).i32(5).i32(30)));
    EXPECT_EQ(saved(adm), Bytes().i32(21).u8(1).u8(0).i32(2).i32(5).i32(30).data());
    EXPECT_EQ(adm.GetPrefFileName(1, true).Bytes(), "N03-21A-2K_30.txt");

    // A year the setter refuses names no file, even from a file.
    ASSERT_TRUE(load(adm, Bytes().i32(0).u8(1).u8(1).i32(1).i32(13)));
    EXPECT_EQ(adm.GetDisplayYear(), 0);
    EXPECT_EQ(adm.GetPrefFileName(0, false).Bytes(), "");
    EXPECT_EQ(adm.GetPrefFileName(0, true).Bytes(), "");

    expectRefused(adm, Bytes().i32(21).u8(0).u8(0).i32(3).i32(30).i32(5));
    expectRefused(adm, Bytes().i32(21).u8(0).u8(0).i32(-1));
}

TEST_F(DisplaySettingsTest, EdxMeshes) {
    JEdxDspSetting edx;
    for (const JMeshCode &code :
         {JMeshCode(5339, 46, 0), JMeshCode(5339, 45, 255), JMeshCode(5240, 0, 0)})
        EXPECT_TRUE(edx.AppendCode(code));
    EXPECT_FALSE(edx.AppendCode(JMeshCode(5339, 46, 0)));
    EXPECT_TRUE(edx.GetCode(0) == JMeshCode(5240, 0, 0));
    EXPECT_TRUE(edx.GetCode(3) == JMeshCode(0, 255, 255));
    std::vector<JMeshCode> codes{JMeshCode(1, 2, 3)};
    edx.GetCodeVec(&codes);
    EXPECT_TRUE(codes == (std::vector<JMeshCode>{JMeshCode(5240, 0, 0), JMeshCode(5339, 45, 255),
                                                 JMeshCode(5339, 46, 0)}));

    edx.SetDispMeshLine(false);
    edx.SetDisplayVer("第2版");
    Bytes record;
    record.u8(0).raw(yText("\x91\xE6\x32\x94\xC5")).i32(3);
    record.i16(5240).u8(0).u8(0).i16(5339).u8(45).u8(255).i16(5339).u8(46).u8(0);
    EXPECT_EQ(saved(edx), record.data());
    JEdxDspSetting read;
    read.AppendCode(JMeshCode(6441, 0, 0));
    ASSERT_TRUE(load(read, record));
    EXPECT_EQ(saved(read), record.data());
    expectRefused(read, Bytes().u8(1).raw(yText("2.0")).i32(2).i16(5240).u8(1).u8(2));
    expectRefused(read, Bytes().u8(1).raw(yText("2.0")).i32(-3));

    // Clear turns mesh lines back on, ClearEdxCodes does not; neither takes the version.
    edx.ClearEdxCodes();
    EXPECT_EQ(saved(edx), Bytes().u8(0).raw(yText("\x91\xE6\x32\x94\xC5")).i32(0).data());
    edx.AppendCode(JMeshCode(5339, 0, 0));
    edx.Clear();
    EXPECT_EQ(saved(edx), Bytes().u8(1).raw(yText("\x91\xE6\x32\x94\xC5")).i32(0).data());
}

TEST_F(DisplaySettingsTest, GrpRecord) {
    const std::string defaults =
        Bytes().i32(1).i32(1).u8(1).u8(1).u8(1).i32(0).i32(100).i32(255).u8(1);
    EXPECT_EQ(saved(JGrpDspSetting()), defaults);
    const std::string record =
        Bytes().i32(7).i32(-8).u8(0).u8(1).u8(0).i32(9).i32(10).i32(11).u8(0);
    JGrpDspSetting grp;
    ASSERT_TRUE(load(grp, record));
    EXPECT_EQ(saved(JGrpDspSetting(grp)), record);
    expectRefused(grp, defaults.substr(0, defaults.size() - 1));
}

TEST_F(DisplaySettingsTest, DrawSwitchRecord) {
    EXPECT_EQ(archived(JGDDrawSw()), Bytes().i32(1).i32(0).i32(1).i32(0).i32(0).i32(0).data());
    JGDDrawSw sw;
    unarchive(sw, Bytes().i32(0).i32(1).i32(0).i32(-5).i32(42).i32(2));
    EXPECT_TRUE(sw.IsDrawErrIdx());
    const std::string record = Bytes().i32(0).i32(1).i32(0).i32(1).i32(42).i32(1);
    EXPECT_EQ(archived(sw), record);
    const std::string other = archived(JGDDrawSw());
    for (std::size_t n = 0; n < other.size(); ++n) {
        EXPECT_EQ(archiveCause([&] { unarchive(sw, other.substr(0, n)); }),
                  CArchiveException::endOfFile);
        EXPECT_EQ(archived(sw), record) << n;
    }
}

} // namespace
