#include "tests/support/SurveyZone9.h"

#include "platform/core/Numbers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace testsupport {

const std::vector<SurveyMark> &SurveyZone9() {
    static const std::vector<SurveyMark> marks = [] {
        std::vector<SurveyMark> result;
        std::ifstream in(std::string(ZENTROVA_TEST_DATA_DIR) + "/reference/survey_zone9.csv");
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            SurveyMark m{};
            std::string cell[8];
            for (std::string &c : cell)
                std::getline(fields, c, ',');
            m.kind = cell[0];
            m.name = cell[1];
            double *values[] = {&m.tokyoX, &m.tokyoY, &m.tokyoH, &m.jgdX, &m.jgdY, &m.jgdH};
            for (int i = 0; i < 6; ++i)
                if (!ParseDouble(cell[2 + i], *values[i]))
                    ADD_FAILURE() << "survey_zone9.csv: bad number in " << line;
            result.push_back(m);
        }
        if (result.size() != 70)
            ADD_FAILURE() << "survey_zone9.csv: " << result.size() << " marks";
        return result;
    }();
    return marks;
}

} // namespace testsupport
