#include "platform/core/SettingsStore.h"

#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class SettingsStoreTest : public testsupport::TempFolderTest {
  protected:
    CString file() const { return path("sub/folder/settings.ini"); }
    std::string text() const { return get("sub/folder/settings.ini"); }
};

TEST_F(SettingsStoreTest, MissingFileGivesDefaultsAndTheFirstWriteCreatesItsFolders) {
    SettingsStore store(file());
    EXPECT_EQ(store.GetString("Window size", "Rect", "none"), "none");
    EXPECT_EQ(store.GetInt("Window size", "max", 7), 7);
    EXPECT_FALSE(exists("sub"));

    ASSERT_TRUE(store.WriteString("Window size", "Rect", "0010 0020 0800 0600"));
    ASSERT_TRUE(store.WriteInt("Window size", "icon", 0));
    ASSERT_TRUE(store.WriteInt("Window size", "max", -1));
    EXPECT_EQ(text(), "[Window size]\nRect=0010 0020 0800 0600\nicon=0\nmax=-1\n");
    EXPECT_EQ(store.GetString("Window size", "Rect"), "0010 0020 0800 0600");
    EXPECT_EQ(store.GetInt("Window size", "max", 0), -1);
}

TEST_F(SettingsStoreTest, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
    SettingsStore store(file());
    ASSERT_TRUE(
        store.WriteInt("Software\\VarniskTechnology\\Karnolit\\1.00.0000", "fFirstExecute", 1));
    ASSERT_TRUE(
        store.WriteInt("SOFTWARE\\varnisktechnology\\karnolit\\1.00.0000", "FFIRSTEXECUTE", 0));
    EXPECT_EQ(store.GetInt("software\\VarniskTechnology\\Karnolit\\1.00.0000", "ffirstexecute", 5),
              0);
    EXPECT_EQ(text(), "[Software\\VarniskTechnology\\Karnolit\\1.00.0000]\nfFirstExecute=0\n");
    // Double-byte names are compared byte for byte.
    ASSERT_TRUE(store.WriteString("表示", "値", "一"));
    EXPECT_EQ(store.GetString("表示", "値"), "一");
    EXPECT_EQ(store.GetString("表示", "他"), "");
}

TEST_F(SettingsStoreTest, ValuesRoundTripWhateverTheyHold) {
    SettingsStore store(file());
    const CString values[] = {
        "", " padded ", "a=b=c", "C:\\data\\表\\", "two\nlines\r\n", "[not a section]", "ｷｬﾝｾﾙ～"};
    int i = 0;
    for (const CString &value : values) {
        CString name;
        name.Format("v%d", i++);
        ASSERT_TRUE(store.WriteString("s", name, value)) << ToUtf8(value);
    }
    // Another store on the same file reads what the first wrote.
    const SettingsStore reader(file());
    i = 0;
    for (const CString &value : values) {
        CString name;
        name.Format("v%d", i++);
        EXPECT_EQ(reader.GetString("s", name, "missing"), value) << ToUtf8(value);
    }
    // The file itself is UTF-8 text, one value a line.
    EXPECT_NE(text().find("v3=C:\\\\data\\\\\xe8\xa1\xa8\\\\\n"), std::string::npos);
    EXPECT_NE(text().find("v4=two\\nlines\\r\\n\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, UnstorableNamesAndValuesAreRefusedAndLeaveTheFileAlone) {
    SettingsStore store(file());
    ASSERT_TRUE(store.WriteString("s", "kept", "1"));
    const std::string before = text();
    EXPECT_FALSE(store.WriteString("", "n", "v"));
    EXPECT_FALSE(store.WriteString("s", "", "v"));
    EXPECT_FALSE(store.WriteString("s", "a=b", "v"));
    EXPECT_FALSE(store.WriteString("s", "[n", "v"));
    EXPECT_FALSE(store.WriteString("a\nb", "n", "v"));
    EXPECT_FALSE(store.WriteString("s", "n", CString("\x81", 1))); // a lead byte alone
    EXPECT_EQ(text(), before);
}

TEST_F(SettingsStoreTest, HandEditedFilesAreReadLeniently) {
    std::filesystem::create_directories(m_dir / "sub/folder");
    put("stray=before any section\r\n"
        "; a comment\r\n"
        "[Window size]\r\n"
        "Rect=0010 0020 0800 0600\r\n"
        "no equals sign\r\n"
        "icon=x1\r\n"
        "max= 1 \r\n"
        "[]\r\n"
        "[Other]\r\n"
        "v=\xe8\xa1\xa8\\",
        "sub/folder/settings.ini");
    SettingsStore store(file());
    EXPECT_EQ(store.GetString("window SIZE", "rect"), "0010 0020 0800 0600");
    EXPECT_EQ(store.GetInt("Window size", "icon", 9), 9); // not a number
    EXPECT_EQ(store.GetInt("Window size", "max", 9), 1);  // blanks around a number are fine
    EXPECT_EQ(store.GetString("Other", "v"), "表\\");     // a lone trailing backslash stays
    EXPECT_EQ(store.GetString("", "stray", "none"), "none");
}

TEST_F(SettingsStoreTest, DeletingValuesAndEmptiedSections) {
    SettingsStore store(file());
    EXPECT_TRUE(store.DeleteValue("s", "n")); // nothing there
    ASSERT_TRUE(store.WriteString("a", "x", "1"));
    ASSERT_TRUE(store.WriteString("b", "y", "2"));
    ASSERT_TRUE(store.WriteString("b", "z", "3"));
    EXPECT_TRUE(store.DeleteValue("B", "Y"));
    EXPECT_EQ(text(), "[a]\nx=1\n\n[b]\nz=3\n");
    EXPECT_TRUE(store.DeleteValue("a", "x"));
    EXPECT_EQ(text(), "[b]\nz=3\n");
    EXPECT_EQ(store.GetString("a", "x", "gone"), "gone");
}

TEST_F(SettingsStoreTest, AFileThatCannotBeWrittenAnswersFalse) {
    // The "file" is a folder: it cannot be written and no temporary file is left.
    std::filesystem::create_directories(m_dir / "sub/folder/settings.ini/inner");
    SettingsStore store(file());
    EXPECT_FALSE(store.WriteString("s", "n", "v"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir / "sub/folder"), {}), 1);

    // A full disk keeps the file as it was.
    std::filesystem::remove_all(m_dir / "sub/folder/settings.ini");
    ASSERT_TRUE(store.WriteString("s", "n", "v"));
    {
        testsupport::FileSizeLimit limit(5);
        EXPECT_FALSE(store.WriteString("s", "n", "w"));
    }
    EXPECT_EQ(text(), "[s]\nn=v\n");
}

TEST(SettingsStoreConfigPathTest, FollowsXdgConfigHome) {
    const char *saved = std::getenv("XDG_CONFIG_HOME");
    const std::string savedValue = saved != nullptr ? saved : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(SettingsStore::ConfigPath("zentrova", "profile.ini"),
              "/tmp/xdg/zentrova/profile.ini");
    // A relative or empty value is not a config folder: the home folder's .config is.
    const CString home = FromUtf8(std::getenv("HOME") != nullptr ? std::getenv("HOME") : "");
    for (const char *value : {"relative/xdg", ""}) {
        ::setenv("XDG_CONFIG_HOME", value, 1);
        const CString path = SettingsStore::ConfigPath("zentrova", "profile.ini");
        const CString tail("/.config/zentrova/profile.ini");
        EXPECT_EQ(path.Right(tail.GetLength()), tail) << ToUtf8(path);
        if (!home.IsEmpty()) {
            EXPECT_EQ(path.Left(home.GetLength()), home);
        }
    }
    if (saved != nullptr)
        ::setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
