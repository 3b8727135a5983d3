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

// A folder with a config folder that holds one project file: the sample project that the build
// makes (the 6 check and 24 basis points of the reference survey area of zone IX, fitted).
class ProgramTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::filesystem::create_directories(m_dir / "config");
        std::filesystem::copy_file(ZENTROVA_SAMPLE_PROJECT, m_dir / "config/A.zub");
    }

    // What the canvas loads with: the sample project through the database's reader, or a
    // reader that answers the given result code alone.
    CanvasSources sources(int readResult = 0) const {
        CanvasSources s;
        s.configFolder = path("config");
        if (readResult != 0)
            s.readProject = [readResult](Veltrane &, CArchive &) { return readResult; };
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
