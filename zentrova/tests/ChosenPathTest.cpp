// Files and folders named as Japanese input on Linux types them ("〜" U+301C, "−" U+2212, and
// "𠮷", which cp932 lacks), chosen in the file dialogs, beside look-alikes spelled with the
// characters cp932 converts back to ("～" U+FF5E, "－" U+FF0D): the program reads and writes the
// very files chosen and leaves the look-alikes as they were.
#include "platform/core/Path.h"
#include "platform/ui/QtText.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/ScriptedChooser.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TextForms.h"
#include "zentrova/CMainFrame.h"
#include "zentrova/CZentrovaView.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/tests/ProgramFixture.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using testsupport::Utf8Bytes;

namespace {

class ChosenPathTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        m_site = m_dir / Utf8Bytes(u8"現場〜A");
        fs::create_directories(m_site / "config");
        fs::copy_file(ZENTROVA_SAMPLE_PROJECT, m_site / "config/sample.zub");
        fs::create_directories(m_dir / Utf8Bytes(u8"現場～A"));
    }

    // A file chosen in a dialog, as the dialog hands it over.
    static CString chosen(const fs::path &file) {
        return FromQPath(QString::fromStdString(file.string()));
    }

    // The program placed in the site folder: its config folder made as the program makes it.
    CanvasSources siteSources() const {
        CanvasSources s;
        s.configFolder = Path::Join(Path::FromNative(m_site.string()), "config");
        return s;
    }

    fs::path m_site;
};

// Look-alike projects are two files: the first by name is opened, and it is that very file.
TEST_F(ChosenPathTest, LookAlikeProjectsAreEachOpenedAsThemselves) {
    fs::rename(m_site / "config/sample.zub", m_site / Utf8Bytes(u8"config/〜.zub"));
    testsupport::WriteFileBytes(m_site / Utf8Bytes(u8"config/～.zub"), "not a project");
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        CMainFrame frame(siteSources());
        frame.OnInitialUpdate();
        ASSERT_EQ(prompts.asked.size(), 1u);
        // Read and found damaged: the very file ～.zub was opened.
        EXPECT_GE(prompts.asked[0].first.Find("「～.zub」は壊れている"), 0)
            << ToUtf8(prompts.asked[0].first);
    }
    fs::remove(m_site / Utf8Bytes(u8"config/～.zub"));
    testsupport::ScriptedPrompts prompts;
    CMainFrame frame(siteSources());
    frame.OnInitialUpdate();
    EXPECT_TRUE(frame.GetView()->GetDialog()->IsLoaded());
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ChosenPathTest, LoadImportExportAndPrintReachTheChosenFilesOnly) {
    putTargetCsv("targets.csv", 3);
    testsupport::WriteFileBytes(m_site / Utf8Bytes(u8"測点〜1.csv"), get("targets.csv"));
    testsupport::WriteFileBytes(m_site / Utf8Bytes(u8"測点～1.csv"), "WRONG,1,2,3\r\n");
    testsupport::WriteFileBytes(m_site / Utf8Bytes(u8"出力～1.csv"), "keep");
    testsupport::WriteFileBytes(m_site / Utf8Bytes(u8"表～1.pdf"), "keep");
    fs::create_directories(m_dir / Utf8Bytes(u8"\U00020BB7田"));

    testsupport::ScriptedPrompts prompts;
    CMainFrame frame(siteSources());
    testsupport::ScriptedChooser chooser;
    frame.GetView()->SetFileChooser(&chooser);
    frame.OnInitialUpdate();
    CDlgCanvas *dialog = frame.GetView()->GetDialog();
    ASSERT_TRUE(dialog->IsLoaded()); // from the config folder inside 現場〜A, without a message
    chooser.answers = {chosen(m_site / Utf8Bytes(u8"測点〜1.csv")),
                       chosen(m_site / Utf8Bytes(u8"出力〜1.csv")),
                       chosen(m_dir / Utf8Bytes(u8"\U00020BB7田/差−2.csv")),
                       chosen(m_dir / Utf8Bytes(u8"\U00020BB7田/差−2.csv"))};
    frame.GetView()->OnFileImport();
    ASSERT_EQ(dialog->GetBeforeList()->GetItemCount(), 3);
    frame.GetView()->OnConvert();
    ASSERT_EQ(dialog->GetAfterList()->GetItemCount(), 3);
    const QString convertedX = dialog->GetAfterList()->Text(0, 1);

    // Written where chosen, the look-alike beside it untouched.
    frame.GetView()->OnCsvOutput();
    const std::string exported = testsupport::ReadFileBytes(m_site / Utf8Bytes(u8"出力〜1.csv"));
    EXPECT_EQ(exported.rfind(";", 0), 0u) << exported;
    EXPECT_EQ(testsupport::ReadFileBytes(m_site / Utf8Bytes(u8"出力～1.csv")), "keep");

    // Into and out of a folder whose name cp932 lacks.
    frame.GetView()->OnCsvOutput();
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir / Utf8Bytes(u8"\U00020BB7田/差−2.csv")), exported);
    frame.GetView()->OnFileImport();
    ASSERT_EQ(dialog->GetBeforeList()->GetItemCount(), 3);
    EXPECT_EQ(dialog->GetBeforeList()->Text(0, 1), convertedX);

    // The comparison table printed to a file of the dialog's choice.
    frame.GetView()->OnConvert();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString((m_site / Utf8Bytes(u8"表〜1.pdf")).string()));
    testsupport::RecordingProgress progress;
    EXPECT_TRUE(frame.GetView()->PrintComparisonTable(printer, progress));
    EXPECT_EQ(testsupport::ReadFileBytes(m_site / Utf8Bytes(u8"表〜1.pdf")).rfind("%PDF", 0), 0u);
    EXPECT_EQ(testsupport::ReadFileBytes(m_site / Utf8Bytes(u8"表～1.pdf")), "keep");
}

} // namespace
