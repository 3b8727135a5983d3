#include "platform/core/CFileFind.h"

#include "platform/core/Path.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

class CFileFindTest : public testsupport::TempFolderTest {
  protected:
    void touch(const fs::path &name) const { std::ofstream(m_dir / name) << "x"; }

    // The names found, in order, as the framework's loop visits them.
    static std::vector<std::string> found(const CString &pattern) {
        std::vector<std::string> names;
        CFileFind finder;
        bool more = finder.FindFile(pattern);
        while (more) {
            more = finder.FindNextFile();
            names.push_back(finder.GetFileName().Bytes());
        }
        return names;
    }
};

using Names = std::vector<std::string>;

TEST_F(CFileFindTest, MatchesWithoutCaseAndSortsByName) {
    touch("b.ZUB");
    touch("a.zub");
    touch("C.Zub");
    touch("d.txt");
    touch("azub");
    fs::create_directory(m_dir / "e.zub");

    EXPECT_EQ(found(folder() + "/*.zub"), (Names{"a.zub", "b.ZUB", "C.Zub", "e.zub"}));
    EXPECT_EQ(found(folder() + "/*.ZUB"), (Names{"a.zub", "b.ZUB", "C.Zub", "e.zub"}));
    // Backslash separators are accepted.
    EXPECT_EQ(found(folder() + "\\?.TXT"), (Names{"d.txt"}));
    EXPECT_EQ(found(folder() + "/a*"), (Names{"a.zub", "azub"}));
    // "*.*" takes every entry, names without a dot and the dots included.
    EXPECT_EQ(found(folder() + "/*.*"),
              (Names{".", "..", "a.zub", "azub", "b.ZUB", "C.Zub", "d.txt", "e.zub"}));
    // A plain name finds exactly that entry.
    EXPECT_EQ(found(folder() + "/d.TXT"), (Names{"d.txt"}));
    EXPECT_EQ(found(folder() + "/*.csv"), Names{});
    EXPECT_EQ(found(folder() + "/nothere/*.*"), Names{});
}

TEST(CFileFindMatchTest, NamesWithoutADotMatchAsTheWindowsSearchDoes) {
    // A version folder made from "Ver.2" has no dot, yet "edx*.*" finds it; '?' is one
    // character, a double-byte one too, and letters match without case.
    const std::pair<const char *, const char *> matching[] = {
        {"edx2", "edx*.*"}, {"edx2.1", "edx*.*"}, {"EDX1.00", "edx*.*"}, {"a", "*.*"},
        {".", "*.*"},       {"名前", "*.*"},      {"readme", "*."},      {"a.TXT", "*.txt"},
        {"data", "data.*"}, {"関.txt", "?.txt"},  {"関東.par", "関*"},   {"1234", "????"}};
    for (const auto &[name, pattern] : matching)
        EXPECT_TRUE(CFileFind::MatchesName(name, pattern)) << name << " " << pattern;
    const std::pair<const char *, const char *> other[] = {
        {"ed2", "edx*.*"},      {"par2", "edx*.*"}, {"readme.txt", "*."},
        {"a.txt.bak", "*.txt"}, {"atxt", "*.txt"},  {"database", "data.*"},
        {"ab.txt", "?.txt"},    {"12345", "????"},  {"関東.par", "東*"}};
    for (const auto &[name, pattern] : other)
        EXPECT_FALSE(CFileFind::MatchesName(name, pattern)) << name << " " << pattern;
}

TEST_F(CFileFindTest, FindNextFileAnswersFalseOnTheLastResult) {
    touch("one.txt");
    touch("two.txt");
    fs::create_directory(m_dir / "sub");
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(folder() + "/*"));
    EXPECT_EQ(finder.GetFileName(), ""); // nothing before the first move

    ASSERT_TRUE(finder.FindNextFile());
    EXPECT_TRUE(finder.IsDots());
    EXPECT_TRUE(finder.IsDirectory());
    ASSERT_TRUE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), "..");
    EXPECT_TRUE(finder.IsDots());

    ASSERT_TRUE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), "one.txt");
    EXPECT_EQ(finder.GetFilePath(), folder() + "/one.txt");
    EXPECT_EQ(finder.GetFileTitle(), "one");
    EXPECT_FALSE(finder.IsDirectory());
    EXPECT_FALSE(finder.IsDots());

    ASSERT_TRUE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), "sub");
    EXPECT_TRUE(finder.IsDirectory());
    EXPECT_FALSE(finder.IsDots());

    EXPECT_FALSE(finder.FindNextFile()); // moved to the last one
    EXPECT_EQ(finder.GetFileName(), "two.txt");
    EXPECT_FALSE(finder.FindNextFile()); // nothing left
    EXPECT_EQ(finder.GetFileName(), "");

    finder.Close();
    EXPECT_FALSE(finder.FindNextFile());
}

TEST_F(CFileFindTest, DoubleByteNamesComeBackInCp932) {
    touch(u8"表.txt"); // 0x95 0x5C: trail byte is a backslash
    touch(u8"ア.txt"); // 0x83 0x41: trail byte is 'A'
    touch(u8"a表b.txt");

    EXPECT_EQ(found(folder() + "/*.txt"), (Names{"a表b.txt", "ア.txt", "表.txt"}));
    // '?' is one character, double-byte or not.
    EXPECT_EQ(found(folder() + "/a?b.txt"), (Names{"a表b.txt"}));
    EXPECT_EQ(found(folder() + "/?.txt"), (Names{"ア.txt", "表.txt"}));
    // Case folding touches ASCII letters only, never a trail byte:
    // "ヂ" is 0x83 0x61, which differs from "ア" only in the case of 'A'/'a'.
    EXPECT_EQ(found(folder() + "/ヂ.txt"), Names{});
    EXPECT_EQ(found(folder() + "/ア.TXT"), (Names{"ア.txt"}));

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(folder() + "/表.*"));
    finder.FindNextFile();
    EXPECT_EQ(finder.GetFilePath(), folder() + "/表.txt");
    EXPECT_EQ(finder.GetFileTitle(), "表");
}

// Names as Linux programs write them: what cp932 spells otherwise or lacks, and bytes that are
// not UTF-8. Each is listed, and its path opens that very entry.
TEST_F(CFileFindTest, EveryEntryIsListedUnderAPathThatOpensIt) {
    using testsupport::Utf8Bytes;
    const std::string names[] = {Utf8Bytes(u8"測点〜1.csv"),      Utf8Bytes(u8"差−2.csv"),
                                 Utf8Bytes(u8"\U00020BB7田.csv"), "\xFF\xFE.csv",
                                 Utf8Bytes(u8"円\u00A5.csv"),     "a\\b.csv"};
    for (const std::string &name : names)
        std::ofstream(m_dir / name) << name;
    fs::create_directory(m_dir / u8"現場〜A");
    std::ofstream(m_dir / u8"現場〜A" / "in.csv") << "inner";

    CFileFind finder;
    bool more = finder.FindFile(folder() + "/*.csv");
    std::vector<std::string> listed;
    std::vector<std::string> opened;
    while (more) {
        more = finder.FindNextFile();
        std::string native;
        ASSERT_TRUE(Path::ToNative(finder.GetFileName(), native));
        listed.push_back(native);
        ASSERT_TRUE(Path::ToNative(finder.GetFilePath(), native)) << finder.GetFilePath().Bytes();
        opened.push_back(testsupport::ReadFileBytes(native));
    }
    std::sort(listed.begin(), listed.end());
    std::sort(opened.begin(), opened.end());
    std::vector<std::string> expected(std::begin(names), std::end(names));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(opened, expected);

    // A folder found is searched in turn, its own entries under its spelling; '?' is one
    // character, also one carried byte by byte.
    ASSERT_TRUE(finder.FindFile(folder() + "/現場?A"));
    finder.FindNextFile();
    EXPECT_TRUE(finder.IsDirectory());
    ASSERT_TRUE(finder.FindFile(Path::Join(finder.GetFilePath(), "*.csv")));
    finder.FindNextFile();
    std::string native;
    ASSERT_TRUE(Path::ToNative(finder.GetFilePath(), native));
    EXPECT_EQ(testsupport::ReadFileBytes(native), "inner");
    EXPECT_EQ(found(folder() + "/??.csv").size(), 3u); // 𠮷田, 0xFF 0xFE, 円¥
}

// Entries that only their native spelling tells apart are two entries, each opened as itself.
TEST_F(CFileFindTest, LookAlikeEntriesAreListedAndOpenedEachAsItself) {
    const char8_t *const names[] = {u8"〜.zub", u8"～.zub", u8"\U00020BB7.csv", u8"\U0002123D.csv"};
    for (const char8_t *name : names)
        std::ofstream(m_dir / name) << testsupport::Utf8Bytes(name);
    const std::vector<std::string> entries = found(folder() + "/*.*");
    ASSERT_EQ(entries.size(), 6u);
    std::vector<std::string> contents;
    for (std::size_t i = 2; i < entries.size(); ++i) {
        std::string native;
        ASSERT_TRUE(Path::ToNative(Path::Join(folder(), CString(entries[i])), native));
        contents.push_back(testsupport::ReadFileBytes(native));
    }
    std::sort(contents.begin(), contents.end());
    std::vector<std::string> expected;
    for (const char8_t *name : names)
        expected.push_back(testsupport::Utf8Bytes(name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(contents, expected);
    EXPECT_EQ(found(folder() + "/～.zub"), (Names{"～.zub"}));
}

TEST_F(CFileFindTest, FindsANameWhateverItsCase) {
    fs::create_directory(m_dir / "EDX1.00");
    touch("Mlitksj.txt");
    EXPECT_EQ(CFileFind::FindNameNoCase(folder(), "edx1.00"), "EDX1.00");
    EXPECT_EQ(CFileFind::FindNameNoCase(folder(), "MLITKSJ.TXT"), "Mlitksj.txt");
    EXPECT_EQ(CFileFind::FindNameNoCase(folder(), "missing"), "missing");
    // With both spellings on disk the exact one wins.
    fs::create_directory(m_dir / "edx1.00");
    EXPECT_EQ(CFileFind::FindNameNoCase(folder(), "edx1.00"), "edx1.00");
    EXPECT_EQ(CFileFind::FindNameNoCase(folder(), "Edx1.00"), "EDX1.00");
    // A wildcard is not looked up.
    EXPECT_EQ(CFileFind::FindNameNoCase(folder(), "edx*"), "edx*");
    EXPECT_EQ(CFileFind::FindNameNoCase(folder() + "/none", "a"), "a");
}

} // namespace
