#include "tests/support/FrozenResults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testsupport {

namespace {

std::string frozenPath(const std::string &name) {
    return std::string(ZENTROVA_FROZEN_DATA_DIR) + "/" + name;
}

} // namespace

void FrozenResults::Add(std::string key, std::vector<double> values) {
    m_rows.push_back({std::move(key), std::move(values)});
}

void FrozenResults::AddFailure(std::string key) { m_rows.push_back({std::move(key), {}}); }

bool FrozenResults::Freeze(const std::string &name) const {
    const char *dir = std::getenv("ZENTROVA_FREEZE_DIR");
    if (dir == nullptr || *dir == '\0')
        return false;
    const std::string path = std::string(dir) + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Row &row : m_rows) {
        out << row.key;
        for (double v : row.values) {
            char text[32];
            const auto r = std::to_chars(text, text + sizeof text, v);
            out << ',' << std::string_view(text, static_cast<std::size_t>(r.ptr - text));
        }
        out << '\n';
    }
    out.close();
    EXPECT_TRUE(out.good()) << "cannot write " << path;
    return true;
}

std::vector<FrozenResults::Row> FrozenResults::Read(const std::string &path) {
    std::vector<Row> rows;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::string line;
    while (std::getline(in, line)) {
        std::size_t comma = line.find(',');
        Row row;
        row.key = line.substr(0, comma);
        while (comma != std::string::npos) {
            const std::size_t start = comma + 1;
            comma = line.find(',', start);
            const std::size_t end = comma == std::string::npos ? line.size() : comma;
            double v = 0.0;
            const auto r = std::from_chars(line.data() + start, line.data() + end, v);
            if (r.ec != std::errc() || r.ptr != line.data() + end) {
                ADD_FAILURE() << "bad value in " << path << ": " << line;
                break;
            }
            row.values.push_back(v);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void FrozenResults::ExpectMatches(const std::string &name,
                                  const std::vector<double> &tolerance) const {
    ASSERT_FALSE(tolerance.empty());
    const std::vector<Row> stored = Read(frozenPath(name));
    ASSERT_EQ(stored.size(), m_rows.size()) << name;
    std::vector<double> largest;
    std::size_t failures = 0;
    int reported = 0;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const Row &want = stored[i];
        const Row &got = m_rows[i];
        ASSERT_EQ(want.key, got.key) << name << " row " << i;
        if (want.values.size() != got.values.size()) {
            ADD_FAILURE() << name << " " << want.key << ": " << want.values.size()
                          << " values stored, " << got.values.size() << " now";
            continue;
        }
        if (want.values.empty())
            ++failures;
        largest.resize(std::max(largest.size(), want.values.size()), 0.0);
        for (std::size_t k = 0; k < want.values.size(); ++k) {
            const double tol = tolerance[std::min(k, tolerance.size() - 1)];
            const double diff = std::fabs(got.values[k] - want.values[k]);
            largest[k] = std::max(largest[k], diff);
            if (!(diff <= tol) && reported++ < 20)
                ADD_FAILURE() << name << " " << want.key << " value " << k << ": " << got.values[k]
                              << " now, " << want.values[k] << " stored";
        }
    }
    std::ostringstream summary;
    summary << name << ": " << stored.size() << " rows (" << failures << " failed cases), "
            << "largest differences:";
    for (double d : largest)
        summary << ' ' << d;
    std::cout << summary.str() << '\n';
    ::testing::Test::RecordProperty("largest_differences", summary.str());
}

} // namespace testsupport
