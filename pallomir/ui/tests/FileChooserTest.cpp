// The Qt file dialogs hand over the names typed into them as the file system spells them:
// "〜" U+301C and "−" U+2212 as Japanese input on Linux types them, and "𠮷", which cp932 lacks,
// in files and folders beside look-alikes spelled "～" U+FF5E and "－" U+FF0D.
#include "pallomir/ui/FileChooser.h"
#include "pallomir/ui/FileCopyOperation.h"
#include "platform/core/Path.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"
#include "tests/support/WhenShown.h"

#include <QFileDialog>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;
using testsupport::Utf8Bytes;

namespace {

class FileChooserTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_site = m_dir / Utf8Bytes(u8"現場〜A");
        fs::create_directories(m_site);
        fs::create_directories(m_dir / Utf8Bytes(u8"現場～A"));
        fs::create_directories(m_dir / Utf8Bytes(u8"\U00020BB7田"));
        testsupport::WriteFileBytes(m_site / Utf8Bytes(u8"測点〜1.csv"), "chosen");
        testsupport::WriteFileBytes(m_site / Utf8Bytes(u8"測点～1.csv"), "look-alike");
    }

    // Types the name into the file name field of the next file dialog, which has the focus, and
    // accepts it; started gets the folder the dialog showed first.
    [[nodiscard]] static std::unique_ptr<testsupport::DialogAnswer> type(const std::string &name,
                                                                         std::string &started) {
        started.clear();
        return testsupport::WhenShown<QFileDialog>([name, &started](QFileDialog *dialog) {
            if (started.empty())
                started = dialog->directory().absolutePath().toStdString();
            auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(field, nullptr);
            field->setText(QString::fromStdString(name));
            static_cast<QDialog *>(dialog)->accept(); // as the dialog's own button does
        });
    }

    static std::string native(const CString &path) {
        std::string text;
        EXPECT_TRUE(Path::ToNative(path, text)) << Path::NativeFault(path).Bytes();
        return text;
    }

    fs::path m_site;
};

TEST_F(FileChooserTest, TheNamesTypedAreTheFilesAndFoldersChosen) {
    QtFileChooser chooser;
    std::string started;
    CString path = Path::FromNative(m_site.string());
    // Typed whole: a name the dialog cannot find would have it ask, and wait for an answer.
    const auto reply = type((m_site / Utf8Bytes(u8"測点〜1.csv")).string(), started);
    ASSERT_TRUE(chooser.ChooseFile(nullptr, "取込", "CSV (*.csv)|*.csv||", "csv", path));
    EXPECT_EQ(started, m_site.string());
    EXPECT_EQ(testsupport::ReadFileBytes(native(path)), "chosen");

    // A file to write, its default extension added, in the folder of the file chosen before.
    CString target = Path::Folder(path);
    const auto reply2 = type((m_site / Utf8Bytes(u8"出力−〜1")).string(), started);
    ASSERT_TRUE(chooser.ChooseSaveFile(nullptr, "出力", "CSV (*.csv)|*.csv||", "csv", target));
    EXPECT_EQ(started, m_site.string());
    EXPECT_EQ(native(target), (m_site / Utf8Bytes(u8"出力−〜1.csv")).string());

    // A folder whose name cp932 lacks, and a name added to it.
    CString folder = Path::FromNative(m_dir.string());
    const auto reply3 = type((m_dir / Utf8Bytes(u8"\U00020BB7田")).string(), started);
    ASSERT_TRUE(chooser.ChooseFolder(nullptr, "フォルダー", folder));
    EXPECT_EQ(native(Path::Join(folder, "a.csv")),
              (m_dir / Utf8Bytes(u8"\U00020BB7田") / "a.csv").string());
}

// A file chosen in one folder, then its look-alike chosen as the destination: the file chosen
// first is still the one copied, into the folder chosen second.
TEST_F(FileChooserTest, LookAlikeFoldersChosenInTurnStayApart) {
    QtFileChooser chooser;
    std::string started;
    CString file = Path::FromNative(m_site.string());
    const auto reply = type((m_site / Utf8Bytes(u8"測点〜1.csv")).string(), started);
    ASSERT_TRUE(chooser.ChooseFile(nullptr, "取込", "CSV (*.csv)|*.csv||", "csv", file));
    CString folder = Path::FromNative(m_dir.string());
    const auto reply2 = type(Utf8Bytes(u8"現場～A"), started);
    ASSERT_TRUE(chooser.ChooseFolder(nullptr, "フォルダー", folder));
    EXPECT_NE(folder, Path::Folder(file));

    std::vector<FileCopyResult> results;
    ASSERT_TRUE(FileCopyOperation().CopyInto({file}, folder, results));
    EXPECT_EQ(results, std::vector<FileCopyResult>{FileCopyResult::Copied});
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir / Utf8Bytes(u8"現場～A/測点〜1.csv")), "chosen");
    EXPECT_EQ(testsupport::ReadFileBytes(native(file)), "chosen");
    EXPECT_EQ(testsupport::ReadFileBytes(m_site / Utf8Bytes(u8"測点～1.csv")), "look-alike");
}

} // namespace
