#include "pallomir/ui/CADBDataSelDlg.h"
#include "pallomir/ui/CEDXDataSelDlg.h"
#include "pallomir/ui/CPrmFileCopyDlg.h"
#include "pallomir/ui/CPrmFileSelDlg.h"
#include "pallomir/ui/FileCopyForm.h"
#include "pallomir/ui/PrmFileCmbBox.h"
#include "pallomir/ui/tests/DataFolders.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WhenShown.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

template <class T> T *Control(QWidget *dialog, int id) {
    return qobject_cast<T *>(GetDlgItem(dialog, id));
}

std::vector<std::string> Items(QWidget *dialog, int id) {
    std::vector<std::string> texts;
    if (auto *combo = Control<QComboBox>(dialog, id)) {
        for (int i = 0; i < combo->count(); ++i)
            texts.push_back(ToCString(combo->itemText(i)).Bytes());
    } else if (auto *list = Control<QListWidget>(dialog, id)) {
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(ToCString(list->item(i)->text()).Bytes());
    }
    return texts;
}

// The user picks item index of a combo box.
void Pick(QWidget *dialog, int id, int index) {
    auto *combo = Control<QComboBox>(dialog, id);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

using Strings = std::vector<std::string>;

class DataSelDlgTest : public testsupport::TempFolderTest {
  protected:
    CString install() const { return folder(); }
};

// ---- parameter files

TEST_F(DataSelDlgTest, ParameterFileAndVersionFolder) {
    PutFile(m_dir, "TKY2JGD.par", ParBytes());
    PutFile(m_dir, "par2.1.1/関東.par", ParBytes());
    PutFile(m_dir, "par2.1.1/TKY2JGD.par", ParBytes());
    PutFile(m_dir, "par2.1.1/abc.par", ParBytes());
    PutFile(m_dir, "par1.0/TKY2JGD.par", ParBytes());

    CPrmFileSelDlg dialog("関東.par", "par2.1.1", install());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), ToQString("変換パラメータファイルの選択"));
    EXPECT_EQ(Items(&dialog, CPrmFileSelDlg::IDC_CMB_PRMFILE),
              (Strings{"TKY2JGD.par", "関東.par", "abc.par"}));
    EXPECT_EQ(
        Items(&dialog, CPrmFileSelDlg::IDC_CMB_PRMVERSION),
        (Strings{"バージョン 1.0", "バージョン 2.1.1", "バージョン不明(実行ファイルと同じ位置)"}));
    EXPECT_EQ(Control<QComboBox>(&dialog, CPrmFileSelDlg::IDC_CMB_PRMFILE)->currentIndex(), 1);
    EXPECT_EQ(Control<QComboBox>(&dialog, CPrmFileSelDlg::IDC_CMB_PRMVERSION)->currentIndex(), 1);

    // OK unchanged.
    dialog.accept();
    EXPECT_EQ(dialog.GetSelectedFile(), "関東.par");
    EXPECT_EQ(dialog.GetSelectedDir(), "par2.1.1");
    EXPECT_FALSE(dialog.IsChanged());

    // The folder beside the program: the returned folder name is empty.
    CPrmFileSelDlg other("tky2jgd.par", "par2.1.1", install());
    other.show();
    Pick(&other, CPrmFileSelDlg::IDC_CMB_PRMVERSION, 2);
    EXPECT_EQ(Items(&other, CPrmFileSelDlg::IDC_CMB_PRMFILE), (Strings{"TKY2JGD.par"}));
    // The file is found by its beginning, without case.
    EXPECT_EQ(Control<QComboBox>(&other, CPrmFileSelDlg::IDC_CMB_PRMFILE)->currentIndex(), 0);
    other.accept();
    EXPECT_EQ(other.GetSelectedFile(), "TKY2JGD.par");
    EXPECT_EQ(other.GetSelectedDir(), "");
    EXPECT_TRUE(other.IsChanged());
}

TEST_F(DataSelDlgTest, ParameterCopyRefreshesBothLists) {
    PutFile(m_dir, "cd/TKY2JGD.par", ParBytes("Ver.3.0"));
    RecordingCopy copy;
    CPrmFileSelDlg dialog("TKY2JGD.par", "", path("install"));
    dialog.SetFileCopyOperation(&copy);
    dialog.show();
    EXPECT_EQ(Items(&dialog, CPrmFileSelDlg::IDC_CMB_PRMFILE), Strings{});
    const auto reply = testsupport::WhenShown<CPrmFileCopyDlg>([this](CPrmFileCopyDlg *copyDialog) {
        Control<QLineEdit>(copyDialog, FileCopyForm::IDC_EDIT_FOLDER)
            ->setText(ToQString(path("cd")));
        Control<QPushButton>(copyDialog, IDOK)->click();
    });
    Control<QPushButton>(&dialog, CPrmFileSelDlg::IDC_BTN_PRMFILE_COPY)->click();
    EXPECT_EQ(Items(&dialog, CPrmFileSelDlg::IDC_CMB_PRMVERSION),
              (Strings{"バージョン 3.0", "バージョン不明(実行ファイルと同じ位置)"}));
    Pick(&dialog, CPrmFileSelDlg::IDC_CMB_PRMVERSION, 0);
    EXPECT_EQ(Items(&dialog, CPrmFileSelDlg::IDC_CMB_PRMFILE), (Strings{"TKY2JGD.par"}));
    dialog.accept();
    EXPECT_EQ(dialog.GetSelectedDir(), "par3.0");
    EXPECT_TRUE(dialog.IsChanged());
}

// ---- administrative boundaries

TEST_F(DataSelDlgTest, BoundaryYearsAndPrefectures) {
    PutFile(m_dir, "mlitksj/N03-13A-01.txt", "x");
    PutFile(m_dir, "mlitksj/N03-13A-13.txt", "x");
    PutFile(m_dir, "mlitksj/N03-15A-13.txt", "x");
    PutFile(m_dir, "mlitksj/N03-15A-2K_47.txt", "x");
    // A stray file does not empty the dialog.
    PutFile(m_dir, "mlitksj/readme.txt", "x");

    CADBDataSelDlg dialog(install(), -1, false, false, {13, 2});
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), ToQString("行政界・海岸線の表示設定"));
    EXPECT_EQ(Items(&dialog, CADBDataSelDlg::IDC_CMB_ADB_YEAR),
              (Strings{"平成 13 年度", "平成 15 年度"}));
    EXPECT_EQ(Control<QComboBox>(&dialog, CADBDataSelDlg::IDC_CMB_ADB_YEAR)->currentIndex(), 1);
    EXPECT_EQ(dialog.GetDisplayYear(), 15);

    auto *list = Control<QListWidget>(&dialog, CADBDataSelDlg::IDC_LIST_PREF);
    ASSERT_EQ(list->count(), 47);
    EXPECT_EQ(ToCString(list->item(0)->text()), "北海道 (ファイルが存在しません)");
    EXPECT_FALSE(list->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(ToCString(list->item(12)->text()), "東京都");
    EXPECT_TRUE(list->item(12)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(list->item(12)->checkState(), Qt::Checked);
    // Code 2 is ticked though greyed out; the 2K file is read as prefecture 47, not 2.
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_FALSE(list->item(1)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(ToCString(list->item(46)->text()), "沖繩県");
    EXPECT_TRUE(list->item(46)->flags() & Qt::ItemIsEnabled);

    // Ticks carry over to another year.
    list->item(46)->setCheckState(Qt::Checked);
    list->item(1)->setCheckState(Qt::Unchecked);
    Pick(&dialog, CADBDataSelDlg::IDC_CMB_ADB_YEAR, 0);
    EXPECT_EQ(dialog.GetDisplayYear(), 13);
    EXPECT_TRUE(list->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(list->item(46)->checkState(), Qt::Checked);
    EXPECT_EQ(ToCString(list->item(46)->text()), "沖繩県 (ファイルが存在しません)");
    list->item(0)->setCheckState(Qt::Checked);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(dialog.GetDisplayPrefSize(), 3u);
    EXPECT_EQ(dialog.GetDisplayPrefCode(0), 1);
    EXPECT_EQ(dialog.GetDisplayPrefCode(1), 13);
    EXPECT_EQ(dialog.GetDisplayPrefCode(2), 47);
    EXPECT_EQ(dialog.GetDisplayPrefCode(3), 0);
}

TEST_F(DataSelDlgTest, BoundaryScanRules) {
    PutFile(m_dir, "MLITKSJ/N03-12A-2K_47.txt", "x");
    PutFile(m_dir, "MLITKSJ/n03-12A-05.TXT", "x");
    PutFile(m_dir, "MLITKSJ/N03-xxA-05.txt", "x");
    MakeFolder(m_dir, "MLITKSJ/N03-14A-01.txt");
    std::set<int> years;
    std::vector<CString> names;
    CADBDataSelDlg::setData(install(), years, names);
    EXPECT_EQ(years, (std::set<int>{12}));
    ASSERT_EQ(names.size(), 2u);
    const auto tables = CADBDataSelDlg::createYearTbl(years, names);
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(tables[0].prefs.size(), 47u);
    EXPECT_TRUE(tables[0].prefs[4].present);
    EXPECT_TRUE(tables[0].prefs[46].present);
    EXPECT_FALSE(tables[0].prefs[1].present);
    EXPECT_EQ(tables[0].prefs[46].fileName, "N03-12A-47.txt");

    CADBDataSelDlg::setData("", years, names);
    EXPECT_TRUE(years.empty());
    // No files: no years and an empty list; the display year stays.
    CADBDataSelDlg dialog(path("none"), 15, false, false, {1});
    dialog.show();
    EXPECT_EQ(Items(&dialog, CADBDataSelDlg::IDC_CMB_ADB_YEAR), Strings{});
    EXPECT_EQ(Items(&dialog, CADBDataSelDlg::IDC_LIST_PREF), Strings{});
    dialog.accept();
    EXPECT_EQ(dialog.GetDisplayYear(), 15);
    EXPECT_EQ(dialog.GetDisplayPrefSize(), 1u);
}

// ---- EDX

std::vector<JMeshCode> Codes(std::initializer_list<UINT> numbers) {
    std::vector<JMeshCode> codes;
    for (const UINT number : numbers) {
        JMeshCode code;
        if (number < 10000)
            code.SetMeshCode1(static_cast<short>(number));
        else
            code.SetMeshCode2(number);
        codes.push_back(code);
    }
    return codes;
}

TEST_F(DataSelDlgTest, EdxVersionsFoldersAndFiles) {
    PutFile(m_dir, "edx1.9/5339/5339.edx", EdxBytes());
    PutFile(m_dir, "edx1.9/5339/5339-01.edx", EdxBytes());
    PutFile(m_dir, "EDX1.10/5339/5339-00.EDX", EdxBytes());
    PutFile(m_dir, "EDX1.10/5339/notes.edx", "x");
    MakeFolder(m_dir, "EDX1.10/5440");  // no files: still listed
    MakeFolder(m_dir, "EDX1.10/544");   // not a mesh folder
    MakeFolder(m_dir, "edxA/5339");     // not a version
    MakeFolder(m_dir, "edx/5339");      // no version
    PutFile(m_dir, "edx3.0", "a file"); // not a folder

    const EDXDataVerTbls tables = CEDXDataSelDlg::setData(install(), Codes({533901, 6000}));
    ASSERT_EQ(tables.size(), 2u);
    // By number 1.9 comes before 1.10.
    EXPECT_EQ(tables.begin()->first, "1.9");
    EXPECT_EQ(tables.rbegin()->first, "1.10");
    const EDXDataVerTbl &newest = tables.rbegin()->second;
    ASSERT_EQ(newest.firstTables.size(), 3u); // 5339, 5440 and the given 6000
    const EDXDataElm1stTbl &mesh = newest.firstTables.at(5339);
    ASSERT_EQ(mesh.elements.size(), 2u);
    EXPECT_TRUE(mesh.elements.begin()->second.present); // 5339-00
    EXPECT_FALSE(mesh.elements.begin()->second.selected);
    EXPECT_FALSE(mesh.elements.rbegin()->second.present); // 5339-01, given, not installed here
    EXPECT_TRUE(mesh.elements.rbegin()->second.selected);
    EXPECT_TRUE(newest.firstTables.at(5440).elements.empty());
    const EDXDataVerTbl &older = tables.begin()->second;
    EXPECT_TRUE(older.firstTables.at(5339).elements.rbegin()->second.present);
    EXPECT_EQ(CEDXDataSelDlg::selectedCodes(older), Codes({533901, 6000}));

    CString version;
    EXPECT_TRUE(CEDXDataSelDlg::getVersionString("EDX2.0", &version));
    EXPECT_EQ(version, "2.0");
    EXPECT_FALSE(CEDXDataSelDlg::getVersionString("edxA", &version));
    EXPECT_FALSE(CEDXDataSelDlg::getVersionString("edx", &version));
    EXPECT_FALSE(CEDXDataSelDlg::getVersionString("par1.0", &version));
    EXPECT_TRUE(CEDXDataSelDlg::is1stMeshCodeFolder("5339"));
    EXPECT_FALSE(CEDXDataSelDlg::is1stMeshCodeFolder("53390"));
}

TEST_F(DataSelDlgTest, EdxDialogSelectsTheNewestAndReturnsTheTicks) {
    PutFile(m_dir, "edx1.9/5339/5339.edx", EdxBytes());
    PutFile(m_dir, "EDX1.10/5339/5339.edx", EdxBytes());
    PutFile(m_dir, "EDX1.10/5339/5339-00.edx", EdxBytes());
    PutFile(m_dir, "EDX1.10/5440/5440.edx", EdxBytes());

    CEDXDataSelDlg dialog(install(), "", true, Codes({533901}));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), ToQString("EDXデータの表示設定"));
    EXPECT_EQ(Items(&dialog, CEDXDataSelDlg::IDC_CMB_VERSION),
              (Strings{"バージョン 1.9", "バージョン 1.10"}));
    EXPECT_EQ(Control<QComboBox>(&dialog, CEDXDataSelDlg::IDC_CMB_VERSION)->currentIndex(), 1);
    EXPECT_EQ(dialog.GetDisplayVer(), "1.10");
    EXPECT_EQ(Items(&dialog, CEDXDataSelDlg::IDC_LIST_1ST_MESH), (Strings{"5339", "5440"}));
    // In mesh-code order: the second-level squares, then the first-level mesh (code2 255).
    EXPECT_EQ(Items(&dialog, CEDXDataSelDlg::IDC_LIST_EDX),
              (Strings{"5339-00.edx", "5339-01.edx", "5339.edx"}));
    auto *edx = Control<QListWidget>(&dialog, CEDXDataSelDlg::IDC_LIST_EDX);
    // The code given and not installed: ticked and greyed out.
    EXPECT_EQ(edx->item(1)->checkState(), Qt::Checked);
    EXPECT_FALSE(edx->item(1)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(edx->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(edx->item(0)->checkState(), Qt::Unchecked);

    edx->item(0)->setCheckState(Qt::Checked);
    // To the second mesh and back: the ticks stay.
    Control<QListWidget>(&dialog, CEDXDataSelDlg::IDC_LIST_1ST_MESH)->setCurrentRow(1);
    EXPECT_EQ(Items(&dialog, CEDXDataSelDlg::IDC_LIST_EDX), (Strings{"5440.edx"}));
    edx->item(0)->setCheckState(Qt::Checked);
    Control<QListWidget>(&dialog, CEDXDataSelDlg::IDC_LIST_1ST_MESH)->setCurrentRow(0);
    EXPECT_EQ(edx->item(0)->checkState(), Qt::Checked);

    dialog.accept();
    EXPECT_EQ(dialog.GetDisplayVer(), "1.10");
    ASSERT_EQ(dialog.GetCodeSize(), 3u);
    EXPECT_EQ(dialog.GetCode(0).GetCodeStr(), Codes({533900})[0].GetCodeStr());
    EXPECT_EQ(dialog.GetCode(1), Codes({533901})[0]);
    EXPECT_EQ(dialog.GetCode(2), Codes({5440})[0]);
}

TEST_F(DataSelDlgTest, EdxSelectAllAndResetAllAskFirst) {
    PutFile(m_dir, "edx1.00/5339/5339.edx", EdxBytes());
    PutFile(m_dir, "edx1.00/5339/5339-01.edx", EdxBytes());
    PutFile(m_dir, "edx1.00/5440/5440.edx", EdxBytes());
    PutFile(m_dir, "edx2.00/5339/5339.edx", EdxBytes());
    CEDXDataSelDlg dialog(install(), "1.00", false, Codes({533901}));
    dialog.show();
    auto *edx = Control<QListWidget>(&dialog, CEDXDataSelDlg::IDC_LIST_EDX);
    {
        testsupport::ScriptedPrompts prompts({IDCANCEL, IDOK});
        Control<QPushButton>(&dialog, CEDXDataSelDlg::IDC_BTN_ALL_SELECT)->click();
        EXPECT_EQ(edx->item(0)->checkState(), Qt::Checked); // 5339-01, given
        EXPECT_EQ(edx->item(1)->checkState(), Qt::Unchecked);
        Control<QPushButton>(&dialog, CEDXDataSelDlg::IDC_BTN_ALL_SELECT)->click();
        ASSERT_EQ(prompts.asked.size(), 2u);
        EXPECT_EQ(prompts.asked[0].second, MB_OKCANCEL);
        EXPECT_NE(prompts.asked[0].first.Find("すべての１次地域区画を選択します"), -1);
    }
    // First-level files only.
    EXPECT_EQ(edx->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(edx->item(1)->checkState(), Qt::Checked);
    dialog.accept();
    EXPECT_EQ(dialog.GetCodeSize(), 2u); // 5339 and 5440

    CEDXDataSelDlg reset(install(), "1.00", false, Codes({5339, 5440}));
    reset.show();
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        Control<QPushButton>(&reset, CEDXDataSelDlg::IDC_BTN_ALL_RESET)->click();
        EXPECT_NE(prompts.asked[0].first.Find("選択状態をすべて解除します"), -1);
    }
    for (const int row : {0, 1}) {
        EXPECT_EQ(
            Control<QListWidget>(&reset, CEDXDataSelDlg::IDC_LIST_EDX)->item(row)->checkState(),
            Qt::Unchecked);
    }
    // Another version: the first one's selection stays with it; the other's is returned.
    Pick(&reset, CEDXDataSelDlg::IDC_CMB_VERSION, 1);
    EXPECT_EQ(reset.GetDisplayVer(), "2.00");
    reset.accept();
    ASSERT_EQ(reset.GetCodeSize(), 2u);
    EXPECT_EQ(reset.GetCode(0), Codes({5339})[0]);

    // Nothing installed: empty lists, nothing returned.
    CEDXDataSelDlg none(path("none"), "", true, Codes({5339}));
    none.show();
    EXPECT_EQ(Items(&none, CEDXDataSelDlg::IDC_CMB_VERSION), Strings{});
    none.accept();
    EXPECT_EQ(none.GetCodeSize(), 0u);
}

TEST_F(DataSelDlgTest, Screenshots) {
    PutFile(m_dir, "par2.1.1/TKY2JGD.par", ParBytes());
    PutFile(m_dir, "par2.1.1/九州沖縄.par", ParBytes());
    CPrmFileSelDlg prm("九州沖縄.par", "par2.1.1", install());
    prm.show();
    SaveScreenshot(&prm, "CPrmFileSelDlg.png");

    PutFile(m_dir, "mlitksj/N03-15A-13.txt", "x");
    PutFile(m_dir, "mlitksj/N03-15A-14.txt", "x");
    CADBDataSelDlg adb(install(), -1, false, false, {13});
    adb.show();
    SaveScreenshot(&adb, "CADBDataSelDlg.png");

    PutFile(m_dir, "edx1.00/5339/5339.edx", EdxBytes());
    PutFile(m_dir, "edx1.00/5339/5339-00.edx", EdxBytes());
    PutFile(m_dir, "edx1.00/5340/5340.edx", EdxBytes());
    CEDXDataSelDlg edx(install(), "", true, Codes({533901}));
    edx.show();
    SaveScreenshot(&edx, "CEDXDataSelDlg.png");

    for (QWidget *dialog : std::initializer_list<QWidget *>{&prm, &adb, &edx})
        ExpectNothingClipped(dialog);
}

} // namespace
