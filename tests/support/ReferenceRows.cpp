#include "tests/support/ReferenceRows.h"

#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <string>

namespace testsupport {

std::vector<std::vector<double>> ReadReferenceRows(const std::filesystem::path &file) {
    std::ifstream in(file);
    EXPECT_TRUE(in.good()) << file;
    std::vector<std::vector<double>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<double> row;
        const char *p = line.data();
        const char *end = p + line.size();
        while (p < end) {
            double v = 0.0;
            const auto r = std::from_chars(p, end, v);
            EXPECT_EQ(r.ec, std::errc()) << line;
            if (r.ec != std::errc())
                break;
            row.push_back(v);
            p = r.ptr < end ? r.ptr + 1 : end;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace testsupport
