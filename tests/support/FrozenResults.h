#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Results of the code on a fixed set of inputs, kept as a text file in tests/data/frozen so
// that later versions can be compared with them.
//
// A test adds one row per case: a key naming the case (no comma) and the values computed, no
// values for a case that failed. Run with the environment variable ZENTROVA_FREEZE_DIR set to
// a folder, Freeze writes the rows there (one line a row, "key,v1,v2,..." with the shortest
// text that reads back to the same double); otherwise ExpectMatches compares them with the
// stored file.
class FrozenResults {
  public:
    struct Row {
        std::string key;
        std::vector<double> values;
    };

    void Add(std::string key, std::vector<double> values);
    void AddFailure(std::string key);
    const std::vector<Row> &GetRows() const { return m_rows; }

    // With ZENTROVA_FREEZE_DIR set, writes the rows to the file `name` there and answers true.
    bool Freeze(const std::string &name) const;

    // Expects the rows of the stored file `name`: the same keys in the same order, the same
    // failures, and value k within tolerance[k] (the last tolerance serves the columns after
    // it). Reports the largest difference of every column.
    void ExpectMatches(const std::string &name, const std::vector<double> &tolerance) const;

    // The rows of a stored file; an unreadable file or line fails the test.
    static std::vector<Row> Read(const std::string &path);

  private:
    std::vector<Row> m_rows;
};

} // namespace testsupport
