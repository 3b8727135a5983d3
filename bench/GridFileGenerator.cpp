#include "bench/GridFileGenerator.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace GridFileGenerator {

namespace {

// Rows of first-level meshes (latitude x 1.5) and their longitude columns
// (longitude - 100), south to north: 63 meshes of 6,400 nodes.
struct Row {
    int row;
    int firstColumn;
    int lastColumn;
};

constexpr Row kRows[] = {
    {47, 30, 31}, {48, 30, 31}, {49, 30, 31}, {50, 29, 33}, {51, 31, 35}, {52, 32, 36},
    {53, 33, 40}, {54, 35, 40}, {55, 37, 40}, {56, 38, 40}, {57, 39, 41}, {58, 39, 40},
    {59, 40, 41}, {60, 40, 41}, {61, 40, 41}, {62, 40, 41}, {63, 41, 44}, {64, 41, 44},
};

void appendFixed(std::string &line, double value) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 5);
    line.append(buffer, result.ptr);
}

} // namespace

const std::vector<short> &FirstLevelCodes() {
    static const std::vector<short> codes = [] {
        std::vector<short> list;
        for (const Row &row : kRows)
            for (int column = row.firstColumn; column <= row.lastColumn; ++column)
                list.push_back(static_cast<short>(row.row * 100 + column));
        return list;
    }();
    return codes;
}

void NodeShift(int latSec, int lonSec, double *dB, double *dL) {
    // Roughly the size of the Tokyo datum to JGD2000 shift, smooth but not linear.
    *dB = 11.6 + 1.1 * std::sin(latSec / 40000.0) + 0.4 * std::cos(lonSec / 55000.0);
    *dL = -11.5 + 2.2 * std::cos(latSec / 60000.0) - 0.7 * std::sin(lonSec / 45000.0);
}

std::size_t WriteGridFile(const std::string &path, std::size_t records) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot create " + path);
    out << "JGD2000-TokyoDatum Ver.9.9.9\r\n";
    out << "MeshCode dB(sec) dL(sec)\r\n";
    std::size_t written = 0;
    std::string line;
    for (short code1 : FirstLevelCodes()) {
        for (int code2 = 0; code2 < 78; ++code2) {
            if (code2 % 10 > 7)
                continue;
            for (int code3 = 0; code3 < 100; ++code3) {
                if (written == records)
                    break;
                const int latSec = code1 / 100 * 2400 + code2 / 10 * 300 + code3 / 10 * 30;
                const int lonSec = code1 % 100 * 3600 + 360000 + code2 % 10 * 450 + code3 % 10 * 45;
                double dB, dL;
                NodeShift(latSec, lonSec, &dB, &dL);
                line = std::to_string(code1 * 10000 + code2 * 100 + code3);
                line += "   ";
                appendFixed(line, dB);
                line += "   ";
                appendFixed(line, dL);
                line += "\r\n";
                out << line;
                ++written;
            }
        }
    }
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return written;
}

std::string FullSizeGridFile() {
    const fs::path folder = fs::temp_directory_path() / "zentrova-bench";
    const fs::path file = folder / "synthetic-grid-400000.par";
    if (fs::exists(file))
        return file.string();
    fs::create_directories(folder);
    // Written under a private name and renamed, so a broken run leaves no half file.
    const fs::path part = folder / ("synthetic-grid-400000.par." + std::to_string(::getpid()));
    WriteGridFile(part.string());
    fs::rename(part, file);
    return file.string();
}

} // namespace GridFileGenerator
