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

// The shift as the file holds it: rounded to 5 decimals, as text.
std::string ShiftText(double shift);
// The shift as a reader of the file keeps it: that text read back as a 32-bit float.
float StoredShift(double shift);

// Writes a file of `records` nodes (fewer if the meshes run out) to path (UTF-8);
// returns the number written. Throws std::runtime_error when the file cannot be written.
std::size_t WriteGridFile(const std::string &path, std::size_t records = kFullSizeRecords);

// Writes the same grid, over the rectangle of nodes from (southSec, westSec) to (northSec,
// eastSec) seconds of latitude and east longitude, as an NTv2 file (one subfile, shifts in
// seconds as 32-bit floats, longitudes positive west) to path (UTF-8). The node values are the
// file's values as read (StoredShift), wherever the text file has that node. Throws
// std::runtime_error when the file cannot be written.
void WriteNtv2File(const std::string &path, int southSec, int northSec, int westSec, int eastSec);

// Path (UTF-8) of the full-size file in a cache folder under the temporary folder,
// written the first time it is asked for.
std::string FullSizeGridFile();

} // namespace GridFileGenerator
