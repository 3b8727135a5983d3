#include "pallomir/ui/CADBFileCopyDlg.h"
#include "pallomir/ui/CEDXFileCopyDlg.h"
#include "pallomir/ui/CPrmFileCopyDlg.h"
#include "pallomir/ui/FileChooser.h"
#include "pallomir/ui/FileCopyForm.h"
#include "pallomir/ui/JCnvPrmFileCopier.h"
#include "pallomir/ui/JFileCopier.h"
#include "pallomir/ui/tests/DataFolders.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScriptedChooser.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WhenShown.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using testsupport::ScriptedChooser;

template <class T> T *Control(QWidget *dialog, int id) {
    return qobject_cast<T *>(GetDlgItem(dialog, id));
}

QPushButton *Ok(QWidget *dialog) { return Control<QPushButton>(dialog, IDOK); }

void Choose(QWidget *dialog, int radioId) { Control<QRadioButton>(dialog, radioId)->click(); }

class FileCopyDlgTest : public testsupport::TempFolderTest {
  protected:
    CString install() const { return path("install"); }
    CString source() const { return path("source"); }
    std::filesystem::path sourceDir() const { return m_dir / "source"; }
    RecordingCopy copy;
    ScriptedChooser chooser;
};

// An EDX dialog whose copier finds the floppy disk in a test folder.
class FloppyEdxDlg : public CEDXFileCopyDlg {
  public:
    FloppyEdxDlg(const CString &install, CString floppy)
        : CEDXFileCopyDlg(install), m_floppy(std::move(floppy)) {}

  protected:
    JEdxFileCopier *createCopier() override {
        struct Copier : JEdxFileCopier {
            Copier(IFileCopyOperation *op, CString f) : JEdxFileCopier(op), floppy(std::move(f)) {}
            CString getFloppyFolder() const override { return floppy; }
            CString floppy;
        };
        return new Copier(m_operation, m_floppy);
    }

  private:
    CString m_floppy;
};

TEST_F(FileCopyDlgTest, BoundaryDialogEnablesOkForATypedOrBrowsedSource) {
    CADBFileCopyDlg dialog(install());
    dialog.SetFileChooser(&chooser);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), ToQString("行政界・海岸線(面)ファイルのインストール"));
    EXPECT_TRUE(Control<QRadioButton>(&dialog, FileCopyForm::IDC_RADIO_FOLDER)->isChecked());
    EXPECT_FALSE(Ok(&dialog)->isEnabled());
    EXPECT_EQ(Ok(&dialog)->text(), ToQString("コピー実行(&E)"));
    EXPECT_TRUE(GetDlgItem(&dialog, FileCopyForm::IDC_BTN_REF_FOLDER)->isEnabled());
    EXPECT_FALSE(GetDlgItem(&dialog, FileCopyForm::IDC_BTN_REF_FILE)->isEnabled());

    // A path typed by hand is as good as one browsed for.
    auto *folderEdit = Control<QLineEdit>(&dialog, FileCopyForm::IDC_EDIT_FOLDER);
    QTest::keyClicks(folderEdit, QStringLiteral("/tmp"));
    EXPECT_TRUE(Ok(&dialog)->isEnabled());
    folderEdit->setText(QStringLiteral("  "));
    EXPECT_FALSE(Ok(&dialog)->isEnabled());

    chooser.answers = {source()};
    Control<QPushButton>(&dialog, FileCopyForm::IDC_BTN_REF_FOLDER)->click();
    EXPECT_EQ(folderEdit->text(), ToQString(source()));
    EXPECT_EQ(chooser.titles.back(), "フォルダの参照");
    EXPECT_TRUE(Ok(&dialog)->isEnabled());

    Choose(&dialog, FileCopyForm::IDC_RADIO_FILE);
    EXPECT_FALSE(Ok(&dialog)->isEnabled());
    EXPECT_FALSE(GetDlgItem(&dialog, FileCopyForm::IDC_BTN_REF_FOLDER)->isEnabled());
    chooser.answers = {source() + "/N03-13A-01.txt"};
    Control<QPushButton>(&dialog, FileCopyForm::IDC_BTN_REF_FILE)->click();
    EXPECT_EQ(chooser.titles.back(), "行政界ファイルの選択");
    EXPECT_EQ(chooser.filters.back(), "国土数値情報 行政界・海岸線(面)ファイル (*.txt)|*.txt||");
    EXPECT_TRUE(Ok(&dialog)->isEnabled());
    // A cancelled browse leaves the edit alone.
    chooser.answers = {""};
    Control<QPushButton>(&dialog, FileCopyForm::IDC_BTN_REF_FILE)->click();
    EXPECT_EQ(Control<QLineEdit>(&dialog, FileCopyForm::IDC_EDIT_FILE)->text(),
              ToQString(source() + "/N03-13A-01.txt"));
}

TEST_F(FileCopyDlgTest, BoundaryDialogCopiesAndClosesOnlyWhenSomethingWasCopied) {
    MakeFolder(sourceDir(), "");
    CADBFileCopyDlg dialog(install());
    dialog.SetFileCopyOperation(&copy);
    dialog.show();
    Control<QLineEdit>(&dialog, FileCopyForm::IDC_EDIT_FOLDER)->setText(ToQString(source()));
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        Ok(&dialog)->click();
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].first,
                  "指定されたフォルダに行政界・海岸線(面)ファイルが１つもなかった"
                  "ため、コピーされませんでした。");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.isEnabled());
    }
    PutFile(sourceDir(), "N03-13A-01.txt", "a");
    PutFile(sourceDir(), "N03-13A-02.txt", "b");
    copy.failing = {"N03-13A-02.txt"};
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        Ok(&dialog)->click();
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].second, MB_ICONEXCLAMATION);
        EXPECT_NE(prompts.asked[0].first.Find("N03-13A-02.txt\n    コピーに失敗しました"), -1);
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(dialog.GetCopiedFileSize(), 1u);
    EXPECT_EQ(dialog.GetCopiedFileName(0), "N03-13A-01.txt");
    EXPECT_EQ(dialog.GetCopiedFilePath(0), "N03-13A-01.txt");
    EXPECT_TRUE(exists("install/mlitksj/N03-13A-01.txt"));
}

TEST_F(FileCopyDlgTest, BoundaryDialogReportsAFailedSingleCopyAndStaysOpen) {
    CADBFileCopyDlg dialog(install());
    dialog.SetFileCopyOperation(&copy);
    dialog.show();
    Choose(&dialog, FileCopyForm::IDC_RADIO_FILE);
    Control<QLineEdit>(&dialog, FileCopyForm::IDC_EDIT_FILE)
        ->setText(ToQString(source() + "/N03-13A-01.txt"));
    testsupport::ScriptedPrompts prompts({IDOK});
    Ok(&dialog)->click();
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_NE(prompts.asked[0].first.Find("コピーに失敗しました"), -1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.GetCopiedFileSize(), 0u);
}

TEST_F(FileCopyDlgTest, EdxDialogCopiesFromFloppyFolderOrFile) {
    PutFile(m_dir, "floppy/5339/5339-01.edx", EdxBytes("Ver.1.9"));
    PutFile(m_dir, "floppy/5340/5340.edx", EdxBytes("Ver.1.10"));
    FloppyEdxDlg dialog(install(), path("floppy"));
    dialog.SetFileCopyOperation(&copy);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), ToQString("EDXデータファイルのインストール"));
    EXPECT_TRUE(Control<QRadioButton>(&dialog, CEDXFileCopyDlg::IDC_RADIO_FD)->isChecked());
    EXPECT_TRUE(Ok(&dialog)->isEnabled());
    EXPECT_FALSE(GetDlgItem(&dialog, FileCopyForm::IDC_BTN_REF_FOLDER)->isEnabled());
    Ok(&dialog)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(dialog.GetCopiedFileSize(), 2u);
    EXPECT_EQ(dialog.GetCopiedFilePath(0), path("floppy/5339/5339-01.edx"));
    EXPECT_EQ(dialog.GetCopiedFileName(1), "5340.edx");
    EXPECT_EQ(dialog.GetCopiedVerStr(), "1.10");
    EXPECT_TRUE(exists("install/edx1.9/5339/5339-01.edx"));

    // A folder without EDX files: told so, the dialog stays.
    FloppyEdxDlg second(install(), "");
    second.SetFileCopyOperation(&copy);
    second.show();
    Choose(&second, FileCopyForm::IDC_RADIO_FOLDER);
    EXPECT_FALSE(Ok(&second)->isEnabled());
    MakeFolder(m_dir, "empty");
    Control<QLineEdit>(&second, FileCopyForm::IDC_EDIT_FOLDER)->setText(ToQString(path("empty")));
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        Ok(&second)->click();
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].first.Left(40),
                  CString("指定されたフォルダにTrelvic/EDXファイルが１つもなかったため").Left(40));
    }
    EXPECT_TRUE(second.isVisible());

    // One file, with the second-level name -00 the generation writes.
    PutFile(sourceDir(), "5341-00.edx", EdxBytes("Ver.2.0"));
    Choose(&second, FileCopyForm::IDC_RADIO_FILE);
    Control<QLineEdit>(&second, FileCopyForm::IDC_EDIT_FILE)
        ->setText(ToQString(source() + "/5341-00.edx"));
    Ok(&second)->click();
    EXPECT_EQ(second.result(), QDialog::Accepted);
    EXPECT_EQ(second.GetCopiedVerStr(), "2.0");
    EXPECT_TRUE(exists("install/edx2.0/5341/5341-00.edx"));
}

TEST_F(FileCopyDlgTest, ParameterDialogIsNeverLeftDisabled) {
    PutFile(sourceDir(), "TKY2JGD.par", ParBytes("Ver.2.1.1"));
    CPrmFileCopyDlg dialog(install());
    dialog.SetFileCopyOperation(&copy);
    dialog.show();
    EXPECT_EQ(dialog.GetCopyKind(), 1);
    EXPECT_TRUE(Control<QCheckBox>(&dialog, CPrmFileCopyDlg::IDC_CHECK_VERSIONED)->isChecked());
    // Both browse buttons stay enabled whatever the source.
    EXPECT_TRUE(GetDlgItem(&dialog, FileCopyForm::IDC_BTN_REF_FOLDER)->isEnabled());
    EXPECT_TRUE(GetDlgItem(&dialog, FileCopyForm::IDC_BTN_REF_FILE)->isEnabled());

    // OK with the edit left empty (Enter reaches OnOK) ends the handler; the dialog works on.
    dialog.accept();
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_TRUE(dialog.isVisible());
    Choose(&dialog, FileCopyForm::IDC_RADIO_FILE);
    dialog.accept();
    EXPECT_TRUE(dialog.isEnabled());
    // The CD-ROM question answered with Cancel.
    Choose(&dialog, CPrmFileCopyDlg::IDC_RADIO_CDROM);
    EXPECT_EQ(dialog.GetCopyKind(), 0);
    EXPECT_TRUE(Ok(&dialog)->isEnabled());
    bool asked = false;
    const auto reply = testsupport::WhenShown<QMessageBox>([&asked](QMessageBox *box) {
        asked = true;
        box->button(QMessageBox::Cancel)->click();
    });
    Ok(&dialog)->click();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_TRUE(dialog.isVisible());

    Choose(&dialog, FileCopyForm::IDC_RADIO_FOLDER);
    Control<QLineEdit>(&dialog, FileCopyForm::IDC_EDIT_FOLDER)->setText(ToQString(source()));
    Ok(&dialog)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_TRUE(exists("install/par2.1.1/TKY2JGD.par"));

    // Unversioned, into the installation folder itself.
    CPrmFileCopyDlg flat(install());
    flat.SetFileCopyOperation(&copy);
    flat.show();
    Control<QCheckBox>(&flat, CPrmFileCopyDlg::IDC_CHECK_VERSIONED)->setChecked(false);
    Choose(&flat, FileCopyForm::IDC_RADIO_FILE);
    Control<QLineEdit>(&flat, FileCopyForm::IDC_EDIT_FILE)
        ->setText(ToQString(source() + "/TKY2JGD.par"));
    Ok(&flat)->click();
    EXPECT_EQ(flat.result(), QDialog::Accepted);
    EXPECT_TRUE(exists("install/TKY2JGD.par"));
}

TEST(FileCopyDlgScreenshots, EachDialogRendersItsJapaneseText) {
    CADBFileCopyDlg adb("/tmp");
    adb.show();
    SaveScreenshot(&adb, "CADBFileCopyDlg.png");
    CEDXFileCopyDlg edx("/tmp");
    edx.show();
    SaveScreenshot(&edx, "CEDXFileCopyDlg.png");
    CPrmFileCopyDlg prm("/tmp");
    prm.show();
    SaveScreenshot(&prm, "CPrmFileCopyDlg.png");

    for (QWidget *dialog : std::initializer_list<QWidget *>{&adb, &edx, &prm})
        ExpectNothingClipped(dialog);
}

} // namespace
