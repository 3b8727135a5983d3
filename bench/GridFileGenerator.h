#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A full-size synthetic type-1 grid parameter file for the benchmarks: about 400,000
// nodes over Japan's extent (whole first-level meshes along the archipelago from
// Kyushu to Hokkaido, in ascending code order), CR LF lines, shifts that vary
// smoothly with position.
namespace GridFileGenerator {

constexpr std::size_t kFullSizeRecords = 400000;

// The first-level codes of the synthetic grid, ascending.
const std::vector<short> &FirstLevelCodes();

// Shifts (arc seconds) of the node whose south-west corner is (latSec, lonSec)
// seconds, before the file rounds them to 5 decimals.
void NodeShift(int latSec, int lonSec, double *dB, double *dL);

// Writes a file of `records` nodes (fewer if the meshes run out) to path (UTF-8);
// returns the number written. Throws std::runtime_error when the file cannot be written.
std::size_t WriteGridFile(const std::string &path, std::size_t records = kFullSizeRecords);

// Path (UTF-8) of the full-size file in a cache folder under the temporary folder,
// written the first time it is asked for.
std::string FullSizeGridFile();

} // namespace GridFileGenerator
