#pragma once

#include "platform/core/CArchive.h"
#include "tests/support/SurveyData.h"
#include "tests/support/TempFolder.h"
#include "veltrane/database/Veltrane.h"
#include "zentrova/CDlgCanvas.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

// Texts of widgets in test messages.
inline void PrintTo(const QString &text, std::ostream *out) { *out << text.toStdString(); }

// A folder with a config folder that holds one project file. Until the database reads project
// files, the project is read by a stand-in that gives the reference survey area of zone IX:
// its 6 check points, 24 basis points and 40 targets (which loading removes).
class ProgramTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::filesystem::create_directories(m_dir / "config");
        put("project", "config/A.zub");
    }

    // What the canvas loads with: the survey project, or the reader's result code alone.
    CanvasSources sources(int readResult = 0) const {
        CanvasSources s;
        s.configFolder = path("config");
        s.readProject = [readResult](Veltrane &db, CArchive &) {
            if (readResult == 0)
                testsupport::AddSurveyPoints(db, testsupport::SurveyZone9());
            return readResult;
        };
        return s;
    }

    // A CSV file of the survey's first targets (all 40 by default) with their Tokyo-datum
    // coordinates.
    CString putTargetCsv(const char *name, int count = 40) const {
        std::string text = ";点名,X,Y,標高\r\n";
        for (const testsupport::SurveyPoint &p : testsupport::SurveyZone9()) {
            if (p.kind != "target" || count-- <= 0)
                continue;
            CString line;
            line.Format("%s,%.4f,%.4f,%.4f\r\n", p.name.GetString(), p.tokyoX, p.tokyoY, p.tokyoH);
            text += line.Bytes();
        }
        return put(text, name);
    }
};
