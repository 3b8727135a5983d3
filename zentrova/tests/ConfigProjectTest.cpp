// Loading the project of the config folder.
#include "zentrova/ConfigProject.h"
#include "platform/core/CException.h"
#include "zentrova/tests/ProgramFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class ConfigProjectTest : public ProgramTest {
  protected:
    // A reader that records the file it was given.
    ProjectReader recording(int result) {
        return [this, result](Veltrane &, CArchive &ar) {
            m_read = ar.GetFile()->GetFileName();
            return result;
        };
    }
    CString m_read;
};

TEST_F(ConfigProjectTest, OnlyTheFirstProjectFileByNameIsRead) {
    fs::remove(m_dir / "config/A.zub");
    put("x", "config/c.zub");
    put("x", "config/B.ZUB");  // the extension in any case
    put("x", "config/a.zubx"); // sorts first, but its extension only begins with "zub"
    put("x", "config/a.zu");
    fs::create_directories(m_dir / "config/A.zub"); // a folder is no project
    EXPECT_EQ(FindConfigProject(path("config")), path("config/B.ZUB"));

    Veltrane db;
    EXPECT_EQ(LoadConfigProject(db, path("config"), recording(0)), ConfigLoaded);
    EXPECT_EQ(m_read, CString("B.ZUB"));
}

TEST_F(ConfigProjectTest, LoadingKeepsOnlyTheBasisAndCheckPoints) {
    Veltrane db;
    ASSERT_EQ(LoadConfigProject(db, path("config"), sources().readProject), ConfigLoaded);
    EXPECT_EQ(db.size(), 30u);
    EXPECT_EQ(db.GetCnvBasisPointSize(), 24u);
    EXPECT_EQ(db.GetChkObsITRFPointSize(), 6u);
    EXPECT_EQ(db.Find(CString("KJ001")) != nullptr, true);
    EXPECT_EQ(db.GetPrecChkTable(PrecChkCnvPrec, 0) != nullptr, true);
}

TEST_F(ConfigProjectTest, AFileEndingInsideItsRecordsLeavesNothingBehind) {
    // The database's own reader on the sample project cut short.
    const std::string sample = get("config/A.zub");
    put(sample.substr(0, sample.size() / 2), "config/A.zub");
    Veltrane cut;
    EXPECT_EQ(LoadConfigProject(cut, path("config"), ReadProjectFile), ConfigUnreadable);
    EXPECT_EQ(cut.size(), 0u);

    put("project", "config/A.zub");
    Veltrane db;
    const ProjectReader truncated = [](Veltrane &target, CArchive &ar) -> int {
        testsupport::AddSurveyPoints(target, testsupport::SurveyZone9());
        std::int32_t beyond = 0;
        ar >> beyond >> beyond >> beyond; // the file holds 7 bytes
        return 0;
    };
    EXPECT_EQ(LoadConfigProject(db, path("config"), truncated), ConfigUnreadable);
    EXPECT_EQ(db.size(), 0u);
}

TEST_F(ConfigProjectTest, AProjectFileThatCannotBeOpenedIsToldApart) {
    fs::remove(m_dir / "config/A.zub");
    fs::create_symlink(m_dir / "nowhere", m_dir / "config/A.zub");
    Veltrane db;
    EXPECT_EQ(LoadConfigProject(db, path("config"), recording(0)), ConfigCannotOpen);
    EXPECT_TRUE(m_read.IsEmpty());
}

} // namespace
