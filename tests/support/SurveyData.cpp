#include "tests/support/SurveyData.h"

#include "platform/core/Numbers.h"
#include "veltrane/database/Veltrane.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace {

std::vector<SurveyPoint> readSurvey(const char *path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error(std::string("cannot read ") + path);
    std::vector<SurveyPoint> points;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::stringstream fieldStream(line);
        for (std::string field; std::getline(fieldStream, field, ',');)
            fields.push_back(field);
        SurveyPoint p;
        double *numbers[] = {&p.tokyoX, &p.tokyoY, &p.tokyoH, &p.jgdX, &p.jgdY, &p.jgdH};
        bool ok = fields.size() == 8;
        for (int i = 0; ok && i < 6; ++i)
            ok = ParseDouble(fields[2 + i], *numbers[i]);
        if (!ok)
            throw std::runtime_error("bad survey line: " + line);
        p.kind = fields[0];
        p.name = fields[1].c_str();
        points.push_back(p);
    }
    return points;
}

void addKind(Veltrane &db, const std::vector<SurveyPoint> &points, const std::string &kind) {
    for (const SurveyPoint &s : points) {
        if (s.kind != kind)
            continue;
        Point p(static_cast<unsigned>(db.size() + 1), s.name);
        p.SetTokyoDatum(Coordinate(s.tokyoX, s.tokyoY, s.tokyoH, true, 0.0, false));
        const Coordinate observed(s.jgdX, s.jgdY, s.jgdH, true, 0.0, false);
        if (kind == "basis")
            p.SetCnvBasisITRF(observed);
        else if (kind == "check")
            p.SetChkObsITRF(observed);
        db.Append(p);
    }
}

} // namespace

const std::vector<SurveyPoint> &SurveyZone9() {
    static const std::vector<SurveyPoint> points = readSurvey(ZENTROVA_SURVEY_ZONE9);
    return points;
}

void AddSurveyPoints(Veltrane &db, const std::vector<SurveyPoint> &points) {
    db.SetCurrentPlaneArea(9);
    addKind(db, points, "check");
    addKind(db, points, "basis");
    addKind(db, points, "target");
}

} // namespace testsupport
