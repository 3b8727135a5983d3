#include "veltrane/model/JFileCrdCnv.h"

#include "platform/core/Path.h"
#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using testsupport::Bytes;

// "～変換後" as code page 932 writes it: the wave is the full-width tilde 81 60.
const std::string kSuffix = "\x81\x60\x95\xcf\x8a\xb7\x8c\xe3";

class JFileCrdCnvTest : public RecordTest {
  protected:
    // A job for a source file of the test folder.
    JFileCrdCnvElm job(const char *name, int naming) const {
        JFileCrdCnvElm j(path(name));
        j.SetNamingMode(naming);
        return j;
    }
    // The name that MakeDstFilePath chose, "" when it found none.
    static std::string made(JFileCrdCnvElm &j, unsigned flags = 0) {
        if (!j.MakeDstFilePath(flags))
            return "";
        return Path::FileName(j.GetDstFilePath()).Bytes();
    }
    void touch(const std::string &cp932Name) const { put("", cp932Name.c_str()); }
    // Why the job could not make a name, in order.
    static std::vector<CString> reasons(const JFileCrdCnvElm &j) { return j.GetErrTbl(); }
    // Appending a job of that source is refused (and the job freed).
    static bool appendRefused(JFileCrdCnvTbl &t, const char *src) {
        auto job = std::make_unique<JFileCrdCnvElm>(src);
        if (!t.Append(job.get(), false))
            return true;
        job.release();
        return false;
    }

    std::string tableBytes(const JFileCrdCnvTbl &t) {
        return stored([&](CArchive &ar) { EXPECT_TRUE(t.Write(ar)); });
    }
    bool readTable(JFileCrdCnvTbl &t, const std::string &bytes) {
        bool ok = false;
        load(bytes, [&](CArchive &ar) { ok = t.Read(ar, 102); });
        return ok;
    }
};

TEST_F(JFileCrdCnvTest, DestinationNamesFollowTheNaming) {
    JFileCrdCnvElm a = job("a.csv", 0);
    EXPECT_EQ(made(a), "a" + kSuffix + ".csv");
    EXPECT_EQ(a.GetDstFilePath(), Path::Join(folder(), CString(("a" + kSuffix + ".csv").c_str())));
    // The name on disk is the full-width tilde in UTF-8.
    std::ofstream(m_dir / u8"a～変換後.csv").put('x');
    EXPECT_EQ(made(a), "a" + kSuffix + "(2).csv");

    // Naming 0 never takes the plain name; ".in" becomes ".out" only when asked.
    JFileCrdCnvElm b = job("b.in", 0);
    EXPECT_EQ(made(b), "b" + kSuffix + ".in");
    EXPECT_EQ(made(b, JFileCrdCnvElm::kInToOut), "b.out");
    touch("b.out");
    EXPECT_EQ(made(b, JFileCrdCnvElm::kInToOut), "b(2).out");

    // Naming 1 takes the source's own name in a destination folder without it.
    touch("c.sim");
    fs::create_directory(m_dir / "out");
    JFileCrdCnvElm c = job("c.sim", 1);
    c.SetDstFolder(path("out"));
    EXPECT_EQ(made(c), "c" + kSuffix + ".sim"); // beside the source
    c.SetOwnDstFolder(true);
    EXPECT_EQ(made(c), "c.sim");
    EXPECT_EQ(Path::Folder(c.GetDstFilePath()), path("out"));

    // Naming 2 takes the given name; without an extension the suffix goes at the end.
    JFileCrdCnvElm d = job("d.sim", 2);
    d.SetDstFileName("given");
    EXPECT_EQ(made(d), "given");
    touch("given");
    EXPECT_EQ(made(d), "given" + kSuffix);
}

TEST_F(JFileCrdCnvTest, NoPathWithoutFolderNameOrKnownNaming) {
    JFileCrdCnvElm j = job("a.csv", 0);
    ASSERT_EQ(made(j), "a" + kSuffix + ".csv");
    const CString kept = j.GetDstFilePath();

    j.SetNamingMode(3);
    EXPECT_EQ(made(j), "");
    j.SetNamingMode(2); // no given name
    EXPECT_EQ(made(j), "");
    JFileCrdCnvElm bare(CString("a.csv")); // a source without a folder
    EXPECT_EQ(made(bare), "");
    EXPECT_EQ(j.GetDstFilePath(), kept);
}

TEST_F(JFileCrdCnvTest, TakenNamesAreNeverOverwritten) {
    touch("a.csv");
    // Names that cannot be opened for reading are taken all the same: a link to nowhere, a
    // folder and a file without permissions.
    fs::create_symlink(m_dir / "nowhere", m_dir / u8"a～変換後.csv");
    fs::create_directory(m_dir / u8"a～変換後(2).csv");
    touch("a" + kSuffix + "(3).csv");
    ::chmod((m_dir / u8"a～変換後(3).csv").c_str(), 0);

    JFileCrdCnvElm a = job("a.csv", 1);
    EXPECT_EQ(made(a), "a" + kSuffix + "(4).csv");
    EXPECT_FALSE(fs::exists(m_dir / "nowhere")); // nothing was made through the link
}

TEST_F(JFileCrdCnvTest, GivesUpAfterTheLastCandidate) {
    JFileCrdCnvElm b = job("b.in", 0);
    touch("b.out");
    for (int i = 2; i <= 998; ++i)
        touch("b(" + std::to_string(i) + ").out");
    EXPECT_EQ(made(b, JFileCrdCnvElm::kInToOut), "b(999).out");
    touch("b(999).out");
    EXPECT_EQ(made(b, JFileCrdCnvElm::kInToOut), "");
    EXPECT_EQ(Path::FileName(b.GetDstFilePath()), "b(999).out"); // the last one made stays
    EXPECT_EQ(reasons(b),
              (std::vector<CString>{"変換先のファイル名の候補(999個)がすべて使われています。"}));
}

TEST_F(JFileCrdCnvTest, ANameTheFileSystemCannotHoldIsReportedNotTried) {
    // 80 characters of "表": 160 bytes in cp932 but 240 in UTF-8, which the limit of 255
    // counts; with "～変換後" (12 bytes) and ".csv" no name fits.
    std::string longName;
    for (int i = 0; i < 80; ++i)
        longName += "\x95\x5C";
    JFileCrdCnvElm j = job((longName + ".csv").c_str(), 0);
    EXPECT_EQ(made(j), "");
    EXPECT_EQ(reasons(j),
              (std::vector<CString>{CString(
                  ("変換先のファイル名[" + longName + kSuffix + ".csv]が長すぎます。").c_str())}));
    // Naming 1 takes the plain name, which still fits.
    j.SetNamingMode(1);
    EXPECT_EQ(made(j), longName + ".csv");

    // A missing folder says so too.
    JFileCrdCnvElm k = job("k.csv", 0);
    k.SetOwnDstFolder(true);
    k.SetDstFolder(path("missing"));
    EXPECT_EQ(made(k), "");
    EXPECT_EQ(reasons(k),
              (std::vector<CString>{"変換先のフォルダ[" + path("missing") + "]がありません。"}));
    // So does a file where the folder should be.
    JFileCrdCnvElm f = job("f.csv", 0);
    f.SetOwnDstFolder(true);
    f.SetDstFolder(put("", "a-file"));
    EXPECT_EQ(made(f), "");
    EXPECT_EQ(reasons(f),
              (std::vector<CString>{"変換先のフォルダ[" + path("a-file") + "]がありません。"}));
}

TEST_F(JFileCrdCnvTest, DisplayTextsOnlyForKnownValues) {
    EXPECT_EQ(JFileCrdCnvElm::GetConvertModeStr(2, true), "ファイル依存");
    EXPECT_EQ(JFileCrdCnvElm::GetConvertKindStr(1, false), "TKY2JGD互換変換(T2J)方式");
    for (int value : {-1, 3}) {
        EXPECT_EQ(JFileCrdCnvElm::GetConvertModeStr(value, false), "") << value;
        EXPECT_EQ(JFileCrdCnvElm::GetConvertKindStr(value, true), "") << value;
    }
    JFileCrdCnvElm j;
    EXPECT_EQ(j.GetConvertModeStr(false), "ファイルの内容に依存"); // default mode 2
    EXPECT_EQ(j.GetConvertKindStr(true), "TKY2JGD");               // default kind 1
}

// A job record built by hand: number, source, mode 1, kind 2, third -5, flag, no own
// destination, folder, naming 2, given name, destination path.
Bytes jobRecord(const char *src, int number = 7, int flag = 5) {
    Bytes b;
    b.i32(number).str(src).i32(1).i32(2).i32(-5).i32(flag).i32(0).str("D:\\out");
    b.i32(2).str("given.sim").str("D:\\out\\given.sim");
    return b;
}

TEST_F(JFileCrdCnvTest, TableRecordReadsEveryJobAndWritesItBack) {
    const std::string file =
        Bytes().i32(2).raw(jobRecord("C:\\in\\a.sim")).raw(jobRecord("C:\\in\\a.sim", 8));
    JFileCrdCnvTbl table;
    ASSERT_TRUE(readTable(table, file));
    ASSERT_EQ(table.GetSize(), 2u); // the same source twice
    const JFileCrdCnvElm *j = table.GetElmPtr(0);
    EXPECT_EQ(j->GetNo(), 7);
    EXPECT_EQ(j->GetSrcFileName(), "a.sim");
    EXPECT_EQ(j->GetSrcFolderPath(), "C:\\in");
    EXPECT_EQ(j->GetConvertMode(), ConvertToOld);
    EXPECT_EQ(j->GetConvertKind(), JFileCnvBlock);
    EXPECT_EQ(j->GetValue3(), -5);
    EXPECT_TRUE(j->GetFlag());
    EXPECT_EQ(j->GetDstFolderPath(), "C:\\in"); // not its own folder
    EXPECT_EQ(j->GetDstFileName(), "given.sim");
    EXPECT_EQ(j->GetDstFilePath(), "D:\\out\\given.sim");
    EXPECT_EQ(table.GetElmPtr(1)->GetNo(), 8);

    // The flag goes back as 1; the fourth value and the messages are not stored.
    table.GetElmPtr(0)->SetValue4(99);
    table.GetElmPtr(0)->GetErrTbl()->push_back("message");
    EXPECT_EQ(tableBytes(table), Bytes()
                                     .i32(2)
                                     .raw(jobRecord("C:\\in\\a.sim", 7, 1))
                                     .raw(jobRecord("C:\\in\\a.sim", 8, 1))
                                     .data());
}

TEST_F(JFileCrdCnvTest, RefusedRecordsLeaveTheTableAsItWas) {
    JFileCrdCnvTbl table;
    ASSERT_TRUE(table.Append(new JFileCrdCnvElm("keep.sim"), false));
    const std::string before = tableBytes(table);

    const std::string file = Bytes().i32(2).raw(jobRecord("a.sim")).raw(jobRecord("b.sim"));
    for (std::size_t n = 0; n < file.size(); ++n) {
        int cause = CArchiveException::none;
        try {
            readTable(table, file.substr(0, n));
        } catch (const CArchiveException &e) {
            cause = e.m_cause;
        }
        EXPECT_EQ(cause, CArchiveException::endOfFile) << n;
        EXPECT_EQ(tableBytes(table), before) << n;
    }
    // A count far beyond the bytes is refused before anything is made for it.
    EXPECT_THROW(readTable(table, Bytes().i32(0x7FFFFFFF).raw(jobRecord("a.sim"))),
                 CArchiveException);
    EXPECT_FALSE(readTable(table, Bytes().i32(-1)));
    EXPECT_EQ(tableBytes(table), before);
}

TEST_F(JFileCrdCnvTest, TableOwnsItsJobsAndCopiesThemDeeply) {
    JFileCrdCnvTbl table;
    auto *a = new JFileCrdCnvElm("a.sim");
    ASSERT_TRUE(table.Append(a, false));
    EXPECT_FALSE(table.Append(a, true)); // already held
    EXPECT_FALSE(table.Append(nullptr, true));
    JFileCrdCnvElm duplicate("a.sim");
    EXPECT_FALSE(table.Append(&duplicate, false)); // still the caller's
    ASSERT_TRUE(table.Append(new JFileCrdCnvElm("a.sim"), true));
    ASSERT_TRUE(table.Append(new JFileCrdCnvElm("b.sim"), false));

    // The index follows SetElm and RemoveElm.
    JFileCrdCnvElm changed("c.sim");
    ASSERT_TRUE(table.SetElm(2, changed));
    EXPECT_TRUE(table.IsDuplicated({"x.sim", "c.sim"}));
    EXPECT_FALSE(table.IsDuplicated({"b.sim"}));
    ASSERT_TRUE(table.RemoveElm(0));
    EXPECT_TRUE(table.IsDuplicated({"a.sim"})); // the second a.sim
    ASSERT_TRUE(table.RemoveElm(0));
    EXPECT_FALSE(table.IsDuplicated({"a.sim"}));
    EXPECT_TRUE(table.Append(new JFileCrdCnvElm("a.sim"), false));
    EXPECT_FALSE(table.RemoveElm(2));
    EXPECT_FALSE(table.SetElm(2, changed));
    EXPECT_EQ(table.GetElmPtr(2), nullptr);
    JFileCrdCnvElm out;
    EXPECT_FALSE(table.GetElm(2, &out));
    ASSERT_TRUE(table.GetElm(1, &out));
    EXPECT_EQ(out.GetSrcFilePath(), "a.sim");

    auto copy = std::make_unique<JFileCrdCnvTbl>(table);
    JFileCrdCnvTbl assigned;
    assigned.Append(new JFileCrdCnvElm("old.sim"), false);
    assigned = table;
    const std::string bytes = tableBytes(table);
    table.GetElmPtr(0)->SetSrcFilePath("changed.sim");
    table.AllRemove();
    EXPECT_EQ(tableBytes(*copy), bytes);
    EXPECT_EQ(tableBytes(assigned), bytes);
    EXPECT_TRUE(assigned.IsDuplicated({"c.sim"}));
    EXPECT_TRUE(appendRefused(assigned, "a.sim"));
    copy.reset();
    EXPECT_EQ(assigned.GetSize(), 2u);
}

TEST_F(JFileCrdCnvTest, SortingIsStable) {
    JFileCrdCnvTbl table;
    const struct {
        const char *src;
        ConvertMode mode;
        bool flag;
        const char *dst;
    } jobs[] = {{"/d/b.sim", ConvertToOld, false, "/z"},
                {"/c/c.sim", ConvertToNew, true, "/y"},
                {"/b/a.sim", ConvertToOld, false, "/x"},
                {"/a/d.sim", ConvertByFile, true, "/y"}};
    for (const auto &j : jobs) {
        auto *job = new JFileCrdCnvElm(j.src);
        job->SetConvertMode(j.mode);
        job->SetFlag(j.flag);
        job->SetOwnDstFolder(true);
        job->SetDstFolder(j.dst);
        ASSERT_TRUE(table.Append(job, false));
    }
    auto order = [&table] {
        std::string names;
        for (unsigned i = 0; i < table.GetSize(); ++i)
            names += table.GetElmPtr(i)->GetSrcFileName().Left(1).Bytes();
        return names;
    };
    table.Sort(JFileCrdCnvTbl::SortConvertMode, false);
    EXPECT_EQ(order(), "dbac");
    table.Sort(JFileCrdCnvTbl::SortSrcFileName, true);
    EXPECT_EQ(order(), "abcd"); // by file name, not by folder
    table.Sort(JFileCrdCnvTbl::SortFlag, false);
    EXPECT_EQ(order(), "cdab");
    table.Sort(JFileCrdCnvTbl::SortDstFolder, false);
    EXPECT_EQ(order(), "bcda");
    table.Sort(JFileCrdCnvTbl::SortKind, true); // all equal: unchanged
    EXPECT_EQ(order(), "bcda");
    EXPECT_TRUE(appendRefused(table, "/b/a.sim")); // the index is untouched
}

} // namespace
