#pragma once

#include <string>
#include <vector>

namespace testsupport {

// One mark of the reference project in plane zone IX: its role ("basis", "check" or "target"),
// its name and its Tokyo-datum and JGD2000 plane coordinates (x north, y east, metres).
struct SurveyMark {
    std::string kind;
    std::string name;
    double tokyoX, tokyoY, tokyoH;
    double jgdX, jgdY, jgdH;
};

// The 70 marks of tests/data/reference/survey_zone9.csv in file order: 24 basis, 6 check and
// 40 target points.
const std::vector<SurveyMark> &SurveyZone9();

} // namespace testsupport
