#pragma once

#include <filesystem>
#include <vector>

namespace testsupport {

// The numbers of a comma-separated reference file, one row a line; blank lines and lines
// starting with '#' are skipped. A field that is not a number fails the test.
std::vector<std::vector<double>> ReadReferenceRows(const std::filesystem::path &file);

} // namespace testsupport
