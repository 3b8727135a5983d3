#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// One node of a grid parameter file: the south-west corner of its third-level square in whole
// seconds, and its shifts in seconds (dB, dL) and metres (dH).
struct GridNode {
    int latSec;
    int lonSec;
    double dB;
    double dL;
    double dH;
};

// The 8-digit code of the third-level square whose south-west corner is (latSec, lonSec),
// by the national rule: 40-minute rows and whole degrees, then 8 x 8, then 10 x 10.
std::string MeshCode8(int latSec, int lonSec);

// A parameter file: the first line, further header lines, one line per node (with dH when
// withH), each line ended by eol.
void WriteParFile(const std::filesystem::path &path, const std::string &first, int furtherLines,
                  const std::vector<GridNode> &nodes, bool withH, const char *eol = "\n");

} // namespace testsupport
