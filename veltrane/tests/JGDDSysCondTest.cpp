#include "veltrane/model/JGDDSysCond.h"

#include "platform/core/Path.h"
#include "tests/support/TextForms.h"

#include "veltrane/tests/SettingsFileTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using testsupport::Bytes;

// The values of a conditions file, each settable, in file order.
struct Conditions {
    std::string tag = "KARNOLIT System Condition";
    int version = 101;
    int s1 = 1, f1 = 1;
    std::string prmFile = "TKY2JGD.par";
    int u1 = -3, u2 = -4;
    std::string t1;
    int f2 = 0, f3 = 1;
    // Administrative boundaries, EDX meshes and groups.
    std::string displays = Bytes().i32(-1).u8(1).u8(1).i32(0).u8(1).u32(1).u8(0).i32(0).data() +
                           Bytes().i32(1).i32(1).u8(1).u8(1).u8(1).i32(0).i32(100).i32(255).data() +
                           "\x01";
    std::vector<int> widths = {25, 25, 20, 25, 24, 6};
    int f6 = 1;
    std::optional<int> f4 = 1, f5 = 0; // from version 100
    std::optional<std::string> t2 = "";
    std::optional<int> v1 = 0; // from version 101
};

// Every value away from its default.
const std::string kCustomDisplays =
    Bytes().i32(12).u8(0).u8(1).i32(2).i32(13).i32(47).data() +
    Bytes().u8(0).u32(10).raw("Ver.2.1.1").u8(0).i32(1).i16(5339).u8(46).u8(0).data() +
    Bytes().i32(2).i32(3).u8(0).u8(1).u8(0).i32(7).i32(50).i32(128).u8(0).data();
Conditions custom() {
    return {.s1 = -2,
            .f1 = 0,
            .prmFile = "表ソ.par",
            .u1 = 32767,
            .u2 = -32768,
            .t1 = "text one",
            .f2 = 1,
            .f3 = 0,
            .displays = kCustomDisplays,
            .widths = {1, 25, 20, 25, 24, -6},
            .f6 = 0,
            .f4 = 0,
            .f5 = 1,
            .t2 = "text two",
            .v1 = -123456789};
}

class JGDDSysCondTest : public SettingsFileTest {
  protected:
    static std::string bytes(const Conditions &c) {
        Bytes b;
        b.raw(yText(c.tag)).i16(static_cast<std::int16_t>(c.version));
        b.i16(static_cast<std::int16_t>(c.s1)).u8(static_cast<std::uint8_t>(c.f1));
        b.raw(yText(c.prmFile));
        b.i16(static_cast<std::int16_t>(c.u1)).i16(static_cast<std::int16_t>(c.u2));
        b.raw(yText(c.t1)).u8(static_cast<std::uint8_t>(c.f2));
        b.u8(static_cast<std::uint8_t>(c.f3)).raw(c.displays);
        for (int w : c.widths)
            b.i16(static_cast<std::int16_t>(w));
        b.u8(static_cast<std::uint8_t>(c.f6));
        if (c.f4)
            b.u8(static_cast<std::uint8_t>(*c.f4)).u8(static_cast<std::uint8_t>(*c.f5));
        if (c.t2)
            b.raw(yText(*c.t2)).i32(*c.v1);
        return b.data();
    }
    std::string written(const JGDDSysCond &cond) {
        EXPECT_TRUE(cond.Write(path("cond.dat")));
        return get("cond.dat");
    }
    bool read(JGDDSysCond &cond, const std::string &content) {
        return cond.Read(put(content, "in.dat"));
    }
};

TEST_F(JGDDSysCondTest, DefaultFileByteForByte) {
    const std::string file = written(JGDDSysCond());
    EXPECT_EQ(file.size(), 130u);
    EXPECT_EQ(file, bytes(Conditions()));
}

TEST_F(JGDDSysCondTest, EveryValueReadsAndWritesBack) {
    JGDDSysCond cond;
    ASSERT_TRUE(read(cond, bytes(custom())));
    EXPECT_EQ(cond.GetCnvPrmFile(), "表ソ.par");
    EXPECT_EQ(written(cond), bytes(custom()));

    JGDDSysCond copy(cond);
    JGDDSysCond assigned;
    assigned = cond;
    EXPECT_EQ(written(copy), bytes(custom()));
    EXPECT_EQ(written(assigned), bytes(custom()));
}

TEST_F(JGDDSysCondTest, OlderVersionsLeaveTheLaterValuesAlone) {
    // Version 200 of the old tag is version 2: no F4, F5, T2, V1.
    Conditions old = custom();
    old.tag = "Quendor System Condition";
    old.version = 200;
    old.f4.reset();
    old.t2.reset();
    JGDDSysCond cond;
    ASSERT_TRUE(read(cond, bytes(old)));
    Conditions expected = custom();
    expected.f4 = 1;
    expected.f5 = 0;
    expected.t2 = "";
    expected.v1 = 0;
    EXPECT_EQ(written(cond), bytes(expected));

    // Version 100 holds F4 and F5 (the file's flags after F6), not T2 and V1.
    Conditions v100 = custom();
    v100.version = 100;
    v100.t2.reset();
    JGDDSysCond fresh;
    ASSERT_TRUE(read(fresh, bytes(v100)));
    expected.f4 = 0;
    expected.f5 = 1;
    EXPECT_EQ(written(fresh), bytes(expected));

    old.version = 100; // version 1
    EXPECT_TRUE(read(cond, bytes(old)));
}

TEST_F(JGDDSysCondTest, RefusedFilesLeaveTheConditionsAsTheyWere) {
    JGDDSysCond cond;
    ASSERT_TRUE(read(cond, bytes(custom())));
    const std::string before = bytes(custom());

    const std::string good = bytes(Conditions());
    for (std::size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(read(cond, good.substr(0, n))) << n;
        EXPECT_EQ(written(cond), before) << n;
    }
    auto refused = [&](Conditions c) {
        EXPECT_FALSE(read(cond, bytes(c))) << c.tag << " " << c.version;
        EXPECT_EQ(written(cond), before);
    };
    Conditions c;
    c.version = 102;
    refused(c);
    c.version = 200;
    refused(c);
    c.tag = "Quendor System Condition";
    c.version = 101;
    refused(c);
    c.tag = "KARNOLIT System Conditio";
    c.version = 101;
    refused(c);
    EXPECT_FALSE(cond.Read(path("missing.dat")));
    EXPECT_FALSE(cond.Write(path("missing/cond.dat")));
    EXPECT_EQ(written(cond), before);
}

// The settings store lives in a configuration folder of the test.
class JGDDSysCondRegTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        if (const char *old = std::getenv("XDG_CONFIG_HOME"))
            m_oldConfig = old;
        ::setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    }
    void TearDown() override {
        if (m_oldConfig)
            ::setenv("XDG_CONFIG_HOME", m_oldConfig->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        TempFolderTest::TearDown();
    }
    std::optional<std::string> m_oldConfig;
};

TEST_F(JGDDSysCondRegTest, SavesToTheUsersStoreAndLoadsBack) {
    JGDDSysCondReg reg;
    reg.SetFirstExecute(0);
    reg.SetInstallDir("インストール先");
    reg.LoadRegistry("1.00.0000"); // nothing stored yet
    EXPECT_EQ(reg.GetFirstExecute(), 0);
    EXPECT_EQ(reg.GetInstallDir(), "");

    reg.SetInstallDir("/opt/zentrova");
    ASSERT_TRUE(reg.SaveRegistry());
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir / "config" / "VarniskTechnology" / "Karnolit.ini"),
              "[1.00.0000]\nfFirstExecute=0\nInstallDir=/opt/zentrova\n");
    reg.SetInstallDir("/opt/表");
    ASSERT_TRUE(reg.SaveRegistry());

    JGDDSysCondReg loaded;
    loaded.LoadRegistry("1.00.0000");
    EXPECT_EQ(loaded.GetFirstExecute(), 0);
    EXPECT_EQ(loaded.GetInstallDir(), "/opt/表");
    loaded.LoadRegistry("2.00.0000");
    EXPECT_EQ(loaded.GetFirstExecute(), 0);
    EXPECT_EQ(loaded.GetInstallDir(), "");

    EXPECT_TRUE(loaded.SetNormalMode(0));
    EXPECT_EQ(loaded.GetNormalMode(), 0);
    EXPECT_EQ(loaded.GetProductKeyName(), "Karnolit");

    // A configuration folder that cannot be made: nothing saved.
    testsupport::WriteFileBytes(m_dir / "blocked", "");
    ::setenv("XDG_CONFIG_HOME", (m_dir / "blocked").c_str(), 1);
    EXPECT_FALSE(reg.SaveRegistry());
}

// A folder named as Japanese input on Linux types it ("〜" U+301C), beside its look-alike
// ("～" U+FF5E) chosen later: the next start, a process of its own, finds the folder chosen.
TEST_F(JGDDSysCondRegTest, AnInstallFolderKeepsItsSpellingIntoTheNextStart) {
    const std::string site = (m_dir / testsupport::Utf8Bytes(u8"現場〜A")).string();
    const std::string lookAlike = (m_dir / testsupport::Utf8Bytes(u8"現場～A")).string();
    JGDDSysCondReg reg;
    reg.SetInstallDir(Path::FromNative(site));
    ASSERT_TRUE(reg.SaveRegistry());
    Path::FromNative(lookAlike);
    // The file says it as typed.
    const std::string stored =
        testsupport::ReadFileBytes(m_dir / "config" / "VarniskTechnology" / "Karnolit.ini");
    EXPECT_NE(stored.find("InstallDir=" + site + "\n"), std::string::npos) << stored;

    FILE *next = ::popen("'" ZENTROVA_INSTALL_DIR_READER "'", "r");
    ASSERT_NE(next, nullptr);
    std::string printed;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, next)) > 0;)
        printed.append(buffer, n);
    EXPECT_EQ(::pclose(next), 0);
    EXPECT_EQ(printed, site);
}

} // namespace
