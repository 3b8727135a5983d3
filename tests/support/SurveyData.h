#pragma once

#include "platform/core/CString.h"

#include <string>
#include <vector>

class Veltrane;

namespace testsupport {

// One mark of the survey area in plane zone IX of tests/data/reference/survey_zone9.csv: its
// Tokyo-datum plane coordinates and the JGD2000 plane coordinates of the same mark.
struct SurveyPoint {
    std::string kind; // "basis", "check" or "target"
    CString name;
    double tokyoX, tokyoY, tokyoH;
    double jgdX, jgdY, jgdH;
};

// The 70 marks of the file, in file order. Throws std::runtime_error when the file cannot be
// read whole.
const std::vector<SurveyPoint> &SurveyZone9();

// Makes the database the survey project in zone IX: check points first (Tokyo coordinates and
// observed check coordinates), then the basis points (Tokyo and observed basis coordinates), then
// the targets (Tokyo coordinates). The JGD2000 values of check points and targets stay with the
// caller as the truth to compare with.
void AddSurveyPoints(Veltrane &db, const std::vector<SurveyPoint> &points);

} // namespace testsupport
