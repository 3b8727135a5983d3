#include "pallomir/ui/JCnvPrmFileCopier.h"
#include "pallomir/ui/JFileCopier.h"
#include "pallomir/ui/tests/DataFolders.h"
#include "platform/ui/QtText.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WhenShown.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <unistd.h>

namespace {

class FileCopierTest : public testsupport::TempFolderTest {
  protected:
    CString install() const { return path("install"); }
    CString source() const { return path("source"); }
    std::filesystem::path sourceDir() const { return m_dir / "source"; }
    std::filesystem::path installDir() const { return m_dir / "install"; }
    RecordingCopy copy;
};

// An EDX copier that finds its floppy disk where the test says.
class FloppyCopier : public JEdxFileCopier {
  public:
    FloppyCopier(IFileCopyOperation *operation, CString floppy)
        : JEdxFileCopier(operation), m_floppy(std::move(floppy)) {}

  protected:
    CString getFloppyFolder() const override { return m_floppy; }

  private:
    CString m_floppy;
};

// A parameter copier whose CD-ROM is mounted where the test says.
class CdRomCopier : public JCnvPrmFileCopier {
  public:
    CdRomCopier(IFileCopyOperation *operation, CString disc)
        : JCnvPrmFileCopier(operation), m_disc(std::move(disc)) {}

  protected:
    CString getCdRomFolder() const override { return m_disc; }

  private:
    CString m_disc;
};

TEST_F(FileCopierTest, BoundaryFolderCopyKeepsOnlyBoundaryFiles) {
    PutFile(sourceDir(), "N03-13A-01.txt", "a");
    PutFile(sourceDir(), "n03-15A-02.TXT", "b");
    PutFile(sourceDir(), "N03-13a-03.txt", "not a boundary file");
    PutFile(sourceDir(), "readme.txt", "x");
    MakeFolder(sourceDir(), "N03-14A-04.txt"); // a folder, not a file
    JAdbFileCopier copier(&copy);
    ASSERT_TRUE(copier.CopyFiles(source(), install(), "mlitksj", "txt"));
    ASSERT_EQ(copier.GetCopiedFileSize(), 2u);
    EXPECT_EQ(copier.GetCopiedFileName(0), "N03-13A-01.txt");
    EXPECT_EQ(copier.GetCopiedFilePath(1), source() + "/n03-15A-02.TXT");
    EXPECT_EQ(copy.batches.size(), 1u);
    EXPECT_EQ(get("install/mlitksj/N03-13A-01.txt"), "a");
    EXPECT_EQ(get("install/mlitksj/n03-15A-02.TXT"), "b");
    EXPECT_TRUE(copier.GetFailures().empty());

    // An existing folder of another case is used, not doubled.
    MakeFolder(m_dir, "install2/MLITKSJ");
    JAdbFileCopier again(&copy);
    ASSERT_TRUE(again.CopyFiles(source(), path("install2"), "mlitksj", "txt"));
    EXPECT_TRUE(exists("install2/MLITKSJ/N03-13A-01.txt"));
    EXPECT_FALSE(exists("install2/mlitksj"));

    // No such file, or no folder: false.
    JAdbFileCopier empty(&copy);
    EXPECT_FALSE(empty.CopyFiles(path("install/mlitksj/none"), install(), "mlitksj", "txt"));
    EXPECT_FALSE(empty.CopyFiles("", install(), "mlitksj", "txt"));
    MakeFolder(m_dir, "other");
    PutFile(m_dir, "other/readme.txt", "x");
    EXPECT_FALSE(empty.CopyFiles(path("other"), install(), "mlitksj", "txt"));
}

TEST_F(FileCopierTest, AFailedCopyIsReportedNeverSuccess) {
    PutFile(sourceDir(), "N03-13A-01.txt", "a");
    PutFile(sourceDir(), "N03-13A-02.txt", "b");
    copy.failing = {"N03-13A-02.txt"};
    JAdbFileCopier copier(&copy);
    EXPECT_TRUE(copier.CopyFiles(source(), install(), "mlitksj", "txt"));
    ASSERT_EQ(copier.GetCopiedFileSize(), 1u);
    EXPECT_EQ(copier.GetCopiedFileName(0), "N03-13A-01.txt");
    ASSERT_EQ(copier.GetFailures().size(), 1u);
    EXPECT_EQ(copier.GetFailures()[0].path, source() + "/N03-13A-02.txt");
    EXPECT_EQ(copier.GetFailures()[0].reason, "コピーに失敗しました");

    // One file: false when its copy fails, when it does not exist or its name breaks the rule.
    JAdbFileCopier single(&copy);
    EXPECT_FALSE(single.CopyFileA(source() + "/N03-13A-02.txt", install(), "mlitksj"));
    EXPECT_FALSE(single.CopyFileA(source() + "/N03-13A-09.txt", install(), "mlitksj"));
    EXPECT_FALSE(single.CopyFileA(source() + "/readme.txt", install(), "mlitksj"));
    EXPECT_EQ(single.GetCopiedFileSize(), 0u);
    ASSERT_EQ(single.GetFailures().size(), 3u);
    EXPECT_EQ(single.GetFailures()[2].reason, "ファイル名が規則に合いません");
    EXPECT_TRUE(single.CopyFileA(source() + "/N03-13A-01.txt", install(), "mlitksj"));
    EXPECT_EQ(single.GetCopiedFileSize(), 1u);

    // A destination folder that cannot be made: a file stands where it would be.
    PutFile(m_dir, "blocked/mlitksj", "a file");
    JAdbFileCopier blocked(&copy);
    EXPECT_FALSE(blocked.CopyFileA(source() + "/N03-13A-01.txt", path("blocked"), "mlitksj"));
    ASSERT_EQ(blocked.GetFailures().size(), 1u);
    EXPECT_EQ(blocked.GetFailures()[0].reason, "コピー先のフォルダを作成できません");
}

TEST_F(FileCopierTest, OverwritingAsksOncePerBatch) {
    PutFile(sourceDir(), "N03-13A-01.txt", "new 1");
    PutFile(sourceDir(), "N03-13A-02.txt", "new 2");
    PutFile(sourceDir(), "N03-13A-03.txt", "new 3");
    PutFile(installDir(), "mlitksj/N03-13A-01.txt", "old 1");
    PutFile(installDir(), "mlitksj/N03-13A-02.txt", "old 2");
    {
        // No: the existing files stay, the new one is copied.
        testsupport::ScriptedPrompts prompts({IDNO});
        JAdbFileCopier copier(&copy);
        EXPECT_TRUE(copier.CopyFiles(source(), install(), "mlitksj", "txt"));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].second, UINT(MB_YESNOCANCEL | MB_ICONQUESTION));
        EXPECT_NE(prompts.asked[0].first.Find("2 個"), -1);
        ASSERT_EQ(copier.GetCopiedFileSize(), 1u);
        EXPECT_EQ(copier.GetCopiedFileName(0), "N03-13A-03.txt");
        EXPECT_TRUE(copier.GetFailures().empty());
        EXPECT_EQ(get("install/mlitksj/N03-13A-01.txt"), "old 1");
    }
    {
        // Cancel: nothing is copied and the copier says so.
        testsupport::ScriptedPrompts prompts({IDCANCEL});
        JAdbFileCopier copier(&copy);
        EXPECT_FALSE(copier.CopyFileA(source() + "/N03-13A-01.txt", install(), "mlitksj"));
        EXPECT_TRUE(copier.IsCancelled());
        EXPECT_NE(prompts.asked[0].first.Find("N03-13A-01.txt\nは既に存在します。"), -1);
        EXPECT_EQ(get("install/mlitksj/N03-13A-01.txt"), "old 1");
    }
    {
        testsupport::ScriptedPrompts prompts({IDYES});
        JAdbFileCopier copier(&copy);
        EXPECT_TRUE(copier.CopyFiles(source(), install(), "mlitksj", "txt"));
        EXPECT_EQ(copier.GetCopiedFileSize(), 3u);
        EXPECT_EQ(get("install/mlitksj/N03-13A-01.txt"), "new 1");
        EXPECT_EQ(get("install/mlitksj/N03-13A-02.txt"), "new 2");
    }
    // Nothing of the temporary files is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(installDir() / "mlitksj"), {}), 3);
}

TEST_F(FileCopierTest, EdxFilesGoToTheirVersionAndMeshFolders) {
    for (int i = 1; i <= 5; ++i) {
        CString name;
        name.Format("5339-%02d.edx", i);
        PutFile(sourceDir(), name, EdxBytes("V.1.0.10"));
        name.Format("5340-%02d.EDX", i);
        PutFile(sourceDir(), name, EdxBytes("V.1.0.10"));
    }
    PutFile(sourceDir(), "5341.edx", EdxBytes("Version2 .1")); // no version: skipped
    PutFile(sourceDir(), "5342-00.edx", EdxBytes("Ver.1.9"));
    PutFile(sourceDir(), "notes.edx", "x");

    JEdxFileCopier copier(&copy);
    ASSERT_TRUE(copier.CopyFiles(source(), install(), "edx", "edx"));
    // Ten files of two meshes of one version and one of another: three batches.
    ASSERT_EQ(copy.batches.size(), 3u);
    EXPECT_EQ(copy.batches[0].first, install() + "/edx1.0.10/5339");
    EXPECT_EQ(copy.batches[0].second.size(), 5u);
    EXPECT_EQ(copy.batches[1].first, install() + "/edx1.0.10/5340");
    EXPECT_EQ(copy.batches[2].first, install() + "/edx1.9/5342");
    EXPECT_EQ(copier.GetCopiedFileSize(), 11u);
    EXPECT_TRUE(exists("install/edx1.0.10/5340/5340-05.EDX"));
    EXPECT_TRUE(exists("install/edx1.9/5342/5342-00.edx"));
    ASSERT_EQ(copier.GetFailures().size(), 1u);
    EXPECT_EQ(copier.GetFailures()[0].path, source() + "/5341.edx");
    // By number 1.0.10 is older than 1.9.
    EXPECT_EQ(copier.getMaxCopiedVerStr(), "1.9");
}

TEST_F(FileCopierTest, NewestCopiedVersionCountsShortVersionFolders) {
    PutFile(sourceDir(), "5339.edx", EdxBytes("Ver.1.01"));
    JEdxFileCopier copier(&copy);
    ASSERT_TRUE(copier.CopyFileA(source() + "/5339.edx", install(), "edx"));
    // "edx1.01" has only seven characters; its version still counts.
    EXPECT_EQ(copier.getMaxCopiedVerStr(), "1.01");
    PutFile(sourceDir(), "5340.edx", EdxBytes("Ver.1.10"));
    ASSERT_TRUE(copier.CopyFileA(source() + "/5340.edx", install(), "edx"));
    EXPECT_EQ(copier.getMaxCopiedVerStr(), "1.10");
    EXPECT_EQ(JEdxFileCopier(&copy).getMaxCopiedVerStr(), "");

    EXPECT_TRUE(JEdxFileCopier::is1stMeshFolderName("5339"));
    EXPECT_FALSE(JEdxFileCopier::is1stMeshFolderName("533"));
    EXPECT_FALSE(JEdxFileCopier::is1stMeshFolderName("53391"));
    EXPECT_FALSE(JEdxFileCopier::is1stMeshFolderName("53a9"));
}

TEST_F(FileCopierTest, FloppyCopyTakesTheFirstLevelMeshFolders) {
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        FloppyCopier none(&copy, "");
        EXPECT_FALSE(none.CopyFilesFromFD(install(), "edx", "edx"));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(
            prompts.asked[0].first,
            "フロッピーディスクドライブにTrelvic/EDXのフロッピーディスクを準備してください。");
    }
    MakeFolder(m_dir, "floppy/misc");
    PutFile(m_dir, "floppy/misc/5339.edx", EdxBytes());
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        FloppyCopier empty(&copy, path("floppy"));
        EXPECT_FALSE(empty.CopyFilesFromFD(install(), "edx", "edx"));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].first.Left(46),
                  CString("フロッピーディスクドライブにパラメータファイルが見つかりませんでした。")
                      .Left(46));
    }
    PutFile(m_dir, "floppy/5339/5339-01.edx", EdxBytes());
    PutFile(m_dir, "floppy/5340/5340.edx", EdxBytes());
    FloppyCopier copier(&copy, path("floppy"));
    EXPECT_TRUE(copier.CopyFilesFromFD(install(), "edx", "edx"));
    EXPECT_EQ(copier.GetCopiedFileSize(), 2u);
    EXPECT_TRUE(exists("install/edx2.1.2/5339/5339-01.edx"));
    EXPECT_TRUE(exists("install/edx2.1.2/5340/5340.edx"));
    EXPECT_FALSE(exists("install/edx2.1.2/5339/5339.edx")); // misc is no mesh folder
}

TEST_F(FileCopierTest, ParameterFilesVersionedOrNot) {
    PutFile(sourceDir(), "TKY2JGD.par", ParBytes("Ver.2.1.1"));
    PutFile(sourceDir(), "関東.PAR", ParBytes("Ver.2.1.1"));
    PutFile(sourceDir(), "old.par", ParBytes("noversion"));
    JCnvPrmFileCopier copier(&copy);
    ASSERT_TRUE(copier.CopyPrmFiles(source(), install(), true));
    EXPECT_EQ(copier.GetCopiedFileSize(), 3u);
    EXPECT_TRUE(exists("install/par2.1.1/TKY2JGD.par"));
    EXPECT_TRUE(exists("install/par2.1.1/関東.PAR"));
    EXPECT_TRUE(exists("install/old.par")); // no version: the installation folder itself

    JCnvPrmFileCopier flat(&copy);
    ASSERT_TRUE(flat.CopyPrmFile(source() + "/TKY2JGD.par", path("flat"), false));
    EXPECT_TRUE(exists("flat/TKY2JGD.par"));
    EXPECT_FALSE(flat.CopyPrmFiles(path("flat/none"), install(), true));
}

TEST_F(FileCopierTest, CopiesAreWritableByTheirOwnerAndReplaceNothingButTheirTargets) {
    namespace fs = std::filesystem;
    // Files of read-only media; one was copied before, read-only as its source.
    for (const char *name : {"A.par", "B.par", "C.par"}) {
        PutFile(sourceDir(), name, ParBytes());
        fs::permissions(sourceDir() / name,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    PutFile(installDir(), "B.par", "older copy");
    fs::permissions(installDir() / "B.par", fs::perms::owner_read);
    // A colleague's file under the name a copy of A.par was once written through, and C.par a
    // link to the parameter file kept in a shared folder.
    const CString beside = "A.par.copy" + CString(std::to_string(::getpid()).c_str());
    PutFile(installDir(), beside, "a colleague's file");
    PutFile(m_dir, "shared/C.par", "older shared");
    fs::create_symlink(m_dir / "shared" / "C.par", installDir() / "C.par");

    testsupport::ScriptedPrompts prompts({IDYES, IDYES});
    JCnvPrmFileCopier copier(&copy);
    ASSERT_TRUE(copier.CopyPrmFiles(source(), install(), false));
    EXPECT_EQ(copier.GetCopiedFileSize(), 3u);
    for (const char *name : {"A.par", "B.par"}) {
        EXPECT_EQ(testsupport::ReadFileBytes(installDir() / name), ParBytes()) << name;
        EXPECT_NE(fs::status(installDir() / name).permissions() & fs::perms::owner_write,
                  fs::perms::none)
            << name;
    }
    EXPECT_EQ(testsupport::ReadFileBytes(installDir() / ToUtf8(beside)), "a colleague's file");
    EXPECT_TRUE(fs::is_symlink(installDir() / "C.par"));
    EXPECT_EQ(get("shared/C.par"), ParBytes());
    // Nothing else is left in the folder, visible or hidden.
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(installDir()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"A.par", ToUtf8(beside), "B.par", "C.par"}));
}

TEST_F(FileCopierTest, ACopyThatFailsLeavesTheOldCopyAsItWas) {
    namespace fs = std::filesystem;
    PutFile(sourceDir(), "B.par", ParBytes());
    PutFile(installDir(), "B.par", "older copy");
    fs::permissions(installDir() / "B.par", fs::perms::owner_read);
    testsupport::ScriptedPrompts prompts({IDYES});
    JCnvPrmFileCopier copier(&copy);
    {
        testsupport::FileSizeLimit full(4); // the disk fills at the fifth byte
        EXPECT_FALSE(copier.CopyPrmFile(source() + "/B.par", install(), false));
    }
    EXPECT_EQ(testsupport::ReadFileBytes(installDir() / "B.par"), "older copy");
    EXPECT_EQ(fs::status(installDir() / "B.par").permissions(), fs::perms::owner_read);
}

TEST_F(FileCopierTest, CdRomCopyNeedsAMountedDiscWithParameterFiles) {
    // The question has a caption of its own.
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const auto reply = testsupport::WhenShown<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        if (QAbstractButton *cancel = box->button(QMessageBox::Cancel))
            cancel->click();
        else
            box->done(0);
    });
    EXPECT_FALSE(JCnvPrmFileCopier(&copy).CopyPrmFilesPrompt());
    EXPECT_EQ(title, ToQString("変換パラメータファイルのコピー"));
    EXPECT_TRUE(text.contains(ToQString("CD-ROMドライブにTKY2JGDのCD-ROMをセットし")));
    EXPECT_EQ(icon, QMessageBox::Information);
    const auto reply2 = testsupport::WhenShown<QMessageBox>(
        [](QMessageBox *box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_TRUE(JCnvPrmFileCopier(&copy).CopyPrmFilesPrompt());

    testsupport::ScriptedPrompts prompts({IDOK, IDOK});
    CdRomCopier noDrive(&copy, "");
    EXPECT_FALSE(noDrive.CopyPrmFiles(install(), true));
    EXPECT_EQ(prompts.asked[0].first, "CD-ROMドライブが見つかりませんでした。");

    MakeFolder(m_dir, "disc/PARS");
    CdRomCopier noFiles(&copy, path("disc"));
    EXPECT_FALSE(noFiles.CopyPrmFiles(install(), true));
    EXPECT_EQ(prompts.asked[1].first.Left(44),
              CString("CD-ROMにパラメータファイルが見つかりませんでした。").Left(44));
    EXPECT_FALSE(noFiles.CopyPrmFiles("", true));
    EXPECT_TRUE(copy.batches.empty());

    // The folder is found whatever the case the disc gives it.
    PutFile(m_dir, "disc/PARS/TKY2JGD.PAR", ParBytes());
    CdRomCopier copier(&copy, path("disc"));
    EXPECT_TRUE(copier.CopyPrmFiles(install(), true));
    EXPECT_TRUE(exists("install/par2.1.1/TKY2JGD.PAR"));
}

} // namespace
